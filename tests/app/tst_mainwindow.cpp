#include "aboutwindow.h"
#include "appsandbox.h"
#include "fakewindows.h"
#include "filedialogs.h"
#include "help.h"
#include "knowledgegauge.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "programrandom.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "referencefile.h"
#include "referencewindow.h"
#include "scaleatstartup.h"
#include "smallfilesystem.h"
#include "splashwindow.h"
#include "statisticsfile.h"
#include "statrecord.h"
#include "syntheticdatabase.h"
#include "ticketstatus.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

const QString Missing = QStringLiteral("Отсутствует база вопросов, укажите ее местоположение! ");
const QString Failure = QStringLiteral("Сбой базы вопросов, переустановите базу данных! ");
const QString NoFile = QStringLiteral("Нет файла с данными! Переустановите базу данных! ");
const QString Damaged = QStringLiteral("Файл с данными поврежден! Переустановите базу данных! ");
const QString SwitchFailure =
    QStringLiteral("Сбой базы вопросов, необходимо выбрать другую базу! ");
const QString ChooseTicket =
    QStringLiteral("Для работы в этом режиме необходимо выбрать билет из каталога...");
const QString Reminder = QStringLiteral("ЗЕЛТРАК ПДД ZOZAV 2007");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList shownTexts()
{
    QStringList texts;
    for (const MessageBoxes::Shown &box : MessageBoxes::shown())
        texts << box.text;
    return texts;
}

QImage comparable(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

// The main window against a sandboxed program folder and settings file, with
// the real picture holder, splash and About windows and stand-ins for the
// exam and statistics windows.
class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startup_data();
    void startup();
    void startup_damagedStatistics_stopsWithoutTakingBackTheLaunch();
    void startup_settingsNotWritable_stillStartsAndTellsWhy();
    void startup_progressFolder_data();
    void startup_progressFolder();
    void startup_readOnlyProgramFolder_carriesProgressOverOnce();
    void startup_fullDisk_keepsProgressAndGoesOn();
    void startup_bothWritesRefused_toldInOrderBeforeTheWindowShows();
    void startup_storedMarks_data();
    void startup_storedMarks();

    void firstShow_data();
    void firstShow();
    void catalogue_iconsAndKnowledgePicture_followStatuses();
    void blinking_startsAtFullScore_andResetStopsIt();
    void reset_answeredNo_changesNothing();
    void attemptLoop_returnsAndRefreshes();

    void modeButtons_data();
    void modeButtons();
    void helpKeys_data();
    void helpKeys();
    void statisticsButton_opensModalWindow();

    void timeItems_data();
    void timeItems();
    void optionItems_flipAndStore();
    void timeChoice_survivesRestart();
    void popupMenu_opensAboveCursor_andOnRightClick();
    void menuAndButtons_everyOneNamedInTheHelp();
    void reference_ctrlR_showsTheDatabasesReference_orWhereOneComesFrom();

    void scaleMenu_storesTheChoice_andOffersARestart();

    void databaseSwitch_data();
    void databaseSwitch();
    void databaseSwitch_failedThenGood();

private:
    bool startProgram();
    // A later run (Kol = kol before this launch) with a database in the
    // program folder.
    void prepareLaterRun(int kol);
    void showMain();
    QString sb(QString text) const;
    template <typename T> T *child(const char *name) const
    {
        T *found = m_mainWindow->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qWarning("no child %s", name);
        return found;
    }
    void clickTicket(int row);
    void clickEmptyCatalogue();
    QString shownTitle() const { return child<QLabel>("Label5")->text(); }

    std::unique_ptr<AppSandbox> m_sandbox;
    QStringList m_failingPaths;
    bool m_splashShown = false;

    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<FakeExamWindow> m_examWindow;
    std::unique_ptr<KnowledgeGauge> m_gauge;
    std::unique_ptr<FakeStatisticsWindow> m_statisticsWindow;
    std::unique_ptr<SplashWindow> m_splash;
    std::unique_ptr<AboutWindow> m_about;
};

void TestMainWindow::init()
{
    m_sandbox = std::make_unique<AppSandbox>();
    QVERIFY(m_sandbox->isValid());
    // Every box is answered; the tests look at what was shown.
    MessageBoxes::setNextAnswers(QList<MessageBoxes::Button>(10, QMessageBox::Ok));
    MessageBoxes::clearShown();
    Help::clearRequests();
    ProgramRandom::clearScript();
    globalStatRecord() = StatRecord();
    m_failingPaths.clear();
    m_splashShown = false;
    MainWindow::setDatabaseOpener([this](const QString &path) {
        if (m_failingPaths.contains(path)) {
            globalQuestionDatabase().closeDatabase();
            throw QuestionBankError(QStringLiteral("не читается"));
        }
        return globalQuestionDatabase().openDatabase(path);
    });
}

void TestMainWindow::cleanup()
{
    m_about.reset();
    m_splash.reset();
    m_statisticsWindow.reset();
    m_gauge.reset();
    m_examWindow.reset();
    m_mainWindow.reset();
    MainWindow::setDatabaseOpener({});
    m_sandbox.reset();
}

QString TestMainWindow::sb(QString text) const
{
    return text.replace(QStringLiteral("$SB/"), m_sandbox->path(QString()) + QLatin1Char('/'));
}

bool TestMainWindow::startProgram()
{
    m_mainWindow = std::make_unique<MainWindow>(m_sandbox->paths);
    if (m_mainWindow->startupFailed())
        return false;
    m_examWindow = std::make_unique<FakeExamWindow>(m_mainWindow.get(), m_mainWindow.get());
    m_gauge = std::make_unique<KnowledgeGauge>();
    m_statisticsWindow = std::make_unique<FakeStatisticsWindow>();
    m_splash = std::make_unique<SplashWindow>();
    m_about = std::make_unique<AboutWindow>();
    m_mainWindow->setCompanions(m_examWindow.get(), m_gauge.get(), m_statisticsWindow.get(),
                                m_splash.get(), m_about.get());
    return true;
}

void TestMainWindow::prepareLaterRun(int kol)
{
    const QString db = m_sandbox->writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    m_sandbox->writeSettings(
        QStringLiteral("Kol=%1\nRnd=1\nSta=1\nTim=4\nBas=%2").arg(kol).arg(db));
}

void TestMainWindow::showMain()
{
    // The splash, when it comes, is closed by a click on its start area.
    QTimer closer;
    closer.setInterval(0);
    connect(&closer, &QTimer::timeout, this, [this, &closer] {
        if (auto *splash = qobject_cast<SplashWindow *>(QApplication::activeModalWidget())) {
            m_splashShown = true;
            closer.stop();
            QLabel *area = splash->findChild<QLabel *>(QStringLiteral("Image2"));
            QTest::mouseClick(area, Qt::LeftButton, {}, area->rect().center());
        }
    });
    closer.start();
    m_mainWindow->show();
    closer.stop();
}

