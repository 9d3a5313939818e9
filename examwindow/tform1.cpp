#include "tform1.h"

#include "anchorlayout.h"
#include "attemptglobals.h"
#include "clicklabel.h"
#include "designfonts.h"
#include "examwindowhost.h"
#include "help.h"
#include "messageboxes.h"
#include "picturebox.h"
#include "piechartview.h"
#include "programrandom.h"
#include "question.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "statisticsfile.h"
#include "statrecord.h"
#include "tform4.h"
#include "ticketstatus.h"
#include "timetext.h"
#include "variantslabel.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cmath>

using namespace QuestionBankLayout;

namespace {

const QString Caution = QStringLiteral("Внимание!");
const QString CompletionQuestion =
    QStringLiteral("Вы ответили на все вопросы билета,\n\rперейти к следующему билету? ");
const QString ThreeErrorsQuestion =
    QStringLiteral("ТРИ ОШИБКИ!!!\n\rВы уже провалили экзамен, будете продолжать? ");
const QString TimeUpMessage = QStringLiteral("Время закончилось! ");
const QString CommentPrefix = QStringLiteral("Комментарий к вопросу №");

// Colours of the design are 0x00BBGGRR values.
QColor fromBgr(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QFont pixelFont(const QString &family, int pixels, bool bold, bool underline = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

// Rounds halves to even, as the layout rules are stated.
int roundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

struct FontBand
{
    int maxWidth;
    int question;
    int variants;
};

// Font sizes (points) of the question and of the variants and comment by the
// window's outer width; wider than the last band keeps the sizes as they are.
constexpr FontBand FontBands[] = {
    {800, 10, 8}, {900, 12, 10}, {1000, 14, 12}, {1100, 16, 14}, {1200, 18, 16}, {2000, 20, 18},
};

const QString DesignFamily = QStringLiteral("MS Sans Serif");

} // namespace

TForm1::TForm1(QWidget *parent) : QWidget(parent, Qt::Window)
{
    createControls();
}

TForm1::~TForm1() = default;

void TForm1::setHost(ExamWindowHost *host)
{
    m_host = host;
}

void TForm1::setResultDialog(TForm4 *dialog)
{
    m_resultDialog = dialog;
}

bool TForm1::attemptRunning() const
{
    return m_state == AttemptState::Running;
}

void TForm1::createControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Зелтрак ПДД"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // Closing hands back to the main window; it never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    setFont(DesignFonts::font(DesignFamily, 8));
    setMinimumSize(DesignClientSize);
    resize(DesignClientSize);

    m_layout = std::make_unique<AnchorLayout>(DesignClientSize);
    using A = AnchorLayout;

    Label6 = new QLabel(QStringLiteral("ВРЕМЯ"), this);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label6->setFont(pixelFont(DesignFamily, 24, true));
    setTextColour(Label6, Qt::yellow);
    Label6->hide();
    m_layout->add(Label6, QRect(15, 0, 90, 29));

    // The heading sizes itself to its text, so it is placed once and not
    // handed to the layout.
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(pixelFont(QStringLiteral("Arial"), 19, true, true));
    setTextColour(Label1, fromBgr(16701441));
    Label1->move(120, 3);
    Label1->adjustSize();

    Label5 = new QLabel(this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label5->setFont(pixelFont(DesignFamily, 19, true, true));
    m_layout->add(Label5, QRect(480, 2, 201, 24), A::Top | A::Right);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setIcon(QIcon(QStringLiteral(":/exam/help.png")));
    SpeedButton1->setIconSize(QSize(13, 13));
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    m_layout->add(SpeedButton1, QRect(696, 8, 17, 17), A::Top | A::Right);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);

    ListView1 = new QListWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setViewMode(QListView::ListMode);
    ListView1->setFlow(QListView::TopToBottom);
    ListView1->setIconSize(QSize(16, 16));
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setUniformItemSizes(true);
    ListView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette listPalette = ListView1->palette();
    listPalette.setColor(QPalette::Base, Qt::white);
    listPalette.setColor(QPalette::Text, Qt::black);
    // Keep the selection shown as strongly when the list has no focus.
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        listPalette.setColor(QPalette::Inactive, role, listPalette.color(QPalette::Active, role));
    }
    ListView1->setPalette(listPalette);
    for (int position = 1; position <= QuestionsPerTicket; ++position) {
        auto *item = new QListWidgetItem(QStringLiteral("Вопрос №%1").arg(position), ListView1);
        // Rows of 17 pixels keep all twenty items in view at the design size.
        item->setSizeHint(QSize(93, 17));
        item->setData(ImageIndexRole, NotAnswered);
        item->setIcon(QIcon(QStringLiteral(":/exam/item-notanswered.png")));
    }
    ListView1->installEventFilter(this);
    connect(ListView1, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_selecting)
            ListView1SelectItem();
    });
    m_layout->add(ListView1, QRect(8, 32, 97, 361));

    createQuestionArea();
    m_layout->add(ScrollBox1, QRect(112, 32, 605, 413), A::All);

    BitBtn7 =
        new QPushButton(QIcon(QStringLiteral(":/exam/stop.png")), QStringLiteral("СТОП"), this);
    BitBtn7->setObjectName(QStringLiteral("BitBtn7"));
    BitBtn7->setToolTip(QStringLiteral("Закончить решение билета"));
    BitBtn7->setAutoDefault(false);
    m_layout->add(BitBtn7, QRect(8, 408, 97, 25));
    connect(BitBtn7, &QPushButton::clicked, this, &TForm1::BitBtn7Click);
    // STOP is the window's cancel button.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("EscapeShortcut"));
    connect(escape, &QShortcut::activated, BitBtn7, &QPushButton::click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    SpTimer = new QTimer(this);
    SpTimer->setObjectName(QStringLiteral("SpTimer"));
    SpTimer->setInterval(1000);
    connect(SpTimer, &QTimer::timeout, this, &TForm1::SpTimerTimer);

    setTabOrder(ListView1, BitBtn7);
}

