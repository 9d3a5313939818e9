#include "tform2.h"

#include "artresources.h"
#include "attemptwindow.h"
#include "designfonts.h"
#include "examattempt.h"
#include "filedialogs.h"
#include "help.h"
#include "knowledgescore.h"
#include "messageboxes.h"
#include "programinfo.h"
#include "programrandom.h"
#include "questiondatabase.h"
#include "settingsstore.h"
#include "statisticsfile.h"
#include "statrecord.h"
#include "tform3.h"
#include "tform6.h"
#include "tform7.h"

#include <QAction>
#include <QActionGroup>
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
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolButton>

namespace {

const QString Attention = QStringLiteral("Внимание!");
const QString DamagedDatabase =
    QStringLiteral("Файл с данными поврежден! Переустановите базу данных! ");
const QString MissingDatabase =
    QStringLiteral("Отсутствует база вопросов, укажите ее местоположение! ");
const QString DatabaseFailure = QStringLiteral("Сбой базы вопросов, переустановите базу данных! ");
const QString NoDataFile = QStringLiteral("Нет файла с данными! Переустановите базу данных! ");
const QString SwitchFailure =
    QStringLiteral("Сбой базы вопросов, необходимо выбрать другую базу! ");
const QString ChooseTicket =
    QStringLiteral("Для работы в этом режиме необходимо выбрать билет из каталога...");
const QString ResetQuestion =
    QStringLiteral("Вы действительно хотите обнулить результаты и статистику?");

const char HelpContextProperty[] = "helpContext";

TForm2::DatabaseOpener &databaseOpener()
{
    static TForm2::DatabaseOpener opener;
    return opener;
}

QColor fromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// Catalogue items: the one under the mouse is drawn underlined.
class CatalogueDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->state & QStyle::State_MouseOver)
            option->font.setUnderline(true);
    }
};

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QColor &colour)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
    return label;
}

QFrame *makeBevel(QWidget *parent, const char *name, const QRect &rect, QFrame::Shape shape)
{
    auto *bevel = new QFrame(parent);
    bevel->setObjectName(QString::fromLatin1(name));
    bevel->setFrameShape(shape);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(rect);
    return bevel;
}

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

TForm2::TForm2(const ProgramPaths &paths, QWidget *parent)
    : QWidget(parent), m_paths(paths),
      m_settings(std::make_unique<SettingsStore>(paths.settingsLocation))
{
    setObjectName(QStringLiteral("Form2"));
    createControls();
    createMenu();
    FormCreate();
}

TForm2::~TForm2()
{
    // FormDestroy: close the database, then release the settings.
    GlobalQuestionDatabase().CloseDatabase();
    m_settings->release();
}

void TForm2::setDatabaseOpener(DatabaseOpener opener)
{
    databaseOpener() = std::move(opener);
}

QString TForm2::openDatabase(const QString &path)
{
    if (databaseOpener())
        return databaseOpener()(path);
    return GlobalQuestionDatabase().OpenDatabase(path);
}

void TForm2::setCompanions(AttemptWindow *examWindow, TForm3 *pictures, QDialog *statisticsWindow,
                           TForm6 *splash, TForm7 *about)
{
    m_examWindow = examWindow;
    m_pictures = pictures;
    m_statisticsWindow = statisticsWindow;
    m_splash = splash;
    m_about = about;
}

