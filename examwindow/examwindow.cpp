#include "examwindow.h"

#include "anchorlayout.h"
#include "bundledpictures.h"
#include "designfonts.h"
#include "examwindowhost.h"
#include "examwindowstyle.h"
#include "help.h"
#include "messageboxes.h"
#include "officialresultdialog.h"
#include "picturezoomwindow.h"
#include "questionindexentry.h"
#include "questionpanel.h"
#include "resultdialog.h"
#include "statisticsfile.h"
#include "timetext.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

using namespace QuestionBankLayout;
using namespace ExamWindowStyle;

namespace {

const QString Caution = QStringLiteral("Внимание!");
const QString CompletionQuestion =
    QStringLiteral("Вы ответили на все вопросы билета,\n\rперейти к следующему билету? ");
const QString ThreeErrorsQuestion =
    QStringLiteral("ТРИ ОШИБКИ!!!\n\rВы уже провалили экзамен, будете продолжать? ");
const QString TimeUpMessage = QStringLiteral("Время закончилось! ");
const QString NextPageQuestion = QStringLiteral(
    "Все вопросы этой части темы отвечены верно.\nПерейти к следующим вопросам темы?");

} // namespace

ExamWindow::ExamWindow(QWidget *parent) : AttemptWindow(parent, Qt::Window)
{
    createControls();
}

ExamWindow::~ExamWindow() = default;

void ExamWindow::setHost(ExamWindowHost *host)
{
    m_host = host;
}

void ExamWindow::setResultDialog(ResultDialog *dialog)
{
    m_resultDialog = dialog;
}

void ExamWindow::setAttempt(std::unique_ptr<ExamAttempt> attempt)
{
    m_attempt = std::move(attempt);
    if (!m_attempt)
        return;
    connect(m_attempt.get(), &ExamAttempt::questionStateChanged, this, &ExamWindow::setItemState);
    connect(m_attempt.get(), &ExamAttempt::remainingTimeChanged, this,
            [this](int seconds) { m_timeLabel->setText(longTimeText(seconds)); });
    connect(m_attempt.get(), &ExamAttempt::timeUp, this, &ExamWindow::onTimeUp);
    connect(m_attempt.get(), &ExamAttempt::secondCounted, this, [this] {
        if (learningStyle())
            refreshPie();
    });
    connect(m_attempt.get(), &ExamAttempt::pageChanged, this, [this] {
        fillQuestionList();
        setAnswerButtonsEnabled(true);
        showPosition(1);
    });
}

OfficialResultDialog *ExamWindow::officialResultDialog()
{
    if (!m_officialResultDialog)
        m_officialResultDialog = new OfficialResultDialog(this);
    return m_officialResultDialog;
}

bool ExamWindow::learningStyle() const
{
    return m_attempt && (m_attempt->mode() == AttemptMode::Learning ||
                         m_attempt->mode() == AttemptMode::Marathon);
}

bool ExamWindow::attemptRunning() const
{
    return m_attempt && m_attempt->isRunning();
}

// --- Attempt start and question display -------------------------------------

void ExamWindow::startAttempt()
{
    if (!m_attempt)
        return;
    m_attempt->start();
    showAttemptStart();
}

void ExamWindow::fillQuestionList()
{
    static const QIcon notAnswered =
        BundledPictures::icon(QStringLiteral(":/exam/item-notanswered.png"));
    const int count = m_attempt ? m_attempt->positionCount() : QuestionsPerTicket;
    m_selecting = true;
    m_questionList->clear();
    for (int position = 1; position <= count; ++position) {
        const int number = m_attempt ? m_attempt->displayNumber(position) : position;
        auto *item = new QListWidgetItem(QStringLiteral("Вопрос №%1").arg(number), m_questionList);
        // Rows of 17 pixels keep all twenty items in view at the design size.
        item->setSizeHint(QSize(93, 17));
        item->setData(ImageIndexRole, NotAnswered);
        item->setIcon(notAnswered);
    }
    m_selecting = false;
    if (m_attempt) {
        for (int position = 1; position <= count; ++position)
            setItemState(position, m_attempt->questionState(position));
    }
}

