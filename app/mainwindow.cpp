#include "mainwindow.h"

#include "aboutwindow.h"
#include "artresources.h"
#include "attemptwindow.h"
#include "bundledpictures.h"
#include "classroomsettings.h"
#include "designfonts.h"
#include "designwidgets.h"
#include "examattempt.h"
#include "filedialogs.h"
#include "help.h"
#include "instancelock.h"
#include "instructorwindow.h"
#include "knowledgegauge.h"
#include "knowledgescore.h"
#include "learnerhistory.h"
#include "learnerwindow.h"
#include "messageboxes.h"
#include "programinfo.h"
#include "programrandom.h"
#include "questiondatabase.h"
#include "scaleatstartup.h"
#include "settingsmenu.h"
#include "settingsstore.h"
#include "splashwindow.h"
#include "statisticsfile.h"
#include "statrecord.h"
#include "syncengine.h"
#include "ticketcatalogue.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace {

const QString Attention = QStringLiteral("Внимание!");
const QString ResetQuestion =
    QStringLiteral("Вы действительно хотите обнулить результаты и статистику?");
const QString HelpTopic = QStringLiteral("glavn");
const QString ScaleRestartQuestion =
    QStringLiteral("Новый масштаб интерфейса вступит в силу при следующем запуске программы.\n"
                   "Перезапустить программу сейчас?");

QString reminderText()
{
    return QStringLiteral("Спасибо, что пользуетесь программой «%1»!\n\n"
                          "Нам очень важно Ваше мнение. Присылайте, пожалуйста, свои "
                          "замечания, отзывы и предложения — с ними программа станет лучше.\n\n"
                          "Сайт: %2\nЭлектронная почта: %3")
        .arg(QString::fromUtf8(ProgramInfo::Title), QString::fromUtf8(ProgramInfo::WebSite),
             QString::fromUtf8(ProgramInfo::Email));
}

} // namespace

MainWindow::MainWindow(const ProgramPaths &paths, QWidget *parent)
    : QWidget(parent), m_paths(paths),
      m_settings(std::make_unique<SettingsStore>(paths.settingsLocation)),
      m_history(std::make_unique<LearnerHistory>())
{
    setObjectName(QStringLiteral("Form2"));
    setUpWindow();
    m_menu = new SettingsMenu(this, *m_settings);
    connect(m_menu, &SettingsMenu::resetChosen, this, &MainWindow::onResetChosen);
    connect(m_menu, &SettingsMenu::databaseChoiceChosen, this, &MainWindow::onDatabaseChoiceChosen);
    connect(m_menu, &SettingsMenu::importChosen, this, &MainWindow::onImportChosen);
    connect(m_menu, &SettingsMenu::recentDatabaseChosen, this, &MainWindow::openDatabase);
    connect(m_menu, &SettingsMenu::aboutChosen, this, &MainWindow::onAboutChosen);
    connect(m_menu, &SettingsMenu::referenceChosen, this, &MainWindow::onReferenceChosen);
    connect(m_menu, &SettingsMenu::interfaceScaleChosen, this, &MainWindow::onInterfaceScaleChosen);
    connect(m_menu, &SettingsMenu::classroomChosen, this, &MainWindow::onClassroomChosen);
    connect(m_menu, &SettingsMenu::learnerSwitchChosen, this, &MainWindow::onLearnerSwitchChosen);

    // The controls are built while the start-up's writes run; its messages
    // find the window as it will appear, only without its controls.
    StartupSequence startup(m_paths, *m_settings, *this);
    startup.start();
    createControls();
    m_startupFailed = !startup.finish();
    m_databasePath = startup.databasePath();
    m_launchCount = startup.launchCount();
    m_instanceLock = startup.takeInstanceLock();
    // The start-up left the current folder at the home of "stat.dat". The
    // history is opened once the window has painted, so what it has to say
    // comes after anything the start-up said about "stat.dat" itself.
    if (!m_startupFailed) {
        // On a classroom PC the history is the signed-in learner's own.
        m_statFolder = QDir::currentPath();
        const ClassroomSettings classroom = m_settings->classroom();
        const bool learnerPc = classroom.learnerPc && classroom.isComplete();
        m_menu->setLearnerSwitchVisible(learnerPc);
        m_pendingHistoryFolder = learnerPc ? signInToClassroom(classroom) : m_statFolder;
        rememberRecentDatabase();
    }
}

LearnerHistory &MainWindow::history()
{
    if (!m_pendingHistoryFolder.isEmpty()) {
        const QString folder = m_pendingHistoryFolder;
        m_pendingHistoryFolder.clear();
        m_history->open(folder, m_databasePath);
    }
    return *m_history;
}