void TForm2::createControls()
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
    setWindowIcon(QIcon(ArtResources::programIcon()));

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(0, 0, 588, 209);
    Image2->setScaledContents(true);
    Image2->setPixmap(
        QPixmap::fromImage(ArtResources::jpeg(ArtResources::banner(), QSize(588, 209))));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(588, 0, 133, 209);

    Label8 = makeLabel(this, "Label8", QString(), fromBgr(0x00646464));
    Label8->move(183, 188);

    Label6 = makeLabel(this, "Label6",
                       QStringLiteral("Поздравляем! Считайте, что права у Вас в кармане!!! "
                                      "Отличный результат! Удачи на экзаменах!!!"),
                       fromBgr(0x000000FF));
    Label6->setGeometry(64, 72, 433, 41);
    Label6->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label6->setWordWrap(true);
    QFont blinkFont(QStringLiteral("Arial"));
    blinkFont.setPixelSize(16);
    blinkFont.setBold(true);
    Label6->setFont(blinkFont);
    Label6->hide();

    Bevel4 = makeBevel(this, "Bevel4", QRect(0, 208, 721, 9), QFrame::HLine);

    Label1 = makeLabel(this, "Label1", QStringLiteral("Каталог билетов:"), fromBgr(0x0000FF00));
    QFont boldFont = font();
    boldFont.setPixelSize(13);
    boldFont.setBold(true);
    Label1->setFont(boldFont);
    Label1->move(8, 216);
    Label1->adjustSize();

    ListView1 = new QListWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(8, 232, 377, 177);
    ListView1->setViewMode(QListView::ListMode);
    ListView1->setFlow(QListView::TopToBottom);
    ListView1->setWrapping(true);
    ListView1->setResizeMode(QListView::Adjust);
    ListView1->setMovement(QListView::Static);
    ListView1->setIconSize(QSize(16, 16));
    // Ten rows of four columns fit the list without scrolling.
    ListView1->setGridSize(QSize(92, 17));
    ListView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setMouseTracking(true);
    ListView1->setFrameShape(QFrame::Box);
    ListView1->setFrameShadow(QFrame::Plain);
    ListView1->setItemDelegate(new CatalogueDelegate(ListView1));
    QPalette listPal = ListView1->palette();
    listPal.setColor(QPalette::Base, fromBgr(0x00CEFFFF));
    listPal.setColor(QPalette::Text, Qt::black);
    // The selection stays visible when the list loses the focus.
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        listPal.setColor(QPalette::Inactive, role, listPal.color(QPalette::Active, role));
    }
    ListView1->setPalette(listPal);
    ListView1->viewport()->installEventFilter(this);
    for (int ticket = 1; ticket <= 40; ++ticket) {
        ListView1->addItem(QStringLiteral("Билет №%1").arg(ticket, 2, 10, QLatin1Char('0')));
    }
    for (int status = 0; status <= 4; ++status)
        ImageList1.append(QIcon(ArtResources::statusIcon(status)));

    const QFont labelFont = font();
    struct ModeRow
    {
        const char *button;
        const char *label;
        const char *bevel;
        QString caption;
        QString text;
        quint32 colour;
        int top;
        int helpContext;
        QString glyph;
    };
    const ModeRow rows[] = {
        {"BitBtn3", "Label4", "Bevel1", QStringLiteral("Экзамен"),
         QStringLiteral("Повторяет теоретический экзамен по правилам дорожного движения."),
         0x000000FF, 232, 7, QStringLiteral("exam")},
        {"BitBtn2", "Label3", "Bevel5", QStringLiteral("Тренировка"),
         QStringLiteral("Проверка знаний также, как на экзамене по выбранному билету."), 0x0000FFFF,
         280, 6, QStringLiteral("training")},
        {"BitBtn4", "Label2", "Bevel2", QStringLiteral("Подготовка"),
         QStringLiteral("Обучение по случайно выбранному списку вопросов из всех билетов."),
         0x00FFFF00, 328, 5, QStringLiteral("preparation")},
        {"BitBtn1", "Label7", "Bevel3", QStringLiteral("Обучение"),
         QStringLiteral("Изучение выбранного билета с комментариями и статистикой."), 0x0000FF00,
         376, 4, QStringLiteral("learning")},
    };
    QPushButton *buttons[4];
    QLabel *labels[4];
    QFrame *bevels[4];
    for (int i = 0; i < 4; ++i) {
        const ModeRow &row = rows[i];
        bevels[i] = makeBevel(this, row.bevel, QRect(392, row.top - 8, 323, 41), QFrame::Box);
        buttons[i] = new QPushButton(QIcon(ArtResources::glyph(row.glyph)), row.caption, this);
        buttons[i]->setObjectName(QString::fromLatin1(row.button));
        buttons[i]->setGeometry(400, row.top, 121, 25);
        buttons[i]->setProperty(HelpContextProperty, row.helpContext);
        labels[i] = makeLabel(this, row.label, row.text, fromBgr(row.colour));
        labels[i]->setGeometry(528, row.top, 185, 33);
        labels[i]->setWordWrap(true);
        labels[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        labels[i]->setFont(labelFont);
    }
    BitBtn3 = buttons[0];
    BitBtn2 = buttons[1];
    BitBtn4 = buttons[2];
    BitBtn1 = buttons[3];
    Label4 = labels[0];
    Label3 = labels[1];
    Label2 = labels[2];
    Label7 = labels[3];
    Bevel1 = bevels[0];
    Bevel5 = bevels[1];
    Bevel2 = bevels[2];
    Bevel3 = bevels[3];
    setTabOrder(ListView1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn4);
    setTabOrder(BitBtn4, BitBtn2);
    setTabOrder(BitBtn2, BitBtn3);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm2::BitBtn1Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TForm2::BitBtn4Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm2::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TForm2::BitBtn3Click);

    const auto makeSpeedButton = [this](const char *name, const QString &caption,
                                        const QString &glyph, int left) {
        auto *button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(caption);
        button->setIcon(QIcon(ArtResources::glyph(glyph)));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(left, 416, 89, 22);
        return button;
    };
    SpeedButton3 =
        makeSpeedButton("SpeedButton3", QStringLiteral("Справка"), QStringLiteral("help"), 8);
    SpeedButton2 = makeSpeedButton("SpeedButton2", QStringLiteral("Статистика"),
                                   QStringLiteral("statistics"), 104);
    SpeedButton1 = makeSpeedButton("SpeedButton1", QStringLiteral("Настройка"),
                                   QStringLiteral("settings"), 200);
    connect(SpeedButton3, &QToolButton::clicked, this, &TForm2::SpeedButton3Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm2::SpeedButton2Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm2::SpeedButton1Click);
    SpeedButton1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(SpeedButton1, &QToolButton::customContextMenuRequested, this,
            [this](const QPoint &pos) { popupMenuAt(SpeedButton1->mapToGlobal(pos)); });

    Label5 = makeLabel(this, "Label5",
                       QStringLiteral("Официальные экзаменационные билеты категория АВ."),
                       fromBgr(0x000000FF));
    QFont titleFont(QStringLiteral("Times New Roman"));
    titleFont.setPixelSize(16);
    titleFont.setBold(true);
    Label5->setFont(titleFont);
    Label5->setGeometry(304, 419, 408, 19);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TForm2::Timer1Timer);

    OpenDialog1 = new QFileDialog(this, QStringLiteral("Открыть базу вопросов"));
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setNameFilter(QStringLiteral("База вопросов (*.dbv)"));
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setSizeGripEnabled(true);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm2::createMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));

    TimeMenu = PopupMenu1->addMenu(QIcon(ArtResources::glyph(QStringLiteral("menu_time"))),
                                   QStringLiteral("Максимальное время экзамена"));
    TimeMenu->setObjectName(QStringLiteral("N1Items"));
    N1 = TimeMenu->menuAction();
    N1->setObjectName(QStringLiteral("N1"));
    TimeItems = new QActionGroup(this);
    // One or none checked: choosing the checked item clears it.
    TimeItems->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const auto addTimeItem = [this](const char *name, const QString &caption,
                                    void (TForm2::*handler)()) {
        auto *item = new QAction(caption, this);
        item->setObjectName(QString::fromLatin1(name));
        item->setCheckable(true);
        TimeItems->addAction(item);
        TimeMenu->addAction(item);
        connect(item, &QAction::triggered, this, handler);
        return item;
    };
    N11 = addTimeItem("N11", QStringLiteral("1 минута"), &TForm2::N11Click);
    N31 = addTimeItem("N31", QStringLiteral("3 минуты"), &TForm2::N31Click);
    N51 = addTimeItem("N51", QStringLiteral("5 минут"), &TForm2::N51Click);
    N101 = addTimeItem("N101", QStringLiteral("10 минут"), &TForm2::N101Click);
    N151 = addTimeItem("N151", QStringLiteral("15 минут"), &TForm2::N151Click);
    N201 = addTimeItem("N201", QStringLiteral("20 минут"), &TForm2::N201Click);

    OptionsMenu = PopupMenu1->addMenu(QIcon(ArtResources::glyph(QStringLiteral("menu_options"))),
                                      QStringLiteral("В режиме обучения и подготовки"));
    OptionsMenu->setObjectName(QStringLiteral("N2Items"));
    N2 = OptionsMenu->menuAction();
    N2->setObjectName(QStringLiteral("N2"));
    N5 = OptionsMenu->addAction(QStringLiteral("Показывать статистику"));
    N5->setObjectName(QStringLiteral("N5"));
    N6 = OptionsMenu->addAction(QStringLiteral("Перемешать варианты ответа"));
    N6->setObjectName(QStringLiteral("N6"));
    for (QAction *option : {N5, N6}) {
        option->setCheckable(true);
        option->setChecked(true);
    }
    connect(N5, &QAction::triggered, this, &TForm2::N5Click);
    connect(N6, &QAction::triggered, this, &TForm2::N6Click);

    const auto addCommand = [this](const char *name, const QString &caption, const QString &glyph,
                                   void (TForm2::*handler)()) {
        QAction *item = PopupMenu1->addAction(QIcon(ArtResources::glyph(glyph)), caption);
        item->setObjectName(QString::fromLatin1(name));
        connect(item, &QAction::triggered, this, handler);
        return item;
    };
    N3 = addCommand("N3", QStringLiteral("Обнулить результаты и статистику"),
                    QStringLiteral("menu_reset"), &TForm2::N3Click);
    N7 = addCommand("N7", QStringLiteral("Выбрать базу вопросов"), QStringLiteral("menu_database"),
                    &TForm2::N7Click);
    N4 = addCommand("N4", QStringLiteral("О программе"), QStringLiteral("menu_about"),
                    &TForm2::N4Click);
}