void TestMainWindow::clickTicket(int row)
{
    auto *list = child<QListWidget>("ListView1");
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void TestMainWindow::clickEmptyCatalogue()
{
    auto *list = child<QListWidget>("ListView1");
    const QPoint empty(list->viewport()->width() - 2, list->viewport()->height() - 2);
    QVERIFY(!list->indexAt(empty).isValid());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, empty);
}

void TestMainWindow::startup_data()
{
    QTest::addColumn<QString>("settings"); // null: no key (first run)
    QTest::addColumn<QStringList>("databases");
    QTest::addColumn<QStringList>("failing");
    QTest::addColumn<QString>("dialogAnswer"); // null: no dialogue expected, "": cancel
    QTest::addColumn<QString>("dialogFolder");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("stops");
    QTest::addColumn<QString>("kol");
    QTest::addColumn<QString>("bas");
    QTest::addColumn<QString>("title");

    const QString later = QStringLiteral("Kol=4\nRnd=1\nSta=1\nTim=4\nBas=");
    QTest::newRow("first run, database next to the program")
        << QString() << QStringList{"program/dataAB.dbv"} << QStringList() << QString() << QString()
        << QStringList() << false << "1"
        << "$SB/program/dataAB.dbv"
        << "База dataAB.dbv";
    QTest::newRow("first run, installed database")
        << QString() << QStringList{"share/dataCD.dbv"} << QStringList() << QString() << QString()
        << QStringList() << false << "1"
        << "$SB/share/dataCD.dbv"
        << "База dataCD.dbv";
    QTest::newRow("first run, none found, user picks one")
        << QString() << QStringList{"elsewhere/my.dbv"} << QStringList() << "$SB/elsewhere/my.dbv"
        << "$SB/program" << QStringList{Missing} << false << "1"
        << "$SB/elsewhere/my.dbv"
        << "База my.dbv";
    QTest::newRow("first run, dialogue cancelled")
        << QString() << QStringList() << QStringList() << ""
        << "$SB/program" << QStringList{Missing, Failure} << true << "0"
        << "" << QString();
    QTest::newRow("later run opens the stored database")
        << later + "$SB/elsewhere/my.dbv" << QStringList{"elsewhere/my.dbv"} << QStringList()
        << QString() << QString() << QStringList() << false << "5"
        << "$SB/elsewhere/my.dbv"
        << "База my.dbv";
    QTest::newRow("later run after a failed first run")
        << "Kol=0\nRnd=1\nSta=1\nTim=4\nBas=$SB/elsewhere/my.dbv" << QStringList{"elsewhere/my.dbv"}
        << QStringList() << QString() << QString() << QStringList() << false << "1"
        << "$SB/elsewhere/my.dbv"
        << "База my.dbv";
    QTest::newRow("later run does not search the program folder")
        << later << QStringList{"program/dataAB.dbv"} << QStringList() << ""
        << "<home>" << QStringList{Missing, Failure} << true << "4"
        << "" << QString();
    QTest::newRow("stale database, chosen file missing")
        << later + "$SB/gone/old.dbv" << QStringList() << QStringList() << "$SB/gone/new.dbv"
        << "<home>" << QStringList{Missing, NoFile} << true << "4"
        << "$SB/gone/old.dbv" << QString();
    QTest::newRow("stale database, user picks one; dialogue starts in its folder")
        << later + "$SB/elsewhere/old.dbv" << QStringList{"elsewhere/my.dbv"} << QStringList()
        << "$SB/elsewhere/my.dbv"
        << "$SB/elsewhere" << QStringList{Missing} << false << "5"
        << "$SB/elsewhere/my.dbv"
        << "База my.dbv";
    QTest::newRow("stored database damaged: Bas cleared")
        << later + "$SB/elsewhere/bad.dbv" << QStringList{"elsewhere/bad.dbv"}
        << QStringList{"elsewhere/bad.dbv"} << QString() << QString() << QStringList{Damaged}
        << true << "4"
        << "" << QString();
    QTest::newRow("chosen database damaged: Bas untouched")
        << later + "$SB/gone/old.dbv" << QStringList{"elsewhere/bad.dbv"}
        << QStringList{"elsewhere/bad.dbv"} << "$SB/elsewhere/bad.dbv"
        << "<home>" << QStringList{Missing, Failure} << true << "4"
        << "$SB/gone/old.dbv" << QString();
}

void TestMainWindow::startup()
{
    QFETCH(QString, settings);
    QFETCH(QStringList, databases);
    QFETCH(QStringList, failing);
    QFETCH(QString, dialogAnswer);
    QFETCH(QString, dialogFolder);
    QFETCH(QStringList, messages);
    QFETCH(bool, stops);
    QFETCH(QString, kol);
    QFETCH(QString, bas);
    QFETCH(QString, title);

    if (!settings.isNull())
        m_sandbox->writeSettings(sb(settings));
    for (const QString &db : databases)
        QVERIFY(!m_sandbox->writeDatabase(db, QStringLiteral("База ") + QFileInfo(db).fileName())
                     .isEmpty());
    for (const QString &path : failing)
        m_failingPaths << m_sandbox->path(path);
    if (!dialogAnswer.isNull())
        FileDialogs::setNextFileName(sb(dialogAnswer));

    QCOMPARE(startProgram(), !stops);

    QCOMPARE(shownTexts(), messages);
    for (const MessageBoxes::Shown &box : MessageBoxes::shown()) {
        QCOMPARE(box.caption, QStringLiteral("Внимание!"));
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.owner.data(), m_mainWindow.get());
    }
    if (!dialogAnswer.isNull()) {
        const auto &request = FileDialogs::lastRequest();
        QVERIFY(request);
        QCOMPARE(request->objectName, QStringLiteral("OpenDialog1"));
        QCOMPARE(request->title, QStringLiteral("Открыть базу вопросов"));
        QCOMPARE(request->filter, QStringLiteral("База вопросов (*.dbv)"));
        const QString folder =
            dialogFolder == QLatin1String("<home>") ? QDir::homePath() : sb(dialogFolder);
        QCOMPARE(QDir(request->directory).canonicalPath(), QDir(folder).canonicalPath());
    }
    QCOMPARE(m_sandbox->stored(QStringLiteral("Kol")), kol);
    QCOMPARE(m_sandbox->stored(QStringLiteral("Bas")), sb(bas));
    // A stop writes nothing else: no progress file.
    QCOMPARE(QFile::exists(m_sandbox->statisticsFile()), !stops);
    if (!stops) {
        QCOMPARE(shownTitle(), title);
        QCOMPARE(m_mainWindow->databasePath(), sb(bas));
        QCOMPARE(globalQuestionDatabase().title(), title);
    }
}