void ExamWindow::showAttemptStart()
{
    setAnswerButtonsEnabled(true);
    fillQuestionList();
    m_questionPanel->nextButton()->setVisible(m_attempt->mode() == AttemptMode::Marathon);
    // Before the first question: the status line fits itself beside it.
    showModeLabel();

    showPosition(1);

    const AttemptMode mode = m_attempt->mode();
    if (mode == AttemptMode::Exam || mode == AttemptMode::OfficialExam) {
        m_timeLabel->setText(longTimeText(m_attempt->remainingSeconds()));
        m_timeLabel->show();
        m_countdownTimer->start();
    } else {
        m_countdownTimer->stop();
        m_timeLabel->hide();
    }
    m_secondsTimer->start();
}

void ExamWindow::showPosition(int position)
{
    // One display per selection, even when the item was selected already.
    m_selecting = true;
    m_questionList->setCurrentRow(position - 1, QItemSelectionModel::ClearAndSelect);
    m_selecting = false;
    m_questionList->setFocus();
    onQuestionSelected();
}

void ExamWindow::onQuestionSelected()
{
    const QList<QListWidgetItem *> selected = m_questionList->selectedItems();
    if (selected.isEmpty() || !m_attempt)
        return;
    QString error;
    const bool readable =
        m_attempt->selectPosition(m_questionList->row(selected.first()) + 1, &error);

    showHeading();
    refreshNextButton();

    if (!readable) {
        showUnreadableQuestion(error);
        return;
    }

    m_questionPanel->showQuestion(m_attempt->picture(), m_attempt->questionText(),
                                  m_attempt->variantTexts());

    // After the attempt has ended (a failed save keeps the window open)
    // nothing can be answered.
    setAnswerButtonsEnabled(m_attempt->answersOpen());

    if (m_attempt->commentVisible())
        showComment();
    else
        m_questionPanel->hideComment();

    if (learningStyle()) {
        refreshPie();
        m_questionPanel->setPieVisible(m_host && m_host->showStatisticsChecked());
    } else {
        m_questionPanel->setPieVisible(false);
    }
}

void ExamWindow::showUnreadableQuestion(const QString &message)
{
    // The attempt stays usable: the question cannot be answered, but the user
    // can go to another one or press STOP.
    m_questionPanel->showUnreadable();
    MessageBoxes::warning(this, Caution, message);
}

void ExamWindow::refreshPie()
{
    const QuestionStats stats = m_attempt->questionStats();
    m_questionPanel->setPieCounts(stats.correctTotal(), stats.wrongTotal(), stats.secondsTotal());
}

void ExamWindow::setItemState(int position, ExamAttempt::QuestionState state)
{
    static const QIcon icons[] = {
        BundledPictures::icon(QStringLiteral(":/exam/item-notanswered.png")),
        BundledPictures::icon(QStringLiteral(":/exam/item-wrong.png")),
        BundledPictures::icon(QStringLiteral(":/exam/item-correct.png")),
    };
    QListWidgetItem *item = m_questionList->item(position - 1);
    if (!item)
        return;
    item->setData(ImageIndexRole, int(state));
    item->setIcon(icons[int(state)]);
    refreshReachableItems();
}

void ExamWindow::refreshReachableItems()
{
    // The marathon opens its questions one after another.
    if (!m_attempt || m_attempt->mode() != AttemptMode::Marathon)
        return;
    for (int row = 0; row < m_questionList->count(); ++row) {
        QListWidgetItem *item = m_questionList->item(row);
        const bool reachable = m_attempt->positionReachable(row + 1);
        item->setFlags(reachable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags);
    }
}

void ExamWindow::setAnswerButtonsEnabled(bool enabled)
{
    m_questionPanel->setAnswerButtonsEnabled(enabled);
}

void ExamWindow::showComment()
{
    // Links only where a comment is shown without a countdown; the clocks
    // of learning go on while the reference is open.
    m_questionPanel->showComment(m_attempt->commentText(),
                                 learningStyle() && m_host ? m_host->reference() : nullptr);
}

// --- Answering ---------------------------------------------------------------