void MainWindow::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    // Queued, so this paint reaches the screen before the history is read.
    if (!m_pendingHistoryFolder.isEmpty() && !m_historyOpenQueued) {
        m_historyOpenQueued = true;
        QTimer::singleShot(0, this, &MainWindow::openHistoryAfterFirstPaint);
    }
}

void MainWindow::openHistoryAfterFirstPaint()
{
    history();
    showHistoryMessage();
}

QFileDialog &MainWindow::databaseDialog()
{
    if (!m_databaseDialog) {
        m_databaseDialog = new QFileDialog(this, QStringLiteral("Открыть базу вопросов"));
        m_databaseDialog->setObjectName(QStringLiteral("OpenDialog1"));
        m_databaseDialog->setNameFilter(QStringLiteral("База вопросов (*.dbv)"));
        m_databaseDialog->setFileMode(QFileDialog::ExistingFile);
        m_databaseDialog->setAcceptMode(QFileDialog::AcceptOpen);
        m_databaseDialog->setSizeGripEnabled(true);
    }
    return *m_databaseDialog;
}

MainWindow::~MainWindow()
{
    // The instructor's window and the learner window it opened read
    // histories this window owns: they go first.
    delete m_instructorWindow;
    // Close the database, then release the settings.
    globalQuestionDatabase().closeDatabase();
    m_settings->release();
}

void MainWindow::setDatabaseOpener(DatabaseOpening::Opener opener)
{
    DatabaseOpening::setOpener(std::move(opener));
}

void MainWindow::setCompanions(AttemptWindow *examWindow, KnowledgeGauge *gauge,
                               QDialog *statisticsWindow, SplashWindow *splash, AboutWindow *about)
{
    m_examWindow = examWindow;
    m_gauge = gauge;
    m_statisticsWindow = statisticsWindow;
    m_splash = splash;
    m_about = about;
}

void MainWindow::setUpWindow()
{
    setWindowTitle(QString::fromUtf8(ProgramInfo::MainCaption));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(722, 448);
    setFont(DesignFonts::font(QStringLiteral("MS Sans Serif"), 8));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setWindowIcon(BundledPictures::icon(ArtResources::programIcon()));
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void MainWindow::createControls()
{
    m_banner = new QLabel(this);
    m_banner->setObjectName(QStringLiteral("Image2"));
    m_banner->setGeometry(0, 0, 588, 209);
    m_banner->setScaledContents(true);
    m_banner->setPixmap(
        QPixmap::fromImage(ArtResources::jpeg(ArtResources::banner(), QSize(588, 209))));

    m_knowledgePicture = new QLabel(this);
    m_knowledgePicture->setObjectName(QStringLiteral("Image1"));
    m_knowledgePicture->setGeometry(588, 0, 133, 209);

    m_launchLabel =
        DesignWidgets::label(this, "Label8", QString(), DesignWidgets::fromBgr(0x00646464));
    m_launchLabel->move(183, 188);

    m_congratulation =
        DesignWidgets::label(this, "Label6",
                             QStringLiteral("Поздравляем! Считайте, что права у Вас в кармане!!! "
                                            "Отличный результат! Удачи на экзаменах!!!"),
                             DesignWidgets::fromBgr(0x000000FF));
    m_congratulation->setGeometry(64, 72, 433, 41);
    m_congratulation->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_congratulation->setWordWrap(true);
    QFont blinkFont(QStringLiteral("Arial"));
    blinkFont.setPixelSize(16);
    blinkFont.setBold(true);
    m_congratulation->setFont(blinkFont);
    m_congratulation->hide();

    m_bannerRule = new QFrame(this);
    m_bannerRule->setObjectName(QStringLiteral("Bevel4"));
    m_bannerRule->setFrameShape(QFrame::HLine);
    m_bannerRule->setFrameShadow(QFrame::Sunken);
    m_bannerRule->setGeometry(0, 208, 721, 9);

    m_catalogue = new TicketCatalogue(this);
    connect(m_catalogue, &TicketCatalogue::learningChosen, this, &MainWindow::onLearningChosen);
    connect(m_catalogue, &TicketCatalogue::preparationChosen, this,
            &MainWindow::onPreparationChosen);
    connect(m_catalogue, &TicketCatalogue::trainingChosen, this, &MainWindow::onTrainingChosen);
    connect(m_catalogue, &TicketCatalogue::examChosen, this, &MainWindow::onExamChosen);

    createToolButtons();
    createLearnerButton();

    m_databaseTitle = DesignWidgets::label(
        this, "Label5", QStringLiteral("Официальные экзаменационные билеты категория АВ."),
        DesignWidgets::fromBgr(0x000000FF));
    QFont titleFont(QStringLiteral("Times New Roman"));
    titleFont.setPixelSize(16);
    titleFont.setBold(true);
    m_databaseTitle->setFont(titleFont);
    m_databaseTitle->setGeometry(304, 419, 408, 19);
    if (!m_startupTitle.isNull())
        m_databaseTitle->setText(m_startupTitle);

    m_blinkTimer = new QTimer(this);
    m_blinkTimer->setObjectName(QStringLiteral("Timer1"));
    m_blinkTimer->setInterval(100);
    connect(m_blinkTimer, &QTimer::timeout, this, &MainWindow::onBlinkTick);
}

void MainWindow::createToolButtons()
{
    const auto makeToolButton = [this](const char *name, const QString &caption,
                                       const QString &glyph, int left) {
        auto *button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(caption);
        button->setIcon(BundledPictures::icon(ArtResources::glyph(glyph)));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(left, 416, 89, 22);
        return button;
    };
    m_helpButton =
        makeToolButton("SpeedButton3", QStringLiteral("Справка"), QStringLiteral("help"), 8);
    m_statisticsButton = makeToolButton("SpeedButton2", QStringLiteral("Статистика"),
                                        QStringLiteral("statistics"), 104);
    m_settingsButton = makeToolButton("SpeedButton1", QStringLiteral("Настройка"),
                                      QStringLiteral("settings"), 200);
    connect(m_helpButton, &QToolButton::clicked, this, &MainWindow::onHelpClicked);
    connect(m_statisticsButton, &QToolButton::clicked, this, &MainWindow::onStatisticsClicked);
    connect(m_settingsButton, &QToolButton::clicked, this, &MainWindow::onSettingsClicked);
    m_settingsButton->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_settingsButton, &QToolButton::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_menu->popup(m_settingsButton->mapToGlobal(pos)); });
}