void TForm1::createQuestionArea()
{
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->setFocusPolicy(Qt::NoFocus);
    m_questionArea = new QWidget;
    m_questionArea->setObjectName(QStringLiteral("QuestionArea"));
    QPalette white = m_questionArea->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    m_questionArea->setPalette(white);
    m_questionArea->setAutoFillBackground(true);
    ScrollBox1->setWidget(m_questionArea);

    m_questionLayout = std::make_unique<AnchorLayout>(QSize(605, 413));
    using A = AnchorLayout;

    Image1 = new PictureBox(m_questionArea);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setProportional(true);
    m_questionLayout->add(Image1, QRect(8, 8, 353, 137));

    Label2 = new QLabel(m_questionArea);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setFont(DesignFonts::font(DesignFamily, 10, true));
    setTextColour(Label2, fromBgr(0x800000));
    m_questionLayout->add(Label2, QRect(368, 8, 217, 209), A::Top | A::Right | A::Bottom);

    Label3 = new VariantsLabel(m_questionArea);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_questionLayout->add(Label3, QRect(8, 148, 577, 85), A::Left | A::Top | A::Right);

    Label4 = new QLabel(m_questionArea);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(Label4, Qt::red);
    Label4->hide();
    m_questionLayout->add(Label4, QRect(8, 232, 577, 110), A::Left | A::Right | A::Bottom);

    for (int n = 1; n <= MaxVariants; ++n) {
        auto *button = new QPushButton(m_questionArea);
        button->setObjectName(QStringLiteral("BitBtn%1").arg(n));
        button->setIcon(QIcon(QStringLiteral(":/exam/answer%1.png").arg(n)));
        button->setIconSize(QSize(20, 20));
        button->setAccessibleName(QString::number(n));
        // The digit keys answer through the question list, which must keep
        // the focus.
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
        m_questionLayout->add(button, QRect(24 + 80 * (n - 1), 368, 75, 25), A::Left | A::Bottom);
        connect(button, &QPushButton::clicked, this, [this, button] { BitBtn1Click(button); });
        m_answerButtons[size_t(n)] = button;
    }

    Chart1 = new PieChartView(m_questionArea);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setCursor(Qt::PointingHandCursor);
    // A click on the pie toggles the seconds label; it must not take the
    // focus from the question list, where the digit keys answer.
    Chart1->setFocusPolicy(Qt::NoFocus);
    m_questionLayout->add(Chart1, QRect(520, 336, 65, 58), A::Right | A::Bottom);
    connect(Chart1, &PieChartView::clicked, this, &TForm1::Chart1Click);

    Label7 = new ClickLabel(QStringLiteral("0000"), Chart1);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setGeometry(10, 16, 45, 24);
    Label7->setAlignment(Qt::AlignCenter);
    Label7->setFont(pixelFont(DesignFamily, 19, true));
    Label7->setToolTip(QStringLiteral("Счетчик времени"));
    setTextColour(Label7, Qt::yellow);
    connect(Label7, &ClickLabel::clicked, this, &TForm1::Label7Click);
}