void TestMainWindow::startup_damagedStatistics_stopsWithoutTakingBackTheLaunch()
{
    const QString db = m_sandbox->writeDatabase(QStringLiteral("elsewhere/my.dbv"), "База");
    m_sandbox->writeSettings(QStringLiteral("Kol=7\nRnd=1\nSta=1\nTim=4\nBas=") + db);
    QFile stat(m_sandbox->statisticsFile());
    QVERIFY(stat.open(QIODevice::WriteOnly));
    stat.write(QByteArray(1000, '\1'));
    stat.close();

    QVERIFY(!startProgram());
    QCOMPARE(shownTexts().size(), 1);
    QCOMPARE(shownTexts()[0].section(QStringLiteral("\n\n"), 0, 0),
             QStringLiteral("Нарушение защиты! Программа повреждена! "));
    QCOMPARE(m_sandbox->stored(QStringLiteral("Kol")), QStringLiteral("8"));
    QCOMPARE(QFileInfo(m_sandbox->statisticsFile()).size(), 1000); // left as it was
}

void TestMainWindow::startup_settingsNotWritable_stillStartsAndTellsWhy()
{
    // A file stands where the settings folder should be.
    QFile blocker(m_sandbox->path(QStringLiteral("blocked")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    m_sandbox->paths.settingsLocation =
        m_sandbox->path(QStringLiteral("blocked/Microsoft/Kiv.conf"));
    const QString db = m_sandbox->writeDatabase(QStringLiteral("elsewhere/my.dbv"), "База");
    FileDialogs::setNextFileName(db);

    QVERIFY(startProgram());
    const QStringList texts = shownTexts();
    QCOMPARE(texts.size(), 2); // settings (once), no database
    QVERIFY(texts[0].contains(QStringLiteral("Не удалось сохранить настройки")));
    QCOMPARE(texts[1], Missing);
    QCOMPARE(shownTitle(), QStringLiteral("База"));
    QVERIFY(child<QAction>("N101")->isChecked());
    QCOMPARE(m_mainWindow->examTimeLimit(), 600);
    QVERIFY(QFile::exists(m_sandbox->statisticsFile()));
    showMain(); // no crash when the counter cannot be read back
    QVERIFY(m_mainWindow->isVisible());
}

void TestMainWindow::startup_progressFolder_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("programFolderExists");
    QTest::addColumn<QString>("folder");
    QTest::newRow("build or unpacked folder") << false << true << "program";
    QTest::newRow("installed") << true << true << "userdata";
    QTest::newRow("program folder unusable") << false << false << "userdata";
}

void TestMainWindow::startup_progressFolder()
{
    QFETCH(bool, installed);
    QFETCH(bool, programFolderExists);
    QFETCH(QString, folder);
    m_sandbox->writeDatabase(QStringLiteral("share/dataAB.dbv"), "База");
    m_sandbox->paths.installed = installed;
    if (!programFolderExists)
        m_sandbox->paths.programFolder = m_sandbox->path(QStringLiteral("not-there"));
    QDir().rmdir(m_sandbox->paths.dataFolder); // created on demand
    QVERIFY(startProgram());
    const QString progress = QDir(m_sandbox->path(folder)).filePath(QStringLiteral("stat.dat"));
    QCOMPARE(QFileInfo(progress).size(), qint64(StatRecord::Size));

    // Started again from anywhere, the program finds the same progress.
    globalStatRecord().setTicketStatus(9, 1);
    saveStatistics(globalStatRecord());
    m_mainWindow.reset();
    globalStatRecord() = StatRecord();
    QDir::setCurrent(m_sandbox->path(QStringLiteral("share")));
    QVERIFY(startProgram());
    QCOMPARE(globalStatRecord().ticketStatus(9), 1);
    QCOMPARE(QFileInfo(progress).size(), qint64(StatRecord::Size));
}

void TestMainWindow::startup_readOnlyProgramFolder_carriesProgressOverOnce()
{
    // Root writes through file permissions; a read-only mount stops anyone.
    SmallFileSystem disk;
    if (disk.isMounted())
        m_sandbox->paths.programFolder = disk.filePath(QString());
    const QString db = m_sandbox->writeDatabase(QStringLiteral("elsewhere/my.dbv"), "База");
    m_sandbox->writeSettings(QStringLiteral("Kol=30\nRnd=1\nSta=1\nTim=4\nBas=") + db);
    StatRecord passed;
    for (int ticket = 1; ticket <= 20; ++ticket)
        passed.setTicketStatus(ticket, TicketStatus::ExamPassed);
    const QString original = m_sandbox->statisticsFile();
    {
        QFile stat(original);
        QVERIFY(stat.open(QIODevice::WriteOnly));
        stat.write(passed.toBytes());
    }
    if (disk.isMounted())
        QVERIFY(disk.makeReadOnly());
    else
        QFile::setPermissions(m_sandbox->paths.programFolder, QFile::ReadOwner | QFile::ExeOwner);
    QVERIFY(!QFileInfo(m_sandbox->paths.programFolder).isWritable());

    QVERIFY(startProgram());
    QCOMPARE(globalStatRecord().ticketStatus(20), int(TicketStatus::ExamPassed));
    QCOMPARE(MessageBoxes::shown().size(), 1);
    QVERIFY2(MessageBoxes::shown()[0].text.contains(QStringLiteral("скопированы")),
             qPrintable(MessageBoxes::shown()[0].text));
    const QString copy = QDir(m_sandbox->paths.dataFolder).filePath(QStringLiteral("stat.dat"));
    QCOMPARE(StatRecord::fromBytes(readAll(copy)).ticketStatus(20), int(TicketStatus::ExamPassed));
    QCOMPARE(readAll(original), passed.toBytes()); // copied, never moved or changed

    // Said once: the next start simply uses the copy.
    m_mainWindow.reset();
    globalStatRecord() = StatRecord();
    MessageBoxes::clearShown();
    QVERIFY(startProgram());
    QCOMPARE(shownTexts(), QStringList());
    QCOMPARE(globalStatRecord().ticketStatus(20), int(TicketStatus::ExamPassed));
    if (!disk.isMounted())
        QFile::setPermissions(m_sandbox->paths.programFolder,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestMainWindow::startup_fullDisk_keepsProgressAndGoesOn()
{
    SmallFileSystem disk;
    if (!disk.isMounted())
        QSKIP(qPrintable(disk.skipReason()));
    m_sandbox->paths.programFolder = disk.filePath(QString());
    const QString db = m_sandbox->writeDatabase(QStringLiteral("elsewhere/my.dbv"), "База");
    m_sandbox->writeSettings(QStringLiteral("Kol=30\nRnd=1\nSta=1\nTim=4\nBas=") + db);
    StatRecord progress;
    progress.setTicketStatus(7, TicketStatus::TrainingPassed);
    {
        QFile stat(m_sandbox->statisticsFile());
        QVERIFY(stat.open(QIODevice::WriteOnly));
        stat.write(progress.toBytes());
    }
    disk.fill();

    QVERIFY(startProgram());
    const QStringList texts = shownTexts();
    QCOMPARE(texts.size(), 1);
    QVERIFY2(texts[0].contains(QStringLiteral("не осталось свободного места")),
             qPrintable(texts[0]));
    QCOMPARE(globalStatRecord().ticketStatus(7), int(TicketStatus::TrainingPassed));
    QCOMPARE(readAll(m_sandbox->statisticsFile()), progress.toBytes());
}

void TestMainWindow::startup_bothWritesRefused_toldInOrderBeforeTheWindowShows()
{
    SmallFileSystem settingsDisk;
    SmallFileSystem progressDisk;
    if (!settingsDisk.isMounted() || !progressDisk.isMounted())
        QSKIP(qPrintable(settingsDisk.skipReason()));
    m_sandbox->paths.settingsLocation = settingsDisk.filePath(QStringLiteral("Kiv.conf"));
    m_sandbox->paths.programFolder = progressDisk.filePath(QString());
    const QString db = m_sandbox->writeDatabase(QStringLiteral("elsewhere/my.dbv"), "База");
    m_sandbox->writeSettings(QStringLiteral("Kol=30\nRnd=1\nSta=1\nTim=4\nBas=") + db);
    QVERIFY(settingsDisk.makeReadOnly());
    StatRecord progress;
    progress.setTicketStatus(7, TicketStatus::TrainingPassed);
    {
        QFile stat(m_sandbox->statisticsFile());
        QVERIFY(stat.open(QIODevice::WriteOnly));
        stat.write(progress.toBytes());
    }
    progressDisk.fill();

    QVERIFY(startProgram());
    // Both told by the window being built, settings first, before it shows.
    const QStringList texts = shownTexts();
    QCOMPARE(texts.size(), 2);
    QVERIFY2(texts[0].contains(QStringLiteral("Не удалось сохранить настройки")),
             qPrintable(texts[0]));
    QVERIFY2(texts[1].contains(QStringLiteral("не осталось свободного места")),
             qPrintable(texts[1]));
    for (const MessageBoxes::Shown &box : MessageBoxes::shown())
        QCOMPARE(box.owner.data(), m_mainWindow.get());
    QVERIFY(!m_mainWindow->isVisible());
    QCOMPARE(shownTitle(), QStringLiteral("База"));
    showMain();
    QVERIFY(m_mainWindow->isVisible());
    QCOMPARE(shownTexts().size(), 2);
    QCOMPARE(globalStatRecord().ticketStatus(7), int(TicketStatus::TrainingPassed));
    QCOMPARE(readAll(m_sandbox->statisticsFile()), progress.toBytes());
}

void TestMainWindow::startup_storedMarks_data()
{
    QTest::addColumn<QString>("values");
    QTest::addColumn<bool>("shuffle");
    QTest::addColumn<bool>("statistics");
    QTest::addColumn<QString>("timeItem");
    QTest::addColumn<int>("limit");

    QTest::newRow("first-run values") << "Rnd=1\nSta=1\nTim=4" << true << true << "N101" << 600;
    QTest::newRow("Rnd 2 unchecks") << "Rnd=2\nSta=1\nTim=1" << false << true << "N11" << 60;
    QTest::newRow("Sta 0, 20 minutes") << "Rnd=1\nSta=0\nTim=6" << true << false << "N201" << 1200;
    QTest::newRow("Tim 0: no time item") << "Rnd=0\nSta=0\nTim=0" << false << false << "" << 0;
    QTest::newRow("Tim 7: no time item") << "Rnd=1\nSta=1\nTim=7" << true << true << "" << 0;
}

void TestMainWindow::startup_storedMarks()
{
    QFETCH(QString, values);
    QFETCH(bool, shuffle);
    QFETCH(bool, statistics);
    QFETCH(QString, timeItem);
    QFETCH(int, limit);
    const QString db = m_sandbox->writeDatabase(QStringLiteral("my.dbv"), "База");
    m_sandbox->writeSettings(QStringLiteral("Kol=3\nBas=%1\n").arg(db) + values);

    QVERIFY(startProgram());
    QCOMPARE(child<QAction>("N6")->isChecked(), shuffle);
    QCOMPARE(child<QAction>("N5")->isChecked(), statistics);
    QCOMPARE(m_mainWindow->shuffleAnswersChecked(), shuffle);
    QCOMPARE(m_mainWindow->showStatisticsChecked(), statistics);
    for (const char *name : {"N11", "N31", "N51", "N101", "N151", "N201"})
        QCOMPARE(child<QAction>(name)->isChecked(), timeItem == QLatin1String(name));
    QCOMPARE(m_mainWindow->examTimeLimit(), limit);
}

void TestMainWindow::firstShow_data()
{
    QTest::addColumn<QString>("kol"); // null: first run
    QTest::addColumn<bool>("splash");
    QTest::addColumn<bool>("reminder");
    QTest::addColumn<QString>("label");

    QTest::newRow("first run") << QString() << true << false << "Запуск №1";
    QTest::newRow("after a failed first run") << "0" << true << false << "Запуск №1";
    QTest::newRow("second") << "1" << false << false << "Запуск №2";
    QTest::newRow("10th") << "9" << false << true << "Запуск №10";
    QTest::newRow("11th") << "10" << false << false << "Запуск №11";
    QTest::newRow("20th") << "19" << false << true << "Запуск №20";
    QTest::newRow("50th") << "49" << false << true << "Запуск №50";
    QTest::newRow("60th") << "59" << false << false << "Запуск №60";
}

void TestMainWindow::firstShow()
{
    QFETCH(QString, kol);
    QFETCH(bool, splash);
    QFETCH(bool, reminder);
    QFETCH(QString, label);
    const QString db = m_sandbox->writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    if (!kol.isNull())
        m_sandbox->writeSettings(
            QStringLiteral("Kol=%1\nRnd=1\nSta=1\nTim=4\nBas=%2").arg(kol, db));
    QVERIFY(startProgram());
    MessageBoxes::setNextAnswers({QMessageBox::Ok});

    showMain();
    QCOMPARE(m_splashShown, splash);
    QVERIFY(!m_splash->isVisible());
    QCOMPARE(MessageBoxes::shown().size(), reminder ? 1 : 0);
    if (reminder) {
        const MessageBoxes::Shown &box = MessageBoxes::shown().constFirst();
        QCOMPARE(box.caption, Reminder);
        QCOMPARE(box.icon, QMessageBox::Information);
        QVERIFY(box.text.contains(QStringLiteral("zeltrak.example.org")));
    }
    QCOMPARE(child<QLabel>("Label8")->text(), label);

    // Showing again (back from an attempt) shows neither, but reads the
    // counter anew.
    m_splashShown = false;
    m_mainWindow->hide();
    QSettings(m_sandbox->paths.settingsLocation, QSettings::IniFormat)
        .setValue(QStringLiteral("Kol"), 10);
    showMain();
    QVERIFY(!m_splashShown);
    QCOMPARE(MessageBoxes::shown().size(), reminder ? 1 : 0);
    QCOMPARE(child<QLabel>("Label8")->text(), QStringLiteral("Запуск №10"));
}

void TestMainWindow::catalogue_iconsAndKnowledgePicture_followStatuses()
{
    prepareLaterRun(1);
    // Five exams passed (12.5: picture 3) and one of each other status.
    StatRecord record;
    for (int t = 1; t <= 5; ++t)
        record.setTicketStatus(t, 1);
    record.setTicketStatus(6, 2);
    record.setTicketStatus(7, 3);
    record.setTicketStatus(8, 4);
    record.setTicketStatus(9, 7); // unknown code: no icon
    record.setTicketStatus(10, 3);
    record.setTicketStatus(11, 1);
    record.setTicketStatus(12, 1);
    // sum = 7 - 2 + 0.4 = 5.4 -> 13.5 -> 2.7 -> picture 4
    QFile stat(m_sandbox->statisticsFile());
    QVERIFY(stat.open(QIODevice::WriteOnly));
    stat.write(record.toBytes());
    stat.close();

    QVERIFY(startProgram());
    showMain();
    auto *list = child<QListWidget>("ListView1");
    QCOMPARE(list->count(), 40);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Билет №01"));
    QCOMPARE(list->item(39)->text(), QStringLiteral("Билет №40"));
    const QList<QIcon> &icons = m_mainWindow->statusIcons();
    QCOMPARE(icons.size(), 5);
    for (int t = 1; t <= 40; ++t) {
        const int status = record.ticketStatus(t);
        const QIcon icon = list->item(t - 1)->icon();
        if (status > 4) {
            QVERIFY(icon.isNull());
            continue;
        }
        QCOMPARE(comparable(icon.pixmap(16).toImage()),
                 comparable(icons[status].pixmap(16).toImage()));
    }
    QCOMPARE(comparable(child<QLabel>("Image1")->pixmap().toImage()),
             comparable(m_gauge->picture(4)));
    QCOMPARE(list->selectedItems(), QList<QListWidgetItem *>{list->item(0)});
    QVERIFY(!child<QTimer>("Timer1")->isActive());
}

void TestMainWindow::blinking_startsAtFullScore_andResetStopsIt()
{
    prepareLaterRun(1);
    StatRecord record;
    for (int t = 1; t <= 40; ++t)
        record.setTicketStatus(t, 1);
    QFile stat(m_sandbox->statisticsFile());
    QVERIFY(stat.open(QIODevice::WriteOnly));
    stat.write(record.toBytes());
    stat.close();

    QVERIFY(startProgram());
    showMain();
    auto *timer = child<QTimer>("Timer1");
    auto *label = child<QLabel>("Label6");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 100);
    QVERIFY(!label->isVisible());
    m_mainWindow->onBlinkTick();
    QVERIFY(label->isVisible());
    m_mainWindow->onBlinkTick();
    QVERIFY(!label->isVisible());
    m_mainWindow->onBlinkTick();
    QCOMPARE(comparable(child<QLabel>("Image1")->pixmap().toImage()),
             comparable(m_gauge->picture(21)));

    MessageBoxes::setNextAnswers({QMessageBox::Yes});
    child<QAction>("N3")->trigger();
    const MessageBoxes::Shown &box = MessageBoxes::shown().constLast();
    QCOMPARE(box.text, QStringLiteral("Вы действительно хотите обнулить результаты и статистику?"));
    QCOMPARE(box.caption, QStringLiteral("Внимание!"));
    QCOMPARE(box.icon, QMessageBox::Question);
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);

    QVERIFY(!timer->isActive());
    QVERIFY(!label->isVisible());
    QCOMPARE(comparable(child<QLabel>("Image1")->pixmap().toImage()),
             comparable(m_gauge->picture(1)));
    QCOMPARE(comparable(child<QListWidget>("ListView1")->item(17)->icon().pixmap(16).toImage()),
             comparable(m_mainWindow->statusIcons()[0].pixmap(16).toImage()));
    QVERIFY(!m_splashShown);
    // The reset reached the file, and the launch-counter copy stayed.
    QFile saved(m_sandbox->statisticsFile());
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const StatRecord onDisk = StatRecord::fromBytes(saved.read(StatRecord::Size));
    QCOMPARE(onDisk.ticketStatus(40), 0);
    QCOMPARE(onDisk.launchCount(), 2);
}

void TestMainWindow::reset_answeredNo_changesNothing()
{
    prepareLaterRun(1);
    QVERIFY(startProgram());
    globalStatRecord().setTicketStatus(3, 1);
    globalStatRecord().addCorrect(3, 4, 0);
    saveStatistics(globalStatRecord());
    const StatRecord before = globalStatRecord();
    QFile file(m_sandbox->statisticsFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytesBefore = file.readAll();
    file.close();

    MessageBoxes::setNextAnswers({QMessageBox::No});
    child<QAction>("N3")->trigger();
    QCOMPARE(MessageBoxes::shown().size(), 1);
    QVERIFY(globalStatRecord() == before);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytesBefore);
}

void TestMainWindow::attemptLoop_returnsAndRefreshes()
{
    prepareLaterRun(9);
    QVERIFY(startProgram());
    globalStatRecord().setTicketStatus(1, 1);
    globalStatRecord().setTicketStatus(2, 1);        // 5.0: picture 2
    MessageBoxes::setNextAnswers({QMessageBox::Ok}); // the 10th launch's reminder
    showMain();
    QCOMPARE(comparable(child<QLabel>("Image1")->pixmap().toImage()),
             comparable(m_gauge->picture(2)));

    m_examWindow->resultStatus = 1;
    clickTicket(6);
    QTest::mouseClick(child<QPushButton>("BitBtn2"), Qt::LeftButton);
    QCOMPARE(m_examWindow->starts.size(), 1);
    QCOMPARE(m_examWindow->starts[0].ticket, 7);
    QVERIFY(!m_mainWindow->isVisible()); // hidden while the attempt runs
    QTRY_VERIFY(m_mainWindow->isVisible());
    QVERIFY(!m_examWindow->isVisible());

    auto *list = child<QListWidget>("ListView1");
    QCOMPARE(comparable(list->item(6)->icon().pixmap(16).toImage()),
             comparable(m_mainWindow->statusIcons()[1].pixmap(16).toImage()));
    // Three exams passed: 7.5 rounds to picture 3.
    QCOMPARE(comparable(child<QLabel>("Image1")->pixmap().toImage()),
             comparable(m_gauge->picture(3)));
    QCOMPARE(list->selectedItems(), QList<QListWidgetItem *>{list->item(0)});
    QCOMPARE(MessageBoxes::shown().size(), 1); // no second reminder
    QVERIFY(!m_splashShown);

    // A failed exam on a random ticket pulls the score down to 0.
    m_examWindow->resultStatus = 2;
    ProgramRandom::setScript({3});
    QTest::mouseClick(child<QPushButton>("BitBtn3"), Qt::LeftButton);
    QTRY_VERIFY(m_mainWindow->isVisible());
    QCOMPARE(comparable(list->item(3)->icon().pixmap(16).toImage()),
             comparable(m_mainWindow->statusIcons()[2].pixmap(16).toImage()));
    QCOMPARE(comparable(child<QLabel>("Image1")->pixmap().toImage()),
             comparable(m_gauge->picture(1)));
}

void TestMainWindow::modeButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("row"); // -1: click on an empty part of the list
    QTest::addColumn<int>("draw");
    QTest::addColumn<bool>("preparationBefore");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<int>("ticket");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("preparation");

    QTest::newRow("learning, ticket 5") << "BitBtn1" << 4 << 0 << true << true << 5 << 0 << false;
    QTest::newRow("learning, nothing selected")
        << "BitBtn1" << -1 << 0 << true << false << 0 << 0 << true;
    QTest::newRow("training keeps the preparation flag")
        << "BitBtn2" << 39 << 0 << true << true << 40 << 1 << true;
    QTest::newRow("training, nothing selected")
        << "BitBtn2" << -1 << 0 << false << false << 0 << 0 << false;
    QTest::newRow("preparation, ticket 3")
        << "BitBtn4" << 2 << 0 << false << true << 3 << 0 << true;
    QTest::newRow("preparation, nothing selected")
        << "BitBtn4" << -1 << 0 << false << true << 0 << 0 << true;
    QTest::newRow("exam ignores the selection")
        << "BitBtn3" << 4 << 16 << false << true << 17 << 2 << false;
    QTest::newRow("exam, nothing selected, last ticket")
        << "BitBtn3" << -1 << 39 << true << true << 40 << 2 << true;
}

