#pragma once

#include "preparationoverview.h"

#include <QDateTime>
#include <QDialog>
#include <QList>

#include <functional>

class DailyChart;
class LearnerHistory;
class QLabel;
class QPushButton;

// "Моя подготовка": the learner's own path at a glance — the readiness for
// the exam with its explanation, the questions to work on, the questions due
// for review today and the last 30 days — and the two modes built on the
// history. It only shows the overview and forwards the two buttons; the main
// window runs the attempts.
class LearnerWindow : public QDialog
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    explicit LearnerWindow(LearnerHistory &history, QWidget *parent = nullptr);

    // Reads the history anew and shows it.
    void refresh();
    const PreparationOverview &overview() const { return m_overview; }
    // "Now" for the overview; the current time unless a test sets one.
    void setClock(Clock clock) { m_clock = std::move(clock); }

signals:
    // The learner asked for an attempt over these questions.
    void mistakesRequested(const QList<int> &questions);
    void reviewRequested(const QList<int> &questions);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createControls();

    LearnerHistory &m_history;
    Clock m_clock;
    PreparationOverview m_overview;

    QLabel *m_readiness = nullptr;
    QLabel *m_explanation = nullptr;
    QLabel *m_mistakes = nullptr;
    QLabel *m_due = nullptr;
    QLabel *m_unavailable = nullptr;
    DailyChart *m_chart = nullptr;
    QPushButton *m_mistakesButton = nullptr;
    QPushButton *m_reviewButton = nullptr;
    QLabel *m_mistakesHint = nullptr;
    QLabel *m_reviewHint = nullptr;
};
