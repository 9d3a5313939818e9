#pragma once

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>

class AnchorLayout;
class ClickLabel;
class ExamWindowHost;
class PictureBox;
class PieChartView;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QScrollArea;
class QTimer;
class QToolButton;
class TForm4;

// The exam window: one ticket attempt in learning, preparation, training or
// exam. The main window sets the attempt globals (attemptglobals.h), shows
// this window and hides itself; showing starts the attempt. Closing the
// window, by whatever means, ends the attempt: it sets the ticket's status,
// shows the result dialog after training and exam, saves "stat.dat" and hands
// back to the main window through ExamWindowHost::examWindowClosed().
class TForm1 : public QWidget
{
    Q_OBJECT

public:
    // Answer state of a question-list item, kept in the item under
    // ImageIndexRole and shown as its icon.
    enum ItemState
    {
        NotAnswered = 0,
        AnsweredWrongly = 1,
        AnsweredCorrectly = 2
    };
    static constexpr int ImageIndexRole = Qt::UserRole + 1;

    static constexpr QSize DesignClientSize{730, 490};

    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    void setHost(ExamWindowHost *host);
    // The dialog shown after training and exam attempts. Without one the
    // window makes its own on first use.
    void setResultDialog(TForm4 *dialog);

    // Whether an attempt is running (started and not yet ended).
    bool attemptRunning() const;

    // Event handlers under their design names. They are public so that the
    // timers' ticks can be driven without waiting for real seconds.
    void FormShow();
    void FormResize();
    void ListView1SelectItem();
    void ShuffleAnswers();
    void BitBtn1Click(QPushButton *sender);
    bool ListView1KeyPress(QChar key);
    void BitBtn7Click();
    void Timer1Timer();
    void SpTimerTimer();
    void SpeedButton1Click();
    void Chart1Click();
    void Label7Click();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class AttemptState
    {
        Idle,
        Running,
        EndedUnsaved
    };

    void createControls();
    void createQuestionArea();
    // The attempt end; returns whether the window may close.
    bool FormClose();
    void evaluateAttempt();
    bool saveStatistics();
    void dismissOpenQuestions();

    void selectPosition(int position);
    void advance();
    void showUnreadableQuestion(const QString &message);
    void placeQuestionText();
    void refreshPie();
    void setItemState(int position, ItemState state);
    ItemState itemState(int position) const;
    void setAnswerButtonsEnabled(bool enabled);
    void showComment();

    ExamWindowHost *m_host = nullptr;
    QPointer<TForm4> m_resultDialog;
    AttemptState m_state = AttemptState::Idle;
    // Counts attempt starts, so that an answer to a message box that was open
    // when its attempt ended is recognised and ignored.
    int m_attemptId = 0;
    bool m_selecting = false;
    bool m_questionReadable = false;

    std::unique_ptr<AnchorLayout> m_layout;
    std::unique_ptr<AnchorLayout> m_questionLayout;

    QLabel *Label6 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label5 = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QListWidget *ListView1 = nullptr;
    QScrollArea *ScrollBox1 = nullptr;
    QWidget *m_questionArea = nullptr;
    PictureBox *Image1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    std::array<QPushButton *, 6> m_answerButtons{}; // [1..5]: BitBtn1..BitBtn5
    PieChartView *Chart1 = nullptr;
    ClickLabel *Label7 = nullptr;
    QPushButton *BitBtn7 = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *SpTimer = nullptr;
};
