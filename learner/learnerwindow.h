#pragma once

#include "fsrsfit.h"
#include "preparationoverview.h"

#include <QDateTime>
#include <QDialog>
#include <QFutureWatcher>
#include <QList>

#include <functional>

class DailyChart;
class LearnerHistory;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTabWidget;
class TopicsPage;

// "Моя подготовка": the learner's own path at a glance — the readiness for
// the exam with its explanation, the questions to work on, the questions due
// for review today and the last 30 days — and the ways of practising beyond
// the four ticket modes, one tab each: the mistakes and the review, the exam
// by the official rules, the marathon, and learning by topic. It only shows
// and forwards the buttons; the main window runs the attempts.
class LearnerWindow : public QDialog
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    explicit LearnerWindow(LearnerHistory &history, QWidget *parent = nullptr);

    // Reads the history anew and shows it.
    void refresh();
    // Shows the history without a way to practise (the instructor looking
    // at a learner's): every button but «Справочник» is disabled, and the
    // memory weights are not refitted.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    const PreparationOverview &overview() const { return m_overview; }
    // "Now" for the overview; the current time unless a test sets one.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // True while the learner's memory weights are being fitted.
    bool isFitting() const { return m_fit.isRunning(); }

signals:
    // The learner asked for an attempt over these questions.
    void mistakesRequested(const QList<int> &questions);
    void reviewRequested(const QList<int> &questions);
    // "Что учить дальше": the questions that raise the readiness most.
    void studyNextRequested(const QList<int> &questions);
    void officialExamRequested();
    // «Справочник»: the main window opens it.
    void referenceRequested();
    // Go on with the marathon under way, or (`fresh`) begin a new order.
    void marathonRequested(bool fresh);
    // A topic's questions, those to work on first.
    void topicRequested(const QString &topic, const QList<int> &questions);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createControls();
    QWidget *createOverviewTab();
    QWidget *createOfficialExamTab();
    QWidget *createMarathonTab();
    void refreshMarathon();
    void refreshOfficialExamRecord();
    void refreshTopics();
    void fitExplanation();
    void onMarathonRestartClicked();
    void refreshStudyNext();
    // Fits the learner's memory weights off the GUI thread when a fit is due.
    void startRefitIfDue(const QDateTime &now);
    void onRefitFinished();

    LearnerHistory &m_history;
    Clock m_clock;
    bool m_readOnly = false;
    PreparationOverview m_overview;

    QLabel *m_readiness = nullptr;
    QLabel *m_explanation = nullptr;
    QScrollArea *m_explanationArea = nullptr;
    QLabel *m_mistakes = nullptr;
    QLabel *m_due = nullptr;
    QLabel *m_unavailable = nullptr;
    QLabel *m_carriedOver = nullptr;
    QString m_carriedOverDatabase; // the database m_carriedOver speaks of
    QLabel *m_weights = nullptr;
    QPushButton *m_studyNextButton = nullptr;
    QLabel *m_studyNextHint = nullptr;
    QFutureWatcher<FsrsFit::Result> m_fit;
    // What the running fit was started over, to keep its result under them.
    QString m_fitFingerprint;
    qint64 m_fitStartedMs = 0;
    int m_fitAnswers = 0;
    DailyChart *m_chart = nullptr;
    QPushButton *m_mistakesButton = nullptr;
    QPushButton *m_reviewButton = nullptr;
    QLabel *m_mistakesHint = nullptr;
    QLabel *m_reviewHint = nullptr;
    QTabWidget *m_tabs = nullptr;
    QPushButton *m_officialExamButton = nullptr;
    QLabel *m_officialExamRecord = nullptr;
    QLabel *m_marathonStatus = nullptr;
    QProgressBar *m_marathonProgress = nullptr;
    QPushButton *m_marathonContinueButton = nullptr;
    QPushButton *m_marathonRestartButton = nullptr;
    TopicsPage *m_topicsPage = nullptr;
};