void TForm2::FormCreate()
{
    ProgramRandom::Randomize();
    FirstShowPending = true;

    SettingsStore::Startup startup;
    try {
        startup = m_settings->OpenSettings(
            m_paths.programFolder, m_paths.databaseFolders,
            [this](const SettingsStore::Startup &stored) {
                applyStoredSettings(stored.shuffle, stored.showStatistics, stored.timeCode);
            });
        m_launchCount = startup.launchCount;
    } catch (const SettingsError &e) {
        // The program still works without a writable store; the user learns
        // why nothing will be remembered.
        MessageBoxes::warning(this, Attention, e.message());
        N101->setChecked(true);
        m_examTimeLimit = 10 * 60;
    }
    if (!startup.repairedValues.isEmpty()) {
        qWarning("Settings %s were missing or damaged and were reset to their first-run values",
                 qPrintable(startup.repairedValues.join(QStringLiteral(", "))));
    }
    DatabasePath = startup.databasePath;

    if (!openStartupDatabase(startup.firstRun)) {
        fatalStop();
        return;
    }

    // "stat.dat" lives in one place for every run (see ProgramPaths), so
    // progress does not depend on the folder the program was started from.
    QDir::setCurrent(m_paths.progressFolder());
    try {
        LoadOrCreateStatistics(GlobalStatRecord(), storedLaunchCount());
    } catch (const StatisticsError &e) {
        MessageBoxes::warning(this, Attention, e.message());
        m_startupFailed = true;
    }
}