// --- Attempt start and question display -------------------------------------

void TForm1::FormShow()
{
    ++m_attemptId;
    m_state = AttemptState::Running;

    ProgramRandom::Randomize();
    ShuffleSlots.fill(0);
    for (int j = 1; j <= QuestionsPerTicket; ++j) {
        int k = 0;
        do {
            k = ProgramRandom::Random(QuestionCount) + 1;
        } while (std::find(PreparationSet.begin() + 1, PreparationSet.begin() + j, k) !=
                 PreparationSet.begin() + j);
        PreparationSet[size_t(j)] = k;
    }
    setAnswerButtonsEnabled(true);
    ThreeErrorsAsked = false;
    CorrectCount = 0;
    WrongCount = 0;
    CorrectItemCount = 0;
    for (int position = 1; position <= QuestionsPerTicket; ++position)
        setItemState(position, NotAnswered);

    selectPosition(1);

    if (AttemptMode == StatMode::Exam) {
        RemainingTime = ExamTimeLimit;
        Label6->setText(LongTimeText(RemainingTime));
        Label6->show();
        Timer1->start();
    } else {
        Timer1->stop();
        Label6->hide();
    }
    SpTimer->start();

    struct ModeLabel
    {
        const char16_t *text;
        quint32 colour;
    };
    ModeLabel mode{u"Режим обучения", 65280};
    if (AttemptMode == StatMode::Learning && PreparationFlag)
        mode = {u"Режим подготовки", 65478};
    else if (AttemptMode == StatMode::Training)
        mode = {u"Режим тренировки", 52479};
    else if (AttemptMode == StatMode::Exam)
        mode = {u"Режим экзамена", 255};
    Label5->setText(QString::fromUtf16(mode.text));
    setTextColour(Label5, fromBgr(mode.colour));
}

void TForm1::selectPosition(int position)
{
    // One display per selection, even when the item was selected already.
    m_selecting = true;
    ListView1->setCurrentRow(position - 1, QItemSelectionModel::ClearAndSelect);
    m_selecting = false;
    ListView1->setFocus();
    ListView1SelectItem();
}

void TForm1::ListView1SelectItem()
{
    const QList<QListWidgetItem *> selected = ListView1->selectedItems();
    if (selected.isEmpty())
        return;
    CurrentPosition = ListView1->row(selected.first()) + 1;

    int absolute = 0;
    if (AttemptMode != StatMode::Learning || !PreparationFlag) {
        CurrentQuestion = CurrentPosition;
        absolute = absoluteNumber(CurrentTicket, CurrentPosition);
    } else {
        absolute = PreparationSet[size_t(CurrentPosition)];
        CurrentTicket = ticketOf(absolute);
        CurrentQuestion = questionOf(absolute);
    }

    if (AttemptMode == StatMode::Exam)
        Label1->setText(QStringLiteral("Вопрос №%1").arg(CurrentQuestion));
    else
        Label1->setText(
            QStringLiteral("Билет №%1 Вопрос №%2").arg(CurrentTicket).arg(CurrentQuestion));
    Label1->adjustSize();

    Question question;
    question.AnswerTexts = AnswerTexts;
    try {
        GlobalQuestionDatabase().ReadQuestion(absolute, question);
    } catch (const QuestionBankError &error) {
        showUnreadableQuestion(error.message());
        return;
    }
    m_questionReadable = true;

    if (question.Picture) {
        Image1->setImage(*question.Picture);
        Image1->show();
    } else {
        Image1->clear();
        Image1->hide();
    }
    placeQuestionText();

    CorrectVariant = question.CorrectVariant;
    AnswerTexts = question.AnswerTexts;
    AnswerCount = question.AnswerCount;
    CommentText = question.CommentText;
    Label2->setText(question.QuestionText);
    QString variants;
    for (int n = 1; n <= AnswerCount; ++n)
        variants += QStringLiteral("%1. %2\n\r").arg(n).arg(AnswerTexts[size_t(n)]);
    Label3->setText(variants);

    if (m_host && m_host->shuffleAnswersChecked())
        ShuffleAnswers();

    if (AnswerCount >= 2 && AnswerCount <= MaxVariants) {
        for (int n = 1; n <= MaxVariants; ++n)
            m_answerButtons[size_t(n)]->setVisible(n <= AnswerCount);
    }

    // Mode 0 never locks a question; enabling there only undoes the lock of
    // an unreadable question shown before. After the attempt has ended (a
    // failed save keeps the window open) nothing can be answered.
    const ItemState state = itemState(CurrentPosition);
    const bool answerable = m_state == AttemptState::Running;
    if (AttemptMode != StatMode::Learning)
        setAnswerButtonsEnabled(answerable && state == NotAnswered);
    else
        setAnswerButtonsEnabled(answerable);

    if (AttemptMode != StatMode::Exam && state == AnsweredWrongly)
        showComment();
    else
        Label4->hide();

    if (AttemptMode == StatMode::Learning) {
        refreshPie();
        const bool shown = m_host && m_host->showStatisticsChecked();
        Chart1->setVisible(shown);
        Label7->setVisible(shown);
    } else {
        Chart1->hide();
        Label7->hide();
    }
}