void TestMainWindow::modeButtons()
{
    QFETCH(QString, button);
    QFETCH(int, row);
    QFETCH(int, draw);
    QFETCH(bool, preparationBefore);
    QFETCH(bool, starts);
    QFETCH(int, ticket);
    QFETCH(int, mode);
    QFETCH(bool, preparation);
    prepareLaterRun(1);
    QVERIFY(startProgram());
    showMain();
    m_examWindow->finishAttempts = false;
    // The preparation choice an earlier start left behind.
    if (preparationBefore) {
        QTest::mouseClick(child<QPushButton>("BitBtn4"), Qt::LeftButton);
        m_examWindow->hide();
        m_mainWindow->show();
        m_examWindow->starts.clear();
    }
    ProgramRandom::setScript({draw});

    if (row >= 0)
        clickTicket(row);
    else
        clickEmptyCatalogue();
    MessageBoxes::setNextAnswers({QMessageBox::Ok});
    QTest::mouseClick(m_mainWindow->findChild<QPushButton *>(button), Qt::LeftButton);

    if (!starts) {
        QCOMPARE(shownTexts(), QStringList{ChooseTicket});
        QCOMPARE(MessageBoxes::shown()[0].caption, Reminder);
        QCOMPARE(MessageBoxes::shown()[0].icon, QMessageBox::Information);
        QVERIFY(m_examWindow->starts.isEmpty());
        QVERIFY(m_mainWindow->isVisible());
        return;
    }
    QVERIFY(MessageBoxes::shown().isEmpty());
    QCOMPARE(m_examWindow->starts.size(), 1);
    const FakeExamWindow::Start &start = m_examWindow->starts[0];
    QCOMPARE(start.ticket, ticket);
    QCOMPARE(start.mode, mode);
    QCOMPARE(start.preparation, preparation);
    QCOMPARE(start.position, m_mainWindow->pos());
    QVERIFY(start.hostVisible); // shown first, then the main window hides
    QVERIFY(m_examWindow->isVisible());
    QVERIFY(!m_mainWindow->isVisible());
}