// --- Start-up -------------------------------------------------------------------

void MainWindow::warn(const QString &text)
{
    MessageBoxes::warning(this, Attention, text);
}

void MainWindow::inform(const QString &text)
{
    MessageBoxes::information(this, QString::fromUtf8(ProgramInfo::MessageCaption), text);
}

QString MainWindow::chooseDatabaseFile(const QString &folder)
{
    databaseDialog().setDirectory(folder);
    return FileDialogs::getOpenFileName(databaseDialog());
}

void MainWindow::applyStoredMarks(const SettingsStore::Startup &stored)
{
    m_menu->applyStoredMarks(stored.shuffle, stored.showStatistics, stored.timeCode);
}

void MainWindow::applyDefaultTimeLimit()
{
    m_menu->applyDefaultTimeLimit();
}

void MainWindow::showDatabaseTitle(const QString &title)
{
    // The start-up opens the database before the label exists.
    if (m_databaseTitle)
        m_databaseTitle->setText(title);
    else
        m_startupTitle = title;
}

int MainWindow::launchCount()
{
    return storedLaunchCount(*m_settings, m_launchCount);
}

// --- Showing and refreshing -----------------------------------------------------

bool MainWindow::showStatisticsChecked() const
{
    return m_menu->showStatisticsChecked();
}

bool MainWindow::shuffleAnswersChecked() const
{
    return m_menu->shuffleChecked();
}

int MainWindow::examTimeLimit() const
{
    return m_menu->examTimeLimit();
}

const QList<QIcon> &MainWindow::statusIcons() const
{
    return m_catalogue->statusIcons();
}

void MainWindow::examWindowClosed()
{
    // The attempt's answers go to the classroom's server now rather than
    // at the next round; the sync runs on its own thread.
    if (m_sync)
        m_sync->syncNow();
    show();
    if (m_returnToLearner && m_learnerWindow) {
        m_returnToLearner = false;
        m_learnerWindow->show();
    }
}

void MainWindow::showHistoryMessage()
{
    // The history says what went wrong once; "stat.dat" goes on regardless.
    const QString message = m_history->takePendingMessage();
    if (!message.isEmpty())
        MessageBoxes::warning(this, Attention, message);
}

void MainWindow::setVisible(bool visible)
{
    // The refresh runs before the window appears, so the splash and the
    // reminder come first.
    if (visible && !isVisible() && !m_startupFailed)
        refresh();
    QWidget::setVisible(visible);
}

