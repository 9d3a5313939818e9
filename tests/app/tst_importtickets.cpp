// «Импортировать билеты…» and «Недавние базы» by clicks: an archive of the
// ticket sample is chosen, category C, D imported behind the progress
// dialog, the new database open with its title; then the recent databases
// switch back to the one before and forward again.
#include "aboutwindow.h"
#include "appsandbox.h"
#include "archivemaker.h"
#include "fakewindows.h"
#include "filedialogs.h"
#include "importerrorsdialog.h"
#include "knowledgegauge.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "questiondatabase.h"
#include "referencefile.h"
#include "splashwindow.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

class TestImportTickets : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void importArchive_opensNewDatabase_recentSwitchesBackAndForth();
    void importFaults_shownInFull_nothingWritten();
    void importWithReference_warningsListedWithCounts_referenceBeside();
    void importWithSoundReference_countsTold();
    void importOverExisting_askedFirst_noKeepsIt();

private:
    void startProgram();
    // Opens the settings menu by its button and clicks `item` in it (or in
    // its submenu `submenu`).
    void clickMenuItem(const QString &item, const QString &submenu = QString());
    QString shownTitle() const;
    // Runs `step` once, from inside its event loop, when the modal dialog
    // named `name` is up.
    void whenModal(const QString &name, const std::function<void(QDialog *)> &step);
    template <typename T> T *child(const QString &name) const
    {
        return m_mainWindow->findChild<T *>(name);
    }

    std::unique_ptr<AppSandbox> m_sandbox;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<FakeExamWindow> m_examWindow;
    std::unique_ptr<KnowledgeGauge> m_gauge;
    std::unique_ptr<FakeStatisticsWindow> m_statistics;
    std::unique_ptr<SplashWindow> m_splash;
    std::unique_ptr<AboutWindow> m_about;
    QString m_demo;
};

void TestImportTickets::init()
{
    m_sandbox = std::make_unique<AppSandbox>();
    QVERIFY(m_sandbox->isValid());
    MessageBoxes::clearShown();
    m_demo = m_sandbox->writeDatabase("program/dataAB.dbv", "База AB");
    m_sandbox->writeSettings(QStringLiteral("Kol=5\nRnd=1\nSta=1\nTim=4\nBas=%1").arg(m_demo));
}

void TestImportTickets::cleanup()
{
    m_about.reset();
    m_splash.reset();
    m_statistics.reset();
    m_gauge.reset();
    m_examWindow.reset();
    m_mainWindow.reset();
    m_sandbox.reset();
}

void TestImportTickets::startProgram()
{
    m_mainWindow = std::make_unique<MainWindow>(m_sandbox->paths);
    QVERIFY(!m_mainWindow->startupFailed());
    m_examWindow = std::make_unique<FakeExamWindow>(m_mainWindow.get(), m_mainWindow.get());
    m_gauge = std::make_unique<KnowledgeGauge>();
    m_statistics = std::make_unique<FakeStatisticsWindow>();
    m_splash = std::make_unique<SplashWindow>();
    m_about = std::make_unique<AboutWindow>();
    m_mainWindow->setCompanions(m_examWindow.get(), m_gauge.get(), m_statistics.get(),
                                m_splash.get(), m_about.get());
    m_mainWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_mainWindow.get()));
}

void TestImportTickets::clickMenuItem(const QString &item, const QString &submenu)
{
    auto *menu = child<QMenu>("PopupMenu1");
    QTest::mouseClick(child<QToolButton>("SpeedButton1"), Qt::LeftButton);
    QTRY_VERIFY(menu->isVisible());
    if (!submenu.isEmpty()) {
        QAction *opener = m_mainWindow->findChild<QMenu *>(submenu)->menuAction();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(opener).center());
        menu = m_mainWindow->findChild<QMenu *>(submenu);
        QTRY_VERIFY(menu->isVisible());
    }
    QAction *action = m_mainWindow->findChild<QAction *>(item);
    QVERIFY2(action && menu->actions().contains(action), qPrintable(item));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

void TestImportTickets::whenModal(const QString &name, const std::function<void(QDialog *)> &step)
{
    auto *poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [poll, name, step] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != name)
            return;
        poll->deleteLater();
        poll->stop();
        step(dialog);
    });
    poll->start(5);
}

QString TestImportTickets::shownTitle() const
{
    return child<QLabel>("Label5")->text();
}