void TestMainWindow::helpKeys_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("context");
    QTest::newRow("learning") << "BitBtn1" << 4;
    QTest::newRow("preparation") << "BitBtn4" << 5;
    QTest::newRow("training") << "BitBtn2" << 6;
    QTest::newRow("exam") << "BitBtn3" << 7;
}

void TestMainWindow::helpKeys()
{
    QFETCH(QString, button);
    QFETCH(int, context);
    prepareLaterRun(1);
    QVERIFY(startProgram());
    showMain();
    QApplication::setActiveWindow(m_mainWindow.get());

    auto *target = m_mainWindow->findChild<QPushButton *>(button);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_F1);
    QCOMPARE(Help::requests().size(), 1);
    QCOMPARE(Help::requests()[0].context, context);
    QVERIFY(Help::requests()[0].topic.isEmpty());

    QTest::mouseClick(child<QToolButton>("SpeedButton3"), Qt::LeftButton);
    QCOMPARE(Help::requests().size(), 2);
    QCOMPARE(Help::requests()[1].topic, QStringLiteral("glavn"));
}

void TestMainWindow::statisticsButton_opensModalWindow()
{
    prepareLaterRun(1);
    QVERIFY(startProgram());
    showMain();
    QTest::mouseClick(child<QToolButton>("SpeedButton2"), Qt::LeftButton);
    QCOMPARE(m_statisticsWindow->modalShowings, 1);
    QVERIFY(!m_statisticsWindow->isVisible());
}

