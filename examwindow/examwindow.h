#pragma once

#include "attemptwindow.h"
#include "examattempt.h"

#include <QPointer>

#include <memory>

class AnchorLayout;
class ExamWindowHost;
class PictureZoomWindow;
class QLabel;
class QListWidget;
class QPushButton;
class QTimer;
class QToolButton;
class MistakeReviewWindow;
class OfficialResultDialog;
class QuestionPanel;
class ResultDialog;

// The exam window: shows one ExamAttempt in any mode and forwards the
// learner's clicks, keys and the clock's ticks to it.
// The main window hands over the attempt, shows this window and hides itself;
// showing starts the attempt. Closing the window, by whatever means, ends the
// attempt: the result dialog follows training and exam, the progress is saved,
// and the window hands back to the main window through
// ExamWindowHost::examWindowClosed().
class ExamWindow : public AttemptWindow
{
    Q_OBJECT

public:
    // Answer state of a question-list item, kept in the item under
    // ImageIndexRole and shown as its icon.
    enum ItemState
    {
        NotAnswered = int(ExamAttempt::QuestionState::NotAnswered),
        AnsweredWrongly = int(ExamAttempt::QuestionState::AnsweredWrongly),
        AnsweredCorrectly = int(ExamAttempt::QuestionState::AnsweredCorrectly),
    };
    static constexpr int ImageIndexRole = Qt::UserRole + 1;

    static constexpr QSize DesignClientSize{730, 490};

    explicit ExamWindow(QWidget *parent = nullptr);
    ~ExamWindow() override;

    void setHost(ExamWindowHost *host);
    // The dialog shown after training and exam attempts. Without one the
    // window makes its own on first use.
    void setResultDialog(ResultDialog *dialog);
    // The dialog shown after an exam by the official rules; made on first use
    // when none is set.
    OfficialResultDialog *officialResultDialog();
    // The attempt to run at the next showing; the window owns it from now on.
    void setAttempt(std::unique_ptr<ExamAttempt> attempt) override;
    ExamAttempt *attempt() const { return m_attempt.get(); }
    // What the warning after a failed save says about its two buttons.
    static QString unsavedAttemptText();

    // Whether an attempt is running (started and not yet ended).
    bool attemptRunning() const;

public slots:
    // The two one-second clocks. Public so that tests drive the ticks without
    // waiting for real seconds.
    void onCountdownTick();
    void onSecondTick();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createQuestionArea();

    void startAttempt();
    void showAttemptStart();
    // Fills the question list with the positions of the attempt's page.
    void fillQuestionList();
    void showModeLabel();
    void showHeading();
    // The line beside the heading: the official exam's part, the marathon's
    // counts, the topic; empty for the four modes.
    void showStatusLine();
    // The marathon's "Далее": the next question, the next page, or the end.
    void onNextClicked();
    void refreshNextButton();
    // Learning and the marathon: the comment after a wrong answer and the pie.
    bool learningStyle() const;
    void announceAdditionalPart(int generation);
    void showPosition(int position);
    void onQuestionSelected();
    void onAnswerClicked(int variant);
    bool answerByKey(QChar key);
    void askFollowUp(int generation);
    bool attemptStillCurrent(int generation) const;
    void onStopClicked();
    void onTimeUp();
    void onHelpClicked();
    void onPictureZoomRequested();

    // The attempt end; returns whether the window may close.
    bool endAttempt();
    void showResult(const AttemptResult &result);
    void showOfficialResult(const AttemptResult &result);
    void showMarathonResult(const AttemptResult &result);
    bool saveProgress();
    void dismissOpenQuestions();

    void showUnreadableQuestion(const QString &message);
    void refreshPie();
    void setItemState(int position, ExamAttempt::QuestionState state);
    void refreshReachableItems();
    void setAnswerButtonsEnabled(bool enabled);
    void showComment();

    ExamWindowHost *m_host = nullptr;
    QPointer<ResultDialog> m_resultDialog;
    std::unique_ptr<ExamAttempt> m_attempt;
    bool m_selecting = false;

    std::unique_ptr<AnchorLayout> m_layout;

    QLabel *m_timeLabel = nullptr;
    QLabel *m_headingLabel = nullptr;
    QLabel *m_modeLabel = nullptr;
    QLabel *m_statusLabel = nullptr;
    QToolButton *m_helpButton = nullptr;
    QListWidget *m_questionList = nullptr;
    QuestionPanel *m_questionPanel = nullptr;
    QPushButton *m_stopButton = nullptr;
    QTimer *m_countdownTimer = nullptr;
    QTimer *m_secondsTimer = nullptr;
    PictureZoomWindow *m_pictureZoom = nullptr;
    QPointer<OfficialResultDialog> m_officialResultDialog;
};