void TestImportTickets::importArchive_opensNewDatabase_recentSwitchesBackAndForth()
{
    const QString archive = m_sandbox->path("Загрузки/pdd-master.zip");
    QDir().mkpath(QFileInfo(archive).path());
    QVERIFY(ArchiveMaker::writeFile(
        archive,
        ArchiveMaker::make(
            ArchiveMaker::Format::Zip,
            ArchiveMaker::entriesOf(QFINDTESTDATA("../data/ticket-json-sample"), "pdd-master/"))));
    startProgram();
    QCOMPARE(shownTitle(), QStringLiteral("База AB"));

    // The dialog is driven from inside its own event loop.
    bool bothCategoriesFound = false;
    QString proposedTitle;
    QStringList stagesSeen;
    bool driven = false;
    whenModal("importDialog", [&](QDialog *dialog) {
        FileDialogs::setNextFileName(archive);
        QTest::mouseClick(dialog->findChild<QPushButton *>("importChooseArchive"), Qt::LeftButton);
        auto *ab = dialog->findChild<QRadioButton *>("importCategoryAB");
        auto *cd = dialog->findChild<QRadioButton *>("importCategoryCD");
        bothCategoriesFound = ab->isEnabled() && cd->isEnabled();
        QTest::mouseClick(cd, Qt::LeftButton);
        proposedTitle = dialog->findChild<QLineEdit *>("importTitle")->text();
        // The progress dialog is watched while the import runs.
        auto *watcher = new QTimer(this);
        connect(watcher, &QTimer::timeout, this, [&, watcher, dialog = QPointer<QDialog>(dialog)] {
            if (!dialog) {
                watcher->deleteLater();
                watcher->stop();
            } else if (auto *progress = dialog->findChild<QProgressDialog *>("importProgress")) {
                const QString stage = progress->labelText().section(u':', 0, 0);
                if (progress->isVisible() && !stagesSeen.contains(stage))
                    stagesSeen << stage;
            }
        });
        watcher->start(1);
        driven = true;
        // The sample's reference lacks two pictures: its warnings come
        // after the import.
        whenModal("importWarningsDialog", [](QDialog *warnings) { warnings->reject(); });
        QTest::mouseClick(dialog->findChild<QPushButton *>("importStart"), Qt::LeftButton);
    });
    clickMenuItem("importTickets");
    QTRY_VERIFY(driven);
    QTRY_VERIFY_WITH_TIMEOUT(shownTitle() != u"База AB", 30000);

    QVERIFY(bothCategoriesFound);
    QCOMPARE(proposedTitle, QStringLiteral("Экзаменационные билеты ПДД. Категории C, D"));
    QVERIFY(!stagesSeen.isEmpty()); // the progress showed while the import ran
    QCOMPARE(FileDialogs::lastRequest()->objectName, QStringLiteral("importArchiveDialog"));

    const QString imported =
        QDir(m_sandbox->paths.dataFolder)
            .filePath("databases/Экзаменационные билеты ПДД. Категории C, D.dbv");
    QCOMPARE(shownTitle(), QStringLiteral("Экзаменационные билеты ПДД. Категории C, D"));
    QCOMPARE(globalQuestionDatabase().title(), shownTitle());
    QCOMPARE(m_mainWindow->databasePath(), QDir::toNativeSeparators(imported));
    QCOMPARE(m_sandbox->stored("Bas"), QDir::toNativeSeparators(imported));
    QVERIFY(QFileInfo::exists(imported.chopped(4) + ".topics.json"));
    QVERIFY(QFileInfo::exists(imported.chopped(4) + ".reference.json"));
    QCOMPARE(QDir(QFileInfo(imported).path()).entryList(QDir::Files).size(), 3);
    QCOMPARE(MessageBoxes::shown().size(), 0);

    // «Недавние базы»: the imported one first, the demo next; a file that
    // went away is shown disabled with the reason.
    const QString gone = m_sandbox->writeDatabase("other/gone.dbv", "Пропавшая");
    FileDialogs::setNextFileName(gone);
    clickMenuItem("N7");
    QCOMPARE(shownTitle(), QStringLiteral("Пропавшая"));
    FileDialogs::setNextFileName(imported);
    clickMenuItem("N7");
    QVERIFY(QFile::remove(gone));

    const QString importedTitle = shownTitle();
    clickMenuItem("recentDatabase3", "recentMenu");
    QCOMPARE(child<QAction>("recentDatabase1")->text(), importedTitle);
    QCOMPARE(child<QAction>("recentDatabase2")->text(),
             QStringLiteral("gone.dbv — файл не найден"));
    QVERIFY(!child<QAction>("recentDatabase2")->isEnabled());
    QCOMPARE(child<QAction>("recentDatabase3")->toolTip(), QDir::toNativeSeparators(m_demo));
    QCOMPARE(shownTitle(), QStringLiteral("База AB"));
    QCOMPARE(m_sandbox->stored("Bas"), QDir::toNativeSeparators(m_demo));

    clickMenuItem("recentDatabase2", "recentMenu");
    QCOMPARE(child<QAction>("recentDatabase1")->text(), QStringLiteral("База AB"));
    QCOMPARE(shownTitle(), importedTitle);
    QCOMPARE(globalQuestionDatabase().title(), importedTitle);
}

