// The exam window's controls, created once with their design names and
// places; the window's other files only show and hide them.
#include "examwindow.h"
#include "examwindowhost.h"

#include "anchorlayout.h"
#include "bundledpictures.h"
#include "designfonts.h"
#include "examwindowstyle.h"
#include "questionpanel.h"

#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

using namespace ExamWindowStyle;

void ExamWindow::createControls()
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

    m_timeLabel = new QLabel(QStringLiteral("ВРЕМЯ"), this);
    m_timeLabel->setObjectName(QStringLiteral("Label6"));
    m_timeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_timeLabel->setFont(pixelFont(DesignFamily, 24, true));
    setTextColour(m_timeLabel, Qt::yellow);
    m_timeLabel->hide();
    m_layout->add(m_timeLabel, QRect(15, 0, 90, 29));

    // The heading sizes itself to its text, so it is placed once and not
    // handed to the layout.
    m_headingLabel = new QLabel(this);
    m_headingLabel->setObjectName(QStringLiteral("Label1"));
    m_headingLabel->setFont(pixelFont(QStringLiteral("Arial"), 19, true, true));
    setTextColour(m_headingLabel, fromBgr(16701441));
    m_headingLabel->move(120, 3);
    m_headingLabel->adjustSize();

    m_modeLabel = new QLabel(this);
    m_modeLabel->setObjectName(QStringLiteral("Label5"));
    m_modeLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    m_modeLabel->setFont(pixelFont(DesignFamily, 19, true, true));
    m_layout->add(m_modeLabel, QRect(480, 2, 201, 24), A::Top | A::Right);

    // Between the heading and the mode label: where the learner is in a
    // longer attempt. Placed after the heading whenever that changes.
    m_statusLabel = new QLabel(this);
    m_statusLabel->setObjectName(QStringLiteral("attemptStatusLabel"));
    m_statusLabel->setFont(pixelFont(DesignFamily, 13, true));
    setTextColour(m_statusLabel, Qt::white);
    m_statusLabel->hide();

    m_helpButton = new QToolButton(this);
    m_helpButton->setObjectName(QStringLiteral("SpeedButton1"));
    m_helpButton->setIcon(BundledPictures::icon(QStringLiteral(":/exam/help.png")));
    m_helpButton->setIconSize(QSize(13, 13));
    m_helpButton->setFocusPolicy(Qt::NoFocus);
    m_helpButton->setToolTip(QStringLiteral("Справка"));
    m_layout->add(m_helpButton, QRect(696, 8, 17, 17), A::Top | A::Right);
    connect(m_helpButton, &QToolButton::clicked, this, &ExamWindow::onHelpClicked);

    m_questionList = new QListWidget(this);
    m_questionList->setObjectName(QStringLiteral("ListView1"));
    m_questionList->setViewMode(QListView::ListMode);
    m_questionList->setFlow(QListView::TopToBottom);
    m_questionList->setIconSize(QSize(16, 16));
    m_questionList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_questionList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_questionList->setUniformItemSizes(true);
    m_questionList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette listPalette = m_questionList->palette();
    listPalette.setColor(QPalette::Base, Qt::white);
    listPalette.setColor(QPalette::Text, Qt::black);
    // Keep the selection shown as strongly when the list has no focus.
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        listPalette.setColor(QPalette::Inactive, role, listPalette.color(QPalette::Active, role));
    }
    // Questions the marathon has not reached yet are greyed.
    listPalette.setColor(QPalette::Disabled, QPalette::Text, Qt::gray);
    m_questionList->setPalette(listPalette);
    fillQuestionList();
    m_questionList->installEventFilter(this);
    connect(m_questionList, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_selecting)
            onQuestionSelected();
    });
    m_layout->add(m_questionList, QRect(8, 32, 97, 361));

    m_questionPanel = new QuestionPanel(this);
    m_layout->add(m_questionPanel, QRect(112, 32, 605, 413), A::All);
    connect(m_questionPanel, &QuestionPanel::answerClicked, this, &ExamWindow::onAnswerClicked);
    connect(m_questionPanel, &QuestionPanel::pictureClicked, this,
            &ExamWindow::onPictureZoomRequested);
    connect(m_questionPanel, &QuestionPanel::nextClicked, this, &ExamWindow::onNextClicked);
    connect(m_questionPanel, &QuestionPanel::referenceLinkActivated, this,
            [this](ReferenceKind kind, const QString &number) {
                if (m_host)
                    m_host->openReferenceEntry(kind, number);
            });

    m_stopButton = new QPushButton(BundledPictures::icon(QStringLiteral(":/exam/stop.png")),
                                   QStringLiteral("СТОП"), this);
    m_stopButton->setObjectName(QStringLiteral("BitBtn7"));
    m_stopButton->setToolTip(QStringLiteral("Закончить решение билета"));
    m_stopButton->setAutoDefault(false);
    m_layout->add(m_stopButton, QRect(8, 408, 97, 25));
    connect(m_stopButton, &QPushButton::clicked, this, &ExamWindow::onStopClicked);
    // STOP is the window's cancel button.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("EscapeShortcut"));
    connect(escape, &QShortcut::activated, m_stopButton, &QPushButton::click);

    m_countdownTimer = new QTimer(this);
    m_countdownTimer->setObjectName(QStringLiteral("Timer1"));
    m_countdownTimer->setInterval(1000);
    connect(m_countdownTimer, &QTimer::timeout, this, &ExamWindow::onCountdownTick);
    m_secondsTimer = new QTimer(this);
    m_secondsTimer->setObjectName(QStringLiteral("SpTimer"));
    m_secondsTimer->setInterval(1000);
    connect(m_secondsTimer, &QTimer::timeout, this, &ExamWindow::onSecondTick);

    setTabOrder(m_questionList, m_stopButton);
}