void TestMainWindow::timeItems_data()
{
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("tim");

    QTest::newRow("20 minutes") << QStringList{"N201"} << "N201" << 1200 << "6";
    QTest::newRow("1 then 3 minutes") << QStringList{"N11", "N31"} << "N31" << 180 << "2";
    QTest::newRow("15 minutes") << QStringList{"N151"} << "N151" << 900 << "5";
    QTest::newRow("the checked one again: none checked")
        << QStringList{"N51", "N51"} << "" << 300 << "3";
    QTest::newRow("the start-up choice again") << QStringList{"N101"} << "" << 600 << "4";
    QTest::newRow("unchecked, then another") << QStringList{"N101", "N11"} << "N11" << 60 << "1";
}

void TestMainWindow::timeItems()
{
    QFETCH(QStringList, chosen);
    QFETCH(QString, checked);
    QFETCH(int, limit);
    QFETCH(QString, tim);
    m_sandbox->writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    QVERIFY(startProgram()); // a first run: 10 minutes chosen
    QVERIFY(child<QAction>("N101")->isChecked());
    QCOMPARE(m_mainWindow->examTimeLimit(), 600);

    for (const QString &name : chosen)
        m_mainWindow->findChild<QAction *>(name)->trigger();
    for (const char *name : {"N11", "N31", "N51", "N101", "N151", "N201"})
        QCOMPARE(child<QAction>(name)->isChecked(), checked == QLatin1String(name));
    QCOMPARE(m_mainWindow->examTimeLimit(), limit);
    QCOMPARE(m_sandbox->stored(QStringLiteral("Tim")), tim);
}