void TestImportTickets::importFaults_shownInFull_nothingWritten()
{
    // A ticket folder with two faults: a missing ticket, a broken one.
    const QString source = m_sandbox->path("tickets");
    const QString sample = QFINDTESTDATA("../data/ticket-json-sample");
    for (const ArchiveMaker::Entry &entry : ArchiveMaker::entriesOf(sample)) {
        if (entry.type == ArchiveMaker::Entry::Type::Folder)
            QDir().mkpath(source + "/" + entry.path);
        else
            ArchiveMaker::writeFile(source + "/" + entry.path, entry.bytes);
    }
    QFile::remove(source + "/questions/A_B/tickets/Билет 3.json");
    ArchiveMaker::writeFile(source + "/questions/A_B/tickets/Билет 7.json", "[{");
    startProgram();

    QString heading;
    QString listed;
    QDialog *importDialog = nullptr;
    whenModal("importDialog", [&](QDialog *dialog) {
        importDialog = dialog;
        FileDialogs::setNextFileName(source);
        QTest::mouseClick(dialog->findChild<QPushButton *>("importChooseFolder"), Qt::LeftButton);
        // The errors dialog comes when the import has ended.
        whenModal("importErrorsDialog", [&](QDialog *errors) {
            heading = errors->findChild<QLabel *>("importErrorsHeading")->text();
            listed = errors->findChild<QPlainTextEdit *>("importErrorsText")->toPlainText();
            errors->reject();
            importDialog->reject();
        });
        QTest::mouseClick(dialog->findChild<QPushButton *>("importStart"), Qt::LeftButton);
    });
    clickMenuItem("importTickets");
    QTRY_VERIFY_WITH_TIMEOUT(!listed.isEmpty(), 30000);

    QVERIFY(heading.contains("База не записана"));
    QVERIFY(listed.contains("ticket 3: \"Билет 3.json\" is missing"));
    QVERIFY(listed.contains("Билет 7.json:1:3: not valid JSON"));
    QCOMPARE(shownTitle(), QStringLiteral("База AB"));
    QVERIFY(!QFileInfo::exists(QDir(m_sandbox->paths.dataFolder)
                                   .filePath("databases/"
                                             "Экзаменационные билеты ПДД. Категории A, B.dbv")));
}

void TestImportTickets::importWithReference_warningsListedWithCounts_referenceBeside()
{
    startProgram();
    QString title;
    QString heading;
    QString listed;
    whenModal("importDialog", [&](QDialog *dialog) {
        FileDialogs::setNextFileName(QFINDTESTDATA("../data/ticket-json-sample"));
        QTest::mouseClick(dialog->findChild<QPushButton *>("importChooseFolder"), Qt::LeftButton);
        whenModal("importWarningsDialog", [&](QDialog *warnings) {
            title = warnings->windowTitle();
            heading = warnings->findChild<QLabel *>("importErrorsHeading")->text();
            listed = warnings->findChild<QPlainTextEdit *>("importErrorsText")->toPlainText();
            QTest::mouseClick(warnings->findChild<QPushButton *>("importErrorsClose"),
                              Qt::LeftButton);
        });
        QTest::mouseClick(dialog->findChild<QPushButton *>("importStart"), Qt::LeftButton);
    });
    clickMenuItem("importTickets");
    QTRY_VERIFY_WITH_TIMEOUT(!listed.isEmpty(), 30000);

    // The warnings, as dbv import reports them, after what was imported.
    QCOMPARE(title, QStringLiteral("Билеты импортированы"));
    QVERIFY2(heading.contains("знаки — 8, разметка — 4, штрафы — 3"), qPrintable(heading));
    QVERIFY2(heading.contains("Замечания к справочнику (2)"), qPrintable(heading));
    const QStringList lines = listed.split(u'\n');
    QCOMPARE(lines.size(), 2);
    for (const QString &line : lines) {
        QVERIFY2(line.startsWith("reference: ") && line.contains("absent.svg"), qPrintable(line));
    }

    // Closing the warnings opens the database, its reference beside it.
    const QString imported =
        QDir(m_sandbox->paths.dataFolder)
            .filePath("databases/Экзаменационные билеты ПДД. Категории A, B.dbv");
    QTRY_COMPARE_WITH_TIMEOUT(shownTitle(),
                              QStringLiteral("Экзаменационные билеты ПДД. Категории A, B"), 10000);
    QStringList problems;
    const std::optional<Reference> reference =
        ReferenceFile::read(ReferenceFile::pathFor(imported), &problems);
    QVERIFY(reference);
    QVERIFY(problems.isEmpty());
    QCOMPARE(reference->entryCount(ReferenceKind::Sign), 8);
    QVERIFY(reference->find(ReferenceKind::Sign, "1.1")->svg.isEmpty());
    QVERIFY(!reference->find(ReferenceKind::Sign, "1.2")->svg.isEmpty());
}