void TForm2::applyStoredSettings(int shuffle, int showStatistics, int timeCode)
{
    N6->setChecked(shuffle == 1);
    N5->setChecked(showStatistics == 1);
    QAction *const items[] = {N11, N31, N51, N101, N151, N201};
    if (timeCode >= 1 && timeCode <= SettingsStore::TimeCodeCount)
        items[timeCode - 1]->trigger(); // as if the user had chosen it
}

bool TForm2::openStartupDatabase(bool firstRun)
{
    if (!DatabasePath.isEmpty() && QFileInfo(DatabasePath).isFile()) {
        try {
            Label5->setText(openDatabase(DatabasePath));
            return true;
        } catch (const std::exception &) {
            MessageBoxes::warning(this, Attention, DamagedDatabase);
            try {
                m_settings->setDatabasePath(QString());
            } catch (const SettingsError &) {
                // The stop follows anyway; the next start asks again.
            }
            return false;
        }
    }

    MessageBoxes::warning(this, Attention, MissingDatabase);
    OpenDialog1->setDirectory(dialogStartFolder(firstRun));
    const QString chosen = FileDialogs::getOpenFileName(*OpenDialog1);
    if (chosen.isEmpty()) {
        MessageBoxes::warning(this, Attention, DatabaseFailure);
        return false;
    }
    const QFileInfo chosenFile(chosen);
    if (!chosenFile.isFile()) {
        MessageBoxes::warning(this, Attention, NoDataFile);
        return false;
    }
    try {
        Label5->setText(openDatabase(chosen));
    } catch (const std::exception &) {
        MessageBoxes::warning(this, Attention, DatabaseFailure);
        return false;
    }
    DatabasePath = QDir::toNativeSeparators(chosenFile.absoluteFilePath());
    try {
        m_settings->setDatabasePath(DatabasePath);
    } catch (const SettingsError &e) {
        MessageBoxes::warning(this, Attention, e.message());
    }
    return true;
}