void ExamWindow::onAnswerClicked(int variant)
{
    if (!attemptRunning())
        return;
    const int generation = m_attempt->generation();
    const ExamAttempt::AnswerOutcome outcome = m_attempt->answer(variant);
    if (!outcome.accepted)
        return;
    if (outcome.moveOn && m_attempt->mode() == AttemptMode::Marathon) {
        // The right answer goes on at once, a page turned if need be.
        if (!m_attempt->sequenceComplete())
            onNextClicked();
    } else if (outcome.moveOn) {
        showPosition(m_attempt->nextPosition());
    } else {
        if (outcome.showComment)
            showComment();
        if (outcome.lockAnswers)
            setAnswerButtonsEnabled(false);
        showStatusLine();
        refreshNextButton();
    }
    // A question that cannot be read is reported in a modal box; the time
    // may run out meanwhile, and the rest belongs to the ended attempt.
    if (!attemptStillCurrent(generation))
        return;
    askFollowUp(generation);
}

void ExamWindow::askFollowUp(int generation)
{
    switch (m_attempt->followUp()) {
    case ExamAttempt::FollowUp::None:
        return;
    case ExamAttempt::FollowUp::AskCompletion: {
        m_secondsTimer->stop();
        const auto answer = MessageBoxes::question(this, Caution, CompletionQuestion);
        if (!attemptStillCurrent(generation))
            return;
        if (answer == QMessageBox::Yes) {
            m_attempt->continueWithNextTicket();
            showAttemptStart();
        } else {
            onStopClicked();
        }
        return;
    }
    case ExamAttempt::FollowUp::Finish:
        onStopClicked();
        return;
    case ExamAttempt::FollowUp::AnnounceAdditionalPart:
        announceAdditionalPart(generation);
        return;
    case ExamAttempt::FollowUp::AskNextPage: {
        m_secondsTimer->stop();
        const auto answer = MessageBoxes::question(this, Caution, NextPageQuestion);
        if (!attemptStillCurrent(generation))
            return;
        if (answer == QMessageBox::Yes) {
            m_secondsTimer->start();
            m_attempt->turnPage();
            showStatusLine();
        } else {
            onStopClicked();
        }
        return;
    }
    case ExamAttempt::FollowUp::AskThreeErrors: {
        const auto answer = MessageBoxes::question(this, Caution, ThreeErrorsQuestion);
        // The time may have run out while the question was open: that ended
        // the attempt, and an answer to a finished attempt changes nothing.
        if (!attemptStillCurrent(generation))
            return;
        m_attempt->markThreeErrorsAsked();
        if (answer != QMessageBox::Yes)
            onStopClicked();
        return;
    }
    }
}

bool ExamWindow::attemptStillCurrent(int generation) const
{
    return attemptRunning() && m_attempt->generation() == generation;
}

bool ExamWindow::answerByKey(QChar key)
{
    if (key < QLatin1Char('1') || key > QLatin1Char('5'))
        return false;
    QPushButton *button = m_questionPanel->answerButton(key.digitValue());
    if (!button->isVisible() || !button->isEnabled())
        return false;
    button->click();
    return true;
}

void ExamWindow::onPictureZoomRequested()
{
    const QImage picture = m_questionPanel->picture();
    if (picture.isNull() || !m_attempt)
        return;
    if (!m_pictureZoom) {
        m_pictureZoom = new PictureZoomWindow(this);
        // Back to the question list, so the digit keys answer at once.
        connect(m_pictureZoom, &QDialog::finished, this, [this] { m_questionList->setFocus(); });
    }
    m_pictureZoom->showImage(picture, QStringLiteral("Билет №%1 Вопрос №%2")
                                          .arg(m_attempt->ticket())
                                          .arg(m_attempt->questionNumber()));
}

bool ExamWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_questionList && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (text.size() == 1 && answerByKey(text.front()))
            return true;
        // Enter is the marathon's "Далее".
        QPushButton *next = m_questionPanel->nextButton();
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && next->isVisible() &&
            next->isEnabled()) {
            next->click();
            return true;
        }
        // "+" (or the same key without Shift) shows the picture large.
        if (key->key() == Qt::Key_Plus || key->key() == Qt::Key_Equal) {
            onPictureZoomRequested();
            return true;
        }
    }
    return AttemptWindow::eventFilter(watched, event);
}

// --- Clocks and the attempt end ----------------------------------------------

void ExamWindow::onCountdownTick()
{
    if (m_attempt)
        m_attempt->countDown();
}