void TestMainWindow::optionItems_flipAndStore()
{
    m_sandbox->writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    QVERIFY(startProgram());
    auto *shuffle = child<QAction>("N6");
    auto *statistics = child<QAction>("N5");

    shuffle->trigger();
    QVERIFY(!m_mainWindow->shuffleAnswersChecked());
    QCOMPARE(m_sandbox->stored(QStringLiteral("Rnd")), QStringLiteral("0"));
    shuffle->trigger();
    QVERIFY(m_mainWindow->shuffleAnswersChecked());
    QCOMPARE(m_sandbox->stored(QStringLiteral("Rnd")), QStringLiteral("1"));

    statistics->trigger();
    QVERIFY(!m_mainWindow->showStatisticsChecked());
    QCOMPARE(m_sandbox->stored(QStringLiteral("Sta")), QStringLiteral("0"));
    QCOMPARE(m_sandbox->stored(QStringLiteral("Rnd")), QStringLiteral("1"));
}

void TestMainWindow::timeChoice_survivesRestart()
{
    m_sandbox->writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    QVERIFY(startProgram());
    child<QAction>("N201")->trigger();
    child<QAction>("N5")->trigger();
    m_mainWindow.reset();

    QVERIFY(startProgram());
    QVERIFY(child<QAction>("N201")->isChecked());
    QVERIFY(!child<QAction>("N101")->isChecked());
    QVERIFY(!child<QAction>("N5")->isChecked());
    QVERIFY(child<QAction>("N6")->isChecked());
    QCOMPARE(m_mainWindow->examTimeLimit(), 1200);
    QCOMPARE(m_sandbox->stored(QStringLiteral("Kol")), QStringLiteral("2"));
}

void TestMainWindow::popupMenu_opensAboveCursor_andOnRightClick()
{
    prepareLaterRun(1);
    QVERIFY(startProgram());
    showMain();
    auto *menu = child<QMenu>("PopupMenu1");
    const QStringList captions{"Максимальное время экзамена",
                               "В режиме обучения и подготовки",
                               "Масштаб интерфейса",
                               "Обнулить результаты и статистику",
                               "Выбрать базу вопросов",
                               "Импортировать билеты…",
                               "Недавние базы",
                               "Справочник",
                               "Класс…",
                               "Сменить ученика…",
                               "О программе"};
    QStringList shown;
    for (QAction *action : menu->actions())
        shown << action->text();
    QCOMPARE(shown, captions);
    // Only a classroom PC has someone to change.
    QVERIFY(!child<QAction>("switchLearnerItem")->isVisible());

    const QPoint cursor(400, 500);
    QCursor::setPos(cursor);
    QTest::mouseClick(child<QToolButton>("SpeedButton1"), Qt::LeftButton);
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->pos(), cursor - QPoint(0, 30));
    // The menu and its submenus are drawn in the window's font.
    QCOMPARE(menu->font(), m_mainWindow->font());
    for (QMenu *submenu : menu->findChildren<QMenu *>())
        QCOMPARE(submenu->font(), m_mainWindow->font());

    // A real click on "Обнулить…" asks the question.
    MessageBoxes::setNextAnswers({QMessageBox::No});
    QTest::mouseClick(menu, Qt::LeftButton, {},
                      menu->actionGeometry(child<QAction>("N3")).center());
    QTRY_VERIFY(!menu->isVisible());
    QCOMPARE(shownTexts(), QStringList{QStringLiteral(
                               "Вы действительно хотите обнулить результаты и статистику?")});

    auto *button = child<QToolButton>("SpeedButton1");
    const QPoint at(10, 5);
    QContextMenuEvent context(QContextMenuEvent::Mouse, at, button->mapToGlobal(at));
    QApplication::sendEvent(button, &context);
    QTRY_VERIFY(menu->isVisible());
    // At the click, moved up only as far as the screen's bottom requires.
    QPoint expected = button->mapToGlobal(at);
    const QRect screen = menu->screen()->availableGeometry();
    expected.setY(std::min(expected.y(), screen.bottom() + 1 - menu->height()));
    QCOMPARE(menu->pos(), expected);
    menu->close();
}

void TestMainWindow::menuAndButtons_everyOneNamedInTheHelp()
{
    prepareLaterRun(1);
    QVERIFY(startProgram());
    showMain();
    QString help;
    for (const char *page : {"glavn.html", "nastroyka.html", "rezhimy.html"}) {
        QFile file(QStringLiteral(":/help/") + QLatin1StringView(page));
        QVERIFY(file.open(QIODevice::ReadOnly));
        help += QString::fromUtf8(file.readAll());
    }
    QStringList captions;
    for (QAction *action : child<QMenu>("PopupMenu1")->actions())
        captions << action->text();
    captions << child<QToolButton>("learnerButton")->text();
    for (const QString &caption : std::as_const(captions))
        QVERIFY2(help.contains(caption), qPrintable(caption));
}

void TestMainWindow::reference_ctrlR_showsTheDatabasesReference_orWhereOneComesFrom()
{
    prepareLaterRun(1);
    QVERIFY(startProgram());
    showMain();
    m_mainWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_mainWindow.get()));
    QTest::keyClick(m_mainWindow.get(), Qt::Key_R, Qt::ControlModifier);
    QTRY_VERIFY(m_mainWindow->referenceWindow() && m_mainWindow->referenceWindow()->isVisible());
    ReferenceWindow *window = m_mainWindow->referenceWindow();
    QVERIFY(window->findChild<QLabel *>("referenceEmpty")->isVisible());
    QVERIFY(!m_mainWindow->reference());
    window->close();

    // A reference beside the database: an entry is shown as a comment's
    // link asks.
    Reference reference;
    reference.signs << ReferenceGroup{"Знаки приоритета",
                                      {{"2.4", "Уступите дорогу", "Уступите.", {}}}};
    const QString path = ReferenceFile::pathFor(m_mainWindow->databasePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ReferenceFile::toJson(reference));
    file.close();
    m_mainWindow->openReferenceEntry(ReferenceKind::Sign, "2.4");
    QTRY_VERIFY(window->isVisible());
    QCOMPARE(window->findChild<QLabel *>("referenceTitle")->text(),
             QStringLiteral("2.4 Уступите дорогу"));
    window->close();
}