void TForm2::fatalStop()
{
    try {
        m_settings->DecrementLaunchCount();
    } catch (const SettingsError &) {
        // Nothing more can be done about the counter; the program ends.
    }
    m_startupFailed = true;
}

QString TForm2::dialogStartFolder(bool firstRun) const
{
    if (firstRun)
        return m_paths.programFolder;
    // Later runs: the folder of the last database, else the home folder
    // (the current folder holds only the progress file).
    const QFileInfo last(DatabasePath);
    if (!DatabasePath.isEmpty() && last.dir().exists())
        return last.absolutePath();
    return QDir::homePath();
}

bool TForm2::showStatisticsChecked() const
{
    return N5->isChecked();
}

bool TForm2::shuffleAnswersChecked() const
{
    return N6->isChecked();
}

void TForm2::examWindowClosed()
{
    show();
}

void TForm2::setVisible(bool visible)
{
    // FormShow runs before the window appears, so the splash and the
    // reminder come first.
    if (visible && !isVisible() && !m_startupFailed)
        FormShow();
    QWidget::setVisible(visible);
}

void TForm2::FormShow()
{
    if (FirstShowPending) {
        const int launch = storedLaunchCount();
        if (launch == 1) {
            if (m_splash)
                m_splash->exec();
        } else if (launch >= 10 && launch <= 50 && launch % 10 == 0) {
            MessageBoxes::information(this, QString::fromUtf8(ProgramInfo::MessageCaption),
                                      reminderText());
        }
        FirstShowPending = false;
    }

    Label8->setText(QStringLiteral("Запуск №%1").arg(storedLaunchCount()));
    Label8->adjustSize();

    const StatRecord &record = GlobalStatRecord();
    for (int ticket = 1; ticket <= 40; ++ticket) {
        const int status = record.ticketStatus(ticket);
        ListView1->item(ticket - 1)->setIcon(ImageList1.value(status));
    }

    const double score = KnowledgeScore(record);
    const int index = KnowledgePictureIndex(score);
    if (m_pictures)
        Image1->setPixmap(QPixmap::fromImage(m_pictures->picture(index + 1)));

    ListView1->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    ListView1->setFocus();

    if (score >= 100.0) {
        if (!Timer1->isActive()) {
            Label6->hide();
            Timer1->start();
        }
    } else {
        Timer1->stop();
        Label6->hide();
    }
}

int TForm2::storedLaunchCount()
{
    try {
        m_launchCount = m_settings->launchCount();
    } catch (const SettingsError &) {
        // The value could not be repaired in the store; the count of this
        // run still stands.
    }
    return m_launchCount;
}

void TForm2::Timer1Timer()
{
    Label6->setVisible(!Label6->isVisible());
}

bool TForm2::startNeedsTicket(int &ticket)
{
    const QList<QListWidgetItem *> selected = ListView1->selectedItems();
    if (selected.isEmpty()) {
        MessageBoxes::information(this, QString::fromUtf8(ProgramInfo::MessageCaption),
                                  ChooseTicket);
        return false;
    }
    ticket = ListView1->row(selected.constFirst()) + 1;
    return true;
}

void TForm2::startAttempt(AttemptMode mode, int ticket)
{
    if (!m_examWindow)
        return;
    AttemptSetup setup;
    setup.mode = mode;
    setup.preparation = m_preparation;
    setup.ticket = ticket;
    setup.timeLimitSeconds = m_examTimeLimit;
    setup.shuffleVariants = shuffleAnswersChecked();
    m_examWindow->setAttempt(
        std::make_unique<ExamAttempt>(setup, GlobalQuestionDatabase(), GlobalStatRecord()));
    m_examWindow->move(pos());
    m_examWindow->show();
    hide();
}

void TForm2::BitBtn1Click()
{
    int ticket = 0;
    if (!startNeedsTicket(ticket))
        return;
    m_preparation = false;
    startAttempt(AttemptMode::Learning, ticket);
}