void MainWindow::refresh()
{
    if (m_firstShowPending) {
        const int launch = launchCount();
        if (launch == 1) {
            if (m_splash)
                m_splash->exec();
        } else if (launch >= 10 && launch <= 50 && launch % 10 == 0) {
            MessageBoxes::information(this, QString::fromUtf8(ProgramInfo::MessageCaption),
                                      reminderText());
        }
        m_firstShowPending = false;
    }
    showHistoryMessage();

    m_launchLabel->setText(QStringLiteral("Запуск №%1").arg(launchCount()));
    m_launchLabel->adjustSize();

    const StatRecord &record = globalStatRecord();
    m_catalogue->showStatuses(record);

    const double score = knowledgeScore(record);
    const int index = knowledgePictureIndex(score);
    if (m_gauge)
        m_knowledgePicture->setPixmap(QPixmap::fromImage(m_gauge->picture(index + 1)));

    m_catalogue->selectFirstTicket();

    if (score >= 100.0) {
        if (!m_blinkTimer->isActive()) {
            m_congratulation->hide();
            m_blinkTimer->start();
        }
    } else {
        m_blinkTimer->stop();
        m_congratulation->hide();
    }
}

void MainWindow::onBlinkTick()
{
    m_congratulation->setVisible(!m_congratulation->isVisible());
}

// --- Mode buttons -----------------------------------------------------------------

void MainWindow::startAttempt(AttemptMode mode, int ticket)
{
    if (!examWindow())
        return;
    AttemptSetup setup;
    setup.mode = mode;
    setup.preparation = m_preparation;
    setup.ticket = ticket;
    setup.timeLimitSeconds = examTimeLimit();
    setup.shuffleVariants = shuffleAnswersChecked();
    runAttempt(setup);
}

void MainWindow::runAttempt(const AttemptSetup &setup, std::optional<HistoryMode> mode)
{
    auto attempt =
        std::make_unique<ExamAttempt>(setup, globalQuestionDatabase(), globalStatRecord());
    if (mode)
        history().attach(*attempt, *mode);
    else
        history().attach(*attempt);
    m_examWindow->setAttempt(std::move(attempt));
    // An open learner window steps aside for the attempt and comes back,
    // recomputed, when it ends.
    if (m_learnerWindow && m_learnerWindow->isVisible()) {
        m_learnerWindow->hide();
        m_returnToLearner = true;
    }
    m_examWindow->move(pos());
    m_examWindow->show();
    hide();
}

void MainWindow::onLearningChosen(int ticket)
{
    m_preparation = false;
    startAttempt(AttemptMode::Learning, ticket);
}

void MainWindow::onPreparationChosen(int ticket)
{
    m_preparation = true;
    startAttempt(AttemptMode::Learning, ticket);
}

void MainWindow::onTrainingChosen(int ticket)
{
    startAttempt(AttemptMode::Training, ticket);
}

void MainWindow::onExamChosen()
{
    // The exam takes a ticket of its own, whatever is selected.
    startAttempt(AttemptMode::Exam, ProgramRandom::random(40) + 1);
}

// --- Tool buttons and menu commands -------------------------------------------------

void MainWindow::onSettingsClicked()
{
    m_menu->popup(QCursor::pos() - QPoint(0, 30));
}

void MainWindow::setStatisticsWindowFactory(std::function<QDialog *()> make)
{
    m_makeStatisticsWindow = std::move(make);
}

void MainWindow::onStatisticsClicked()
{
    if (!m_statisticsWindow && m_makeStatisticsWindow)
        m_statisticsWindow = m_makeStatisticsWindow();
    if (m_statisticsWindow)
        m_statisticsWindow->exec();
}

void MainWindow::onHelpClicked()
{
    Help::showTopic(this, HelpTopic);
}

void MainWindow::onResetChosen()
{
    if (MessageBoxes::question(this, Attention, ResetQuestion) != QMessageBox::Yes)
        return;
    resetStatistics(globalStatRecord());
    history().clearCurrent();
    showHistoryMessage();
    refresh();
}

void MainWindow::onInterfaceScaleChosen(int percent)
{
    // The scale is Qt's global factor, taken only when the program starts.
    if (!ScaleAtStartup::changesScale(percent))
        return;
    if (MessageBoxes::question(this, Attention, ScaleRestartQuestion) != QMessageBox::Yes)
        return;
    m_restartRequested = true;
    close();
}

void MainWindow::setExamWindowFactory(std::function<AttemptWindow *()> make)
{
    m_makeExamWindow = std::move(make);
}

AttemptWindow *MainWindow::examWindow()
{
    if (!m_examWindow && m_makeExamWindow)
        m_examWindow = m_makeExamWindow();
    return m_examWindow;
}

void MainWindow::setAboutWindowFactory(std::function<AboutWindow *()> make)
{
    m_makeAboutWindow = std::move(make);
}

void MainWindow::onAboutChosen()
{
    if (!m_about && m_makeAboutWindow)
        m_about = m_makeAboutWindow();
    if (m_about)
        m_about->exec();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closed();
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        const QWidget *focused = focusWidget();
        const int context =
            focused ? focused->property(TicketCatalogue::HelpContextProperty).toInt() : 0;
        if (context != 0)
            Help::showContext(this, context);
        else
            Help::showTopic(this, HelpTopic);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