void ExamWindow::onTimeUp()
{
    m_countdownTimer->stop();
    m_secondsTimer->stop();
    const int generation = m_attempt->generation();
    MessageBoxes::error(this, Caution, TimeUpMessage);
    if (!attemptStillCurrent(generation))
        return;
    // The official exam may go on with additional questions.
    if (m_attempt->mode() == AttemptMode::OfficialExam)
        askFollowUp(generation);
    else
        onStopClicked();
}

void ExamWindow::onSecondTick()
{
    if (m_attempt)
        m_attempt->countSecond();
}

void ExamWindow::onStopClicked()
{
    close();
}

void ExamWindow::closeEvent(QCloseEvent *event)
{
    if (!endAttempt()) {
        event->ignore();
        return;
    }
    event->accept();
    hide();
    if (m_host)
        m_host->examWindowClosed();
}

bool ExamWindow::endAttempt()
{
    if (attemptRunning()) {
        m_countdownTimer->stop();
        m_secondsTimer->stop();
        const AttemptResult result = m_attempt->finish();
        dismissOpenQuestions();
        setAnswerButtonsEnabled(false);
        showResult(result);
    }
    if (m_attempt && m_attempt->awaitsSave() && !saveProgress())
        return false;
    m_timeLabel->hide();
    return true;
}

void ExamWindow::dismissOpenQuestions()
{
    const auto boxes = findChildren<QMessageBox *>();
    for (QMessageBox *box : boxes) {
        if (box->isVisible())
            box->reject();
    }
}

void ExamWindow::showResult(const AttemptResult &result)
{
    switch (result.mode) {
    case AttemptMode::Learning:
        // Learning ends without a result.
        return;
    case AttemptMode::OfficialExam:
        showOfficialResult(result);
        return;
    case AttemptMode::Marathon:
        showMarathonResult(result);
        return;
    case AttemptMode::Training:
    case AttemptMode::Exam:
        break;
    }
    if (!m_resultDialog)
        m_resultDialog = new ResultDialog(this);
    m_resultDialog->setResult(result);
    m_resultDialog->showModalAtDesignPosition();
}

bool ExamWindow::saveProgress()
{
    // The learner decides: try again (after freeing some space, say) or
    // close the window and leave the attempt's counters unsaved for now.
    // Never a window that cannot be closed while the file cannot be written.
    for (;;) {
        try {
            m_attempt->saveProgress();
            return true;
        } catch (const StatisticsError &error) {
            const MessageBoxes::Button answer = MessageBoxes::show(
                this, QMessageBox::Warning, Caution,
                error.message() + QStringLiteral("\n\n") + unsavedAttemptText(),
                QMessageBox::Retry | QMessageBox::Discard, QMessageBox::Retry,
                {{QMessageBox::Retry, QStringLiteral("Повторить")},
                 {QMessageBox::Discard, QStringLiteral("Закрыть без сохранения")}});
            if (answer == QMessageBox::Retry)
                continue;
            if (answer == QMessageBox::Discard) {
                m_attempt->leaveUnsaved();
                return true;
            }
            return false;
        }
    }
}

QString ExamWindow::unsavedAttemptText()
{
    return QStringLiteral(
        "«Повторить» — попробовать сохранить ещё раз, например освободив место на диске.\n"
        "«Закрыть без сохранения» — закрыть окно. Ответы этой попытки останутся в истории "
        "ответов; в «stat.dat» её счётчики ответов, время и состояние билета попадут при "
        "следующем удачном сохранении — в конце следующей попытки. Если закрыть программу "
        "раньше, они в «stat.dat» не попадут.");
}

// --- Layout and small conveniences -------------------------------------------

void ExamWindow::showEvent(QShowEvent *event)
{
    AttemptWindow::showEvent(event);
    // A window restored by the window system is not a new attempt.
    if (event->spontaneous())
        return;
    // The attempt is driven from the keyboard (digit keys, Esc for STOP), so
    // the window asks for the keyboard as it appears, in place of the main
    // window that has just hidden itself.
    activateWindow();
    startAttempt();
}

void ExamWindow::resizeEvent(QResizeEvent *event)
{
    AttemptWindow::resizeEvent(event);
    m_layout->apply(size());
    m_questionPanel->fitToWindow(frameGeometry().width());
    // The mode label follows the right edge; the status line fills the gap.
    if (m_attempt && m_attempt->isRunning())
        showStatusLine();
}

void ExamWindow::onHelpClicked()
{
    Help::showTopic(this, QStringLiteral("test"));
}