void TForm1::showUnreadableQuestion(const QString &message)
{
    // The attempt stays usable: the question cannot be answered, but the user
    // can go to another one or press STOP.
    m_questionReadable = false;
    Image1->clear();
    Image1->hide();
    placeQuestionText();
    Label2->clear();
    Label3->clear();
    Label4->hide();
    setAnswerButtonsEnabled(false);
    Chart1->hide();
    Label7->hide();
    MessageBoxes::warning(this, Caution, message);
}

void TForm1::ShuffleAnswers()
{
    int &slot = ShuffleSlots[size_t(CurrentPosition)];
    if (slot == 0)
        slot = ProgramRandom::Random(AnswerCount) + 1;
    const int s = slot;
    QString variants;
    for (int n = 1; n <= AnswerCount; ++n) {
        int source = n;
        if (n == s)
            source = CorrectVariant;
        else if (n == CorrectVariant)
            source = s;
        variants += QStringLiteral("%1. %2\n\r").arg(n).arg(AnswerTexts[size_t(source)]);
    }
    Label3->setText(variants);
    CorrectVariant = s;
}

void TForm1::placeQuestionText()
{
    QRect rect = Label2->geometry();
    if (Image1->isVisibleTo(m_questionArea)) {
        rect.moveLeft(Image1->x() + Image1->width() + 10);
        rect.setWidth(ScrollBox1->width() - rect.left() - 10);
    } else {
        rect.moveLeft(8);
        rect.setWidth(roundHalfEven(ScrollBox1->width() * 0.7));
    }
    Label2->setGeometry(rect);
}

void TForm1::refreshPie()
{
    const QuestionStats stats = GlobalStatRecord().questionStats(CurrentTicket, CurrentQuestion);
    Chart1->setCounts(stats.correctTotal(), stats.wrongTotal());
    Label7->setText(QString::number(stats.secondsTotal()));
}

void TForm1::setItemState(int position, ItemState state)
{
    static const QIcon icons[] = {
        QIcon(QStringLiteral(":/exam/item-notanswered.png")),
        QIcon(QStringLiteral(":/exam/item-wrong.png")),
        QIcon(QStringLiteral(":/exam/item-correct.png")),
    };
    QListWidgetItem *item = ListView1->item(position - 1);
    item->setData(ImageIndexRole, state);
    item->setIcon(icons[state]);
}

TForm1::ItemState TForm1::itemState(int position) const
{
    return ItemState(ListView1->item(position - 1)->data(ImageIndexRole).toInt());
}

void TForm1::setAnswerButtonsEnabled(bool enabled)
{
    for (int n = 1; n <= MaxVariants; ++n)
        m_answerButtons[size_t(n)]->setEnabled(enabled);
}

void TForm1::showComment()
{
    Label4->setText(CommentPrefix + CommentText);
    Label4->show();
}

// --- Answering ---------------------------------------------------------------