void TestMainWindow::scaleMenu_storesTheChoice_andOffersARestart()
{
    prepareLaterRun(1);
    QVERIFY(startProgram());
    showMain();
    auto *scaleMenu = child<QMenu>("scaleMenu");
    QStringList captions;
    for (QAction *item : scaleMenu->actions()) {
        QVERIFY(item->isCheckable() && item->actionGroup()->isExclusive());
        captions << item->text();
    }
    QCOMPARE(captions, (QStringList{"Автоматически", "100 %", "125 %", "150 %", "175 %", "200 %"}));

    // The program started at 100 % here: 200 % needs a restart, the learner
    // declines, and the choice is kept for the next start.
    MessageBoxes::setNextAnswers({QMessageBox::No});
    child<QAction>("scale200")->trigger();
    QCOMPARE(m_sandbox->stored(QStringLiteral("Mas")), QStringLiteral("200"));
    QCOMPARE(shownTexts().size(), 1);
    QVERIFY(shownTexts().first().contains(QStringLiteral("при следующем запуске")));
    QVERIFY(m_mainWindow->isVisible());
    QVERIFY(!m_mainWindow->restartRequested());

    // Back to what is drawn now: nothing to ask.
    MessageBoxes::clearShown();
    child<QAction>("scale100")->trigger();
    QCOMPARE(m_sandbox->stored(QStringLiteral("Mas")), QStringLiteral("100"));
    QVERIFY(shownTexts().isEmpty());

    // Accepting closes the window for the restart.
    MessageBoxes::setNextAnswers({QMessageBox::Yes});
    child<QAction>("scale150")->trigger();
    QVERIFY(m_mainWindow->restartRequested());
    QVERIFY(!m_mainWindow->isVisible());

    // The menu shows the stored choice the next time it opens.
    m_mainWindow->show();
    QCursor::setPos(400, 500);
    QTest::mouseClick(child<QToolButton>("SpeedButton1"), Qt::LeftButton);
    QTRY_VERIFY(child<QMenu>("PopupMenu1")->isVisible());
    QVERIFY(child<QAction>("scale150")->isChecked());
    child<QMenu>("PopupMenu1")->close();

    // On a 1366 x 768 laptop the windows fit up to 125 %: larger scales are
    // not offered.
    ScaleAtStartup::setDesktopAvailableSize(QSize(1366, 728));
    QTest::mouseClick(child<QToolButton>("SpeedButton1"), Qt::LeftButton);
    QTRY_VERIFY(child<QMenu>("PopupMenu1")->isVisible());
    for (const char *name : {"scale0", "scale100", "scale125"})
        QVERIFY2(child<QAction>(name)->isEnabled(), name);
    for (const char *name : {"scale150", "scale175", "scale200"}) {
        QVERIFY2(!child<QAction>(name)->isEnabled(), name);
        QVERIFY(!child<QAction>(name)->toolTip().isEmpty());
    }
    child<QMenu>("PopupMenu1")->close();
    ScaleAtStartup::setDesktopAvailableSize(QSize());
}

void TestMainWindow::databaseSwitch_data()
{
    QTest::addColumn<QString>("answer"); // "": cancel
    QTest::addColumn<bool>("failing");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("bas");

    const QString current = QStringLiteral("$SB/program/dataAB.dbv");
    QTest::newRow("cancelled") << "" << false << QStringList() << "База AB" << current;
    QTest::newRow("missing file") << "$SB/nowhere/x.dbv" << false << QStringList{NoFile}
                                  << "База AB" << current;
    QTest::newRow("a folder is no file")
        << "$SB/other" << false << QStringList{NoFile} << "База AB" << current;
    QTest::newRow("another database") << "$SB/other/b.dbv" << false << QStringList() << "База B"
                                      << "$SB/other/b.dbv";
    QTest::newRow("fails to open: previous one kept")
        << "$SB/other/b.dbv" << true << QStringList{SwitchFailure} << "База AB" << current;
    QTest::newRow("the open one again is read anew")
        << current << false << QStringList() << "Переименованная база" << current;
}

void TestMainWindow::databaseSwitch()
{
    QFETCH(QString, answer);
    QFETCH(bool, failing);
    QFETCH(QStringList, messages);
    QFETCH(QString, title);
    QFETCH(QString, bas);
    const QString current =
        m_sandbox->writeDatabase(QStringLiteral("program/dataAB.dbv"), QStringLiteral("База AB"));
    const QString other =
        m_sandbox->writeDatabase(QStringLiteral("other/b.dbv"), QStringLiteral("База B"));
    QVERIFY(startProgram());
    QCOMPARE(shownTitle(), QStringLiteral("База AB"));
    if (failing)
        m_failingPaths << other;
    if (answer == QLatin1String("$SB/program/dataAB.dbv"))
        QVERIFY(SyntheticDatabase::write(current, QStringLiteral("Переименованная база")));

    FileDialogs::setNextFileName(sb(answer));
    child<QAction>("N7")->trigger();

    QCOMPARE(shownTexts(), messages);
    for (const MessageBoxes::Shown &box : MessageBoxes::shown()) {
        QCOMPARE(box.caption, QStringLiteral("Внимание!"));
        QCOMPARE(box.icon, QMessageBox::Warning);
    }
    QCOMPARE(FileDialogs::lastRequest()->title, QStringLiteral("Открыть базу вопросов"));
    QCOMPARE(shownTitle(), title);
    QCOMPARE(m_sandbox->stored(QStringLiteral("Bas")), sb(bas));
    QCOMPARE(m_mainWindow->databasePath(), sb(bas));
    QVERIFY(globalQuestionDatabase().isOpen());
    QCOMPARE(globalQuestionDatabase().title(), title);
    // The progress is not touched by a change of database.
    QCOMPARE(QFileInfo(m_sandbox->statisticsFile()).size(), qint64(StatRecord::Size));
}

void TestMainWindow::databaseSwitch_failedThenGood()
{
    m_sandbox->writeDatabase(QStringLiteral("program/dataAB.dbv"), QStringLiteral("База AB"));
    const QString bad = m_sandbox->writeDatabase(QStringLiteral("other/bad.dbv"), "Плохая");
    const QString good = m_sandbox->writeDatabase(QStringLiteral("other/good.dbv"), "Хорошая");
    QVERIFY(startProgram());
    m_failingPaths << bad;

    FileDialogs::setNextFileName(bad);
    child<QAction>("N7")->trigger();
    QCOMPARE(shownTexts(), QStringList{SwitchFailure});
    FileDialogs::setNextFileName(good);
    child<QAction>("N7")->trigger();
    QCOMPARE(shownTexts().size(), 1);
    QCOMPARE(shownTitle(), QStringLiteral("Хорошая"));
    QCOMPARE(m_sandbox->stored(QStringLiteral("Bas")), good);
    // The dialogue starts in the folder of the open database.
    QCOMPARE(QDir(FileDialogs::lastRequest()->directory).canonicalPath(),
             QDir(m_sandbox->paths.programFolder).canonicalPath());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