void TestImportTickets::importWithSoundReference_countsTold()
{
    // The sample with its two missing pictures' entries dropped.
    const QString source = m_sandbox->path("tickets");
    for (const ArchiveMaker::Entry &entry :
         ArchiveMaker::entriesOf(QFINDTESTDATA("../data/ticket-json-sample"))) {
        if (entry.type == ArchiveMaker::Entry::Type::Folder)
            QDir().mkpath(source + "/" + entry.path);
        else
            ArchiveMaker::writeFile(source + "/" + entry.path, entry.bytes);
    }
    QVERIFY(ArchiveMaker::writeFile(source + "/markup/markup.json", R"({"Горизонтальная разметка": {
        "1.5": {"number": "1.5", "image": "./images/markup/markup_1_5.svg", "description": "Д."}}})"));
    QVERIFY(ArchiveMaker::writeFile(source + "/signs/signs.json", R"({"Запрещающие знаки": {
        "3.1": {"number": "3.1", "title": "Т", "image": "./images/signs/signs_3_1.svg",
                "description": "Д."}}})"));
    startProgram();
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    whenModal("importDialog", [&](QDialog *dialog) {
        FileDialogs::setNextFileName(source);
        QTest::mouseClick(dialog->findChild<QPushButton *>("importChooseFolder"), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton *>("importStart"), Qt::LeftButton);
    });
    clickMenuItem("importTickets");
    QTRY_COMPARE_WITH_TIMEOUT(shownTitle(),
                              QStringLiteral("Экзаменационные билеты ПДД. Категории A, B"), 30000);
    QCOMPARE(MessageBoxes::shown().size(), 1);
    QCOMPARE(MessageBoxes::shown().first().text,
             QStringLiteral("База записана. Справочник импортирован: знаки — 1, разметка — 1, "
                            "штрафы — 3."));
}

void TestImportTickets::importOverExisting_askedFirst_noKeepsIt()
{
    const QString databases = QDir(m_sandbox->paths.dataFolder).filePath("databases");
    QDir().mkpath(databases);
    const QString existing = databases + "/Мои билеты.dbv";
    QVERIFY(ArchiveMaker::writeFile(existing, "another database"));
    startProgram();

    bool asked = false;
    whenModal("importDialog", [&](QDialog *dialog) {
        FileDialogs::setNextFileName(QFINDTESTDATA("../data/ticket-json-sample"));
        QTest::mouseClick(dialog->findChild<QPushButton *>("importChooseFolder"), Qt::LeftButton);
        auto *title = dialog->findChild<QLineEdit *>("importTitle");
        title->selectAll();
        // Typed as one key event: QTest's key names are ASCII only.
        QTest::sendKeyEvent(QTest::Click, title, Qt::Key_unknown, QStringLiteral("Мои билеты"),
                            Qt::NoModifier);
        MessageBoxes::setNextAnswer(QMessageBox::No);
        QTest::mouseClick(dialog->findChild<QPushButton *>("importStart"), Qt::LeftButton);
        asked = !MessageBoxes::shown().isEmpty() &&
                MessageBoxes::shown().last().text.contains("«Мои билеты.dbv» уже есть");
        // Nothing started: the dialog is still there to change the title.
        asked = asked && dialog->findChild<QProgressDialog *>("importProgress") == nullptr;
        dialog->reject();
    });
    clickMenuItem("importTickets");
    QTRY_VERIFY(asked);
    QCOMPARE(shownTitle(), QStringLiteral("База AB"));
    QFile file(existing);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("another database"));
}

QTEST_MAIN(TestImportTickets)
#include "tst_importtickets.moc"