void TForm1::BitBtn1Click(QPushButton *sender)
{
    if (m_state != AttemptState::Running || !m_questionReadable)
        return;
    const auto found = std::find(m_answerButtons.begin() + 1, m_answerButtons.end(), sender);
    if (found == m_answerButtons.end())
        return;
    const int pressed = int(found - m_answerButtons.begin());
    const int attempt = m_attemptId;
    StatRecord &record = GlobalStatRecord();

    if (pressed == CorrectVariant) {
        ++CorrectCount;
        setItemState(CurrentPosition, AnsweredCorrectly);
        record.addCorrect(CurrentTicket, CurrentQuestion, AttemptMode);
        advance();
    } else {
        setItemState(CurrentPosition, AnsweredWrongly);
        ++WrongCount;
        record.addWrong(CurrentTicket, CurrentQuestion, AttemptMode);
        if (AttemptMode == StatMode::Learning) {
            showComment();
            return;
        }
        if (AttemptMode == StatMode::Training) {
            showComment();
            setAnswerButtonsEnabled(false);
        } else {
            advance();
        }
    }
    // A question that cannot be read is reported in a modal box; the time
    // may run out meanwhile, and the rest belongs to the ended attempt.
    if (attempt != m_attemptId || m_state != AttemptState::Running)
        return;

    if (AttemptMode == StatMode::Learning && CorrectItemCount < QuestionsPerTicket) {
        CorrectItemCount = 0;
        for (int position = 1; position <= QuestionsPerTicket; ++position)
            CorrectItemCount += itemState(position) == AnsweredCorrectly ? 1 : 0;
        if (CorrectItemCount == QuestionsPerTicket) {
            SpTimer->stop();
            const auto answer = MessageBoxes::question(this, Caution, CompletionQuestion);
            if (attempt != m_attemptId || m_state != AttemptState::Running)
                return;
            if (answer == QMessageBox::Yes) {
                if (!PreparationFlag)
                    record.setTicketStatus(CurrentTicket, TicketStatus::LearningCompleted);
                CurrentTicket = CurrentTicket % TicketCount + 1;
                FormShow();
            } else {
                BitBtn7Click();
            }
            return;
        }
    }

    if (AttemptMode != StatMode::Learning && CorrectCount + WrongCount == QuestionsPerTicket) {
        BitBtn7Click();
        return;
    }

    if (AttemptMode == StatMode::Exam && !ThreeErrorsAsked && WrongCount == 3) {
        const auto answer = MessageBoxes::question(this, Caution, ThreeErrorsQuestion);
        // The time may have run out while the question was open: that ended
        // the attempt, and an answer to a finished attempt changes nothing.
        if (attempt != m_attemptId || m_state != AttemptState::Running)
            return;
        if (answer != QMessageBox::Yes)
            BitBtn7Click();
        ThreeErrorsAsked = true;
    }
}

void TForm1::advance()
{
    selectPosition(CurrentPosition % QuestionsPerTicket + 1);
}