void TForm2::BitBtn4Click()
{
    const QList<QListWidgetItem *> selected = ListView1->selectedItems();
    m_preparation = true;
    startAttempt(AttemptMode::Learning,
                 selected.isEmpty() ? 0 : ListView1->row(selected.constFirst()) + 1);
}

void TForm2::BitBtn2Click()
{
    int ticket = 0;
    if (!startNeedsTicket(ticket))
        return;
    startAttempt(AttemptMode::Training, ticket);
}

void TForm2::BitBtn3Click()
{
    startAttempt(AttemptMode::Exam, ProgramRandom::Random(40) + 1);
}

void TForm2::popupMenuAt(const QPoint &globalPos)
{
    PopupMenu1->popup(globalPos);
}

void TForm2::SpeedButton1Click()
{
    popupMenuAt(QCursor::pos() - QPoint(0, 30));
}

void TForm2::SpeedButton2Click()
{
    if (m_statisticsWindow)
        m_statisticsWindow->exec();
}

void TForm2::SpeedButton3Click()
{
    Help::showTopic(this, QStringLiteral("glavn"));
}

void TForm2::timeItemChosen(int code)
{
    // The check mark was already flipped by the menu.
    static constexpr int Minutes[] = {1, 3, 5, 10, 15, 20};
    m_examTimeLimit = Minutes[code - 1] * 60;
    m_settings->setTimeCode(code);
}

void TForm2::N11Click()
{
    timeItemChosen(1);
}

void TForm2::N31Click()
{
    timeItemChosen(2);
}

void TForm2::N51Click()
{
    timeItemChosen(3);
}

void TForm2::N101Click()
{
    timeItemChosen(4);
}

void TForm2::N151Click()
{
    timeItemChosen(5);
}

void TForm2::N201Click()
{
    timeItemChosen(6);
}

void TForm2::N5Click()
{
    m_settings->setShowStatistics(N5->isChecked());
}

void TForm2::N6Click()
{
    m_settings->setShuffle(N6->isChecked());
}

void TForm2::N3Click()
{
    if (MessageBoxes::question(this, Attention, ResetQuestion) != QMessageBox::Yes)
        return;
    ResetStatistics(GlobalStatRecord());
    FormShow();
}

void TForm2::N7Click()
{
    OpenDialog1->setDirectory(dialogStartFolder(false));
    const QString chosen = FileDialogs::getOpenFileName(*OpenDialog1);
    if (chosen.isEmpty())
        return;
    const QFileInfo chosenFile(chosen);
    if (!chosenFile.isFile()) {
        MessageBoxes::warning(this, Attention, NoDataFile);
        return;
    }
    QuestionDatabase &database = GlobalQuestionDatabase();
    const QString previous = DatabasePath;
    try {
        if (database.isOpen())
            database.CloseDatabase();
        Label5->setText(openDatabase(chosen));
        DatabasePath = QDir::toNativeSeparators(chosenFile.absoluteFilePath());
        m_settings->setDatabasePath(DatabasePath);
    } catch (const std::exception &) {
        MessageBoxes::warning(this, Attention, SwitchFailure);
        // Go back to the database that was open, so that attempts keep
        // working until the user picks a good one.
        if (!database.isOpen() && !previous.isEmpty()) {
            try {
                Label5->setText(openDatabase(previous));
            } catch (const std::exception &) {
                Label5->clear();
            }
        }
    }
}

void TForm2::N4Click()
{
    if (m_about)
        m_about->exec();
}

void TForm2::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closed();
}

void TForm2::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        const QWidget *focused = focusWidget();
        const int context = focused ? focused->property(HelpContextProperty).toInt() : 0;
        if (context != 0)
            Help::showContext(this, context);
        else
            Help::showTopic(this, QStringLiteral("glavn"));
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TForm2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListView1->viewport()) {
        if (event->type() == QEvent::MouseMove) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const bool overItem = ListView1->indexAt(mouse->position().toPoint()).isValid();
            ListView1->viewport()->setCursor(overItem ? Qt::PointingHandCursor : Qt::ArrowCursor);
        } else if (event->type() == QEvent::MouseButtonPress) {
            // A click on an empty part of the list leaves no ticket selected.
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (!ListView1->indexAt(mouse->position().toPoint()).isValid())
                ListView1->clearSelection();
        }
    }
    return QWidget::eventFilter(watched, event);
}