bool TForm1::ListView1KeyPress(QChar key)
{
    if (key < QLatin1Char('1') || key > QLatin1Char('5'))
        return false;
    QPushButton *button = m_answerButtons[size_t(key.digitValue())];
    if (!button->isVisible() || !button->isEnabled())
        return false;
    button->click();
    return true;
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListView1 && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (text.size() == 1 && ListView1KeyPress(text.front()))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

// --- Timers and the attempt end ---------------------------------------------

void TForm1::Timer1Timer()
{
    if (m_state != AttemptState::Running || AttemptMode != StatMode::Exam)
        return;
    // Whole seconds: the end falls exactly on the tick numbered by the limit.
    --RemainingTime;
    Label6->setText(LongTimeText(RemainingTime));
    if (RemainingTime > 0)
        return;
    Timer1->stop();
    SpTimer->stop();
    const int attempt = m_attemptId;
    MessageBoxes::error(this, Caution, TimeUpMessage);
    if (attempt == m_attemptId && m_state == AttemptState::Running)
        BitBtn7Click();
}

void TForm1::SpTimerTimer()
{
    if (m_state != AttemptState::Running)
        return;
    GlobalStatRecord().addSecond(CurrentTicket, CurrentQuestion, AttemptMode);
    if (AttemptMode == StatMode::Learning)
        refreshPie();
}

void TForm1::BitBtn7Click()
{
    close();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (!FormClose()) {
        event->ignore();
        return;
    }
    event->accept();
    hide();
    if (m_host)
        m_host->examWindowClosed();
}

bool TForm1::FormClose()
{
    if (m_state == AttemptState::Running) {
        Timer1->stop();
        SpTimer->stop();
        m_state = AttemptState::EndedUnsaved;
        dismissOpenQuestions();
        setAnswerButtonsEnabled(false);
        evaluateAttempt();
    }
    if (m_state == AttemptState::EndedUnsaved) {
        if (!saveStatistics())
            return false;
        m_state = AttemptState::Idle;
    }
    Label6->hide();
    return true;
}

void TForm1::dismissOpenQuestions()
{
    const auto boxes = findChildren<QMessageBox *>();
    for (QMessageBox *box : boxes) {
        if (box->isVisible())
            box->reject();
    }
}

void TForm1::evaluateAttempt()
{
    StatRecord &record = GlobalStatRecord();
    const int status = record.ticketStatus(CurrentTicket);
    const QString ticketLine = QStringLiteral("Вы отвечали на билет №%1").arg(CurrentTicket);
    const QString correctLine = QStringLiteral("Правильных ответов: %1").arg(CorrectCount);

    QStringList lines;
    switch (AttemptMode) {
    case StatMode::Learning:
        if (!PreparationFlag && CorrectCount == QuestionsPerTicket &&
            status == TicketStatus::NotPassed)
            record.setTicketStatus(CurrentTicket, TicketStatus::LearningCompleted);
        return;
    case StatMode::Training: {
        const QString untimed = QStringLiteral("Время не учитывалось.");
        if (CorrectCount == QuestionsPerTicket) {
            if (status != TicketStatus::ExamPassed)
                record.setTicketStatus(CurrentTicket, TicketStatus::TrainingPassed);
            lines = {QStringLiteral("Поздравляем вы прошли тренировку!"), ticketLine, correctLine,
                     untimed};
        } else {
            record.setTicketStatus(CurrentTicket, TicketStatus::Failed);
            lines = {QStringLiteral("К сожалению тренировка не пройдена!"), ticketLine, correctLine,
                     untimed};
        }
        break;
    }
    case StatMode::Exam: {
        const QString timeLine =
            QStringLiteral("Время ответа: ") + LongTimeText(ExamTimeLimit - RemainingTime);
        if (CorrectCount >= QuestionsPerTicket - 2) {
            record.setTicketStatus(CurrentTicket, TicketStatus::ExamPassed);
            lines = {QStringLiteral("Поздравляем вы сдали экзамен!"), ticketLine, correctLine,
                     timeLine};
        } else {
            record.setTicketStatus(CurrentTicket, TicketStatus::Failed);
            lines = {QStringLiteral("К сожалению экзамен не сдан!"), ticketLine,
                     QStringLiteral("Ошибок: %1").arg(QuestionsPerTicket - CorrectCount), timeLine};
        }
        break;
    }
    default:
        return;
    }

    if (!m_resultDialog)
        m_resultDialog = new TForm4(this);
    m_resultDialog->setResultLines(lines[0], lines[1], lines[2], lines[3]);
    m_resultDialog->showModalAtDesignPosition();
}

bool TForm1::saveStatistics()
{
    try {
        SaveStatistics(GlobalStatRecord());
        return true;
    } catch (const StatisticsError &error) {
        MessageBoxes::warning(this, Caution, error.message());
        return false;
    }
}

// --- Layout and small conveniences -------------------------------------------

void TForm1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A window restored by the window system is not a new attempt.
    if (event->spontaneous())
        return;
    // The attempt is driven from the keyboard (digit keys, Esc for STOP), so
    // the window asks for the keyboard as it appears, in place of the main
    // window that has just hidden itself.
    activateWindow();
    FormShow();
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_layout->apply(size());
    m_questionLayout->apply(ScrollBox1->size());
    FormResize();
}

void TForm1::FormResize()
{
    const int outerWidth = frameGeometry().width();
    const int boxWidth = ScrollBox1->width();
    const int boxHeight = ScrollBox1->height();

    Image1->resize(roundHalfEven(boxWidth * 0.5834), roundHalfEven(boxHeight * 0.3317));
    Image1->update();

    const FontBand *band = nullptr;
    for (const FontBand &candidate : FontBands) {
        if (outerWidth <= candidate.maxWidth) {
            band = &candidate;
            break;
        }
    }
    if (band)
        Label2->setFont(DesignFonts::font(DesignFamily, band->question, true));

    placeQuestionText();

    const int variantsTop = Image1->y() + Image1->height() + 5;
    Label3->setGeometry(Label3->x(), variantsTop, Label3->width(), boxHeight / 5);
    const int commentTop = Label3->y() + Label3->height();
    Label4->setGeometry(Label4->x(), commentTop, Label4->width(), Chart1->y() - commentTop + 15);

    if (band) {
        Label3->setFont(DesignFonts::font(DesignFamily, band->variants));
        Label4->setFont(DesignFonts::font(DesignFamily, band->variants));
    }
    Label2->update();
    Label3->update();
    Label4->update();
}

void TForm1::SpeedButton1Click()
{
    Help::showTopic(this, QStringLiteral("test"));
}

void TForm1::Chart1Click()
{
    Label7->setVisible(!Label7->isVisibleTo(Chart1));
}

void TForm1::Label7Click()
{
    Label7->setVisible(!Label7->isVisibleTo(Chart1));
}
