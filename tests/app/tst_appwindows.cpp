#include "aboutwindow.h"
#include "appsandbox.h"
#include "artresources.h"
#include "bundledpictures.h"
#include "filedialogs.h"
#include "help.h"
#include "helpviewer.h"
#include "knowledgegauge.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "program.h"
#include "quitonfirstpaint.h"
#include "splashwindow.h"
#include "zeltrakapplication.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

// Throws from its event handler, as a faulty handler would.
class ThrowingObject : public QObject
{
public:
    bool throwStd = true;
    int handled = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        ++handled;
        if (throwStd)
            throw std::runtime_error("Ошибка записи файла \"stat.dat\"");
        throw 42;
    }
};

} // namespace

// The companion windows, the pictures, the help pages, the window creation
// order and the application's last-resort error handler.
class TestAppWindows : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void splash_closesOnlyOnItsStartArea();
    void about_layoutAndAgreement();
    void speedometers_needlePointsAtFiveTimesKMinusOne();
    void mainWindow_picturesAndGlyphsArePresent();
    void bundledPictures_readAsPng_data();
    void bundledPictures_readAsPng();

    void help_topicsResolveToPagesAndAnchors_data();
    void help_topicsResolveToPagesAndAnchors();
    void help_pagesLinkOnlyToExistingPages();
    void help_viewerOpensAtTheRequestedContext();

    void uncaughtException_isShownAndTheProgramGoesOn();
    void program_createsWindowsOnlyAfterASuccessfulStart();
    void program_makesAWindowOnFirstOpening_data();
    void program_makesAWindowOnFirstOpening();
    void program_quitAfterFirstPaintEndsTheRun();
};

void TestAppWindows::init()
{
    MessageBoxes::setNextAnswers(QList<MessageBoxes::Button>(10, QMessageBox::Ok));
    MessageBoxes::clearShown();
}

void TestAppWindows::splash_closesOnlyOnItsStartArea()
{
    SplashWindow splash;
    QCOMPARE(splash.objectName(), QStringLiteral("Form6"));
    QCOMPARE(splash.size(), QSize(302, 301));
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    auto *picture = splash.findChild<QLabel *>(QStringLiteral("Image1"));
    auto *area = splash.findChild<QLabel *>(QStringLiteral("Image2"));
    QCOMPARE(picture->geometry(), QRect(0, 0, 300, 300));
    QCOMPARE(area->geometry(), QRect(88, 256, 121, 33));
    QCOMPARE(area->cursor().shape(), Qt::PointingHandCursor);

    splash.show();
    // Decoded when shown.
    QCOMPARE(picture->pixmap().size(), QSize(300, 300));
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(150, 100));
    QVERIFY(splash.isVisible());
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(60, 16));
    QVERIFY(!splash.isVisible());
    QCOMPARE(splash.result(), int(QDialog::Accepted));
}

void TestAppWindows::about_layoutAndAgreement()
{
    AboutWindow about;
    QCOMPARE(about.objectName(), QStringLiteral("Form7"));
    QCOMPARE(about.windowTitle(), QStringLiteral("О программе Зелтрак ПДД ZOZAV 2007"));
    QCOMPARE(about.size(), QSize(377, 260));
    QCOMPARE(about.findChild<QLabel *>(QStringLiteral("Label2"))->text(),
             QStringLiteral("Зелтрак ПДД ZOZAV"));
    QVERIFY(!about.findChild<QLabel *>(QStringLiteral("Image1"))->pixmap().isNull());
    auto *memo = about.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
    QCOMPARE(memo->geometry(), QRect(8, 56, 361, 161));
    QVERIFY(memo->isReadOnly());
    const QString agreement = memo->toPlainText();
    QVERIFY(agreement.contains(QStringLiteral("GNU General Public License")));
    QVERIFY(agreement.contains(QStringLiteral("версии 3")));
    QVERIFY(agreement.contains(QStringLiteral("https://www.zeltrak.example.org/source")));
    auto *ok = about.findChild<QPushButton *>(QStringLiteral("Button1"));
    QCOMPARE(ok->text(), QStringLiteral("ОК"));
    QCOMPARE(ok->geometry(), QRect(144, 224, 75, 25));

    // Enter presses the default button and closes with OK.
    about.show();
    QApplication::setActiveWindow(&about);
    QTest::keyClick(memo, Qt::Key_Return);
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

void TestAppWindows::speedometers_needlePointsAtFiveTimesKMinusOne()
{
    KnowledgeGauge holder;
    QCOMPARE(holder.objectName(), QStringLiteral("Form3"));
    QVERIFY(holder.picture(0).isNull());
    QVERIFY(holder.picture(23).isNull());
    const QPointF centre(133 / 2.0, 114.0);
    const auto needleAt = [&](const QImage &image, double value) {
        // Half way along the needle, where the dial face is otherwise white.
        const double degrees = 225.0 - 2.7 * value;
        const double rad = degrees * std::numbers::pi / 180.0;
        const QPoint p = (centre + QPointF(20 * std::cos(rad), -20 * std::sin(rad))).toPoint();
        const QColor c = image.pixelColor(p);
        return c.blue() > c.red() + 60;
    };
    QList<QImage> seen;
    for (int k = 1; k <= 22; ++k) {
        const QImage picture = holder.picture(k);
        QCOMPARE(picture.size(), QSize(133, 209));
        QVERIFY(holder.findChild<QLabel *>(QStringLiteral("Image%1").arg(k)));
        const double value = 5.0 * (k - 1);
        QVERIFY2(needleAt(picture, value), qPrintable(QStringLiteral("picture %1").arg(k)));
        QVERIFY2(!needleAt(picture, std::fmod(value + 50.0, 110.0)),
                 qPrintable(QStringLiteral("picture %1").arg(k)));
        QVERIFY(!seen.contains(picture));
        seen << picture;
    }
}

void TestAppWindows::mainWindow_picturesAndGlyphsArePresent()
{
    AppSandbox sandbox;
    const QString db = sandbox.writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    sandbox.writeSettings(QStringLiteral("Kol=2\nRnd=1\nSta=1\nTim=4\nBas=") + db);
    MainWindow form(sandbox.paths);
    QVERIFY(!form.startupFailed());
    QCOMPARE(form.size(), QSize(722, 448));
    QCOMPARE(form.windowTitle(), QStringLiteral("Зелтрак ПДД ZOZAV"));

    auto *banner = form.findChild<QLabel *>(QStringLiteral("Image2"));
    QCOMPARE(banner->geometry(), QRect(0, 0, 588, 209));
    QCOMPARE(banner->pixmap().size(), QSize(588, 209));
    for (const char *name : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4"})
        QVERIFY2(!form.findChild<QPushButton *>(QString::fromLatin1(name))->icon().isNull(), name);
    for (const char *name : {"SpeedButton1", "SpeedButton2", "SpeedButton3"}) {
        auto *button = form.findChild<QToolButton *>(QString::fromLatin1(name));
        QVERIFY2(!button->icon().isNull(), name);
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    }
    for (const char *name : {"N1", "N2", "N3", "N7", "N4"})
        QVERIFY2(!form.findChild<QAction *>(QString::fromLatin1(name))->icon().isNull(), name);
    QList<QImage> icons;
    for (const QIcon &icon : form.statusIcons()) {
        const QImage image = icon.pixmap(16).toImage();
        QCOMPARE(image.size(), QSize(16, 16));
        QVERIFY(!icons.contains(image));
        icons << image;
    }
    QCOMPARE(icons.size(), 5);
}

void TestAppWindows::bundledPictures_readAsPng_data()
{
    QTest::addColumn<QString>("resource");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("program icon") << ArtResources::programIcon() << QSize(128, 128) << 1.0;
    QTest::newRow("status") << ArtResources::statusIcon(4) << QSize(16, 16) << 1.0;
    QTest::newRow("status @2x") << QStringLiteral(":/main/status4@2x.png") << QSize(32, 32) << 2.0;
    QTest::newRow("exam glyph") << QStringLiteral(":/exam/stop.png") << QSize() << 1.0;
    QTest::newRow("statistics tab")
        << QStringLiteral(":/statistics/tab-time.png") << QSize() << 1.0;
    QTest::newRow("missing") << QStringLiteral(":/main/nothing.png") << QSize(-1, -1) << 0.0;
    // A JPEG is not read as PNG: the reader is Qt's PNG handler alone.
    QTest::newRow("jpeg") << ArtResources::banner() << QSize(-1, -1) << 0.0;
}

void TestAppWindows::bundledPictures_readAsPng()
{
    QFETCH(QString, resource);
    QFETCH(QSize, size);
    QFETCH(qreal, ratio);
    const QImage image = BundledPictures::png(resource);
    const QIcon icon = BundledPictures::icon(resource);
    if (ratio == 0.0) {
        QVERIFY(image.isNull());
        QVERIFY(icon.isNull());
        return;
    }
    QVERIFY(!image.isNull());
    QVERIFY(!icon.isNull());
    QCOMPARE(image.devicePixelRatio(), ratio);
    if (size.isValid())
        QCOMPARE(image.size(), size);
    QCOMPARE(BundledPictures::pixmap(resource).size(), image.size());
}

void TestAppWindows::help_topicsResolveToPagesAndAnchors_data()
{
    QTest::addColumn<QString>("topic");
    QTest::addColumn<int>("context");
    QTest::addColumn<QString>("page");
    QTest::newRow("glavn") << "glavn" << 0 << "glavn.html";
    QTest::newRow("test") << "test" << 0 << "test.html";
    QTest::newRow("stat") << "stat" << 0 << "stat.html";
    QTest::newRow("unknown topic") << "nope" << 0 << "glavn.html";
    QTest::newRow("learning") << "" << 4 << "rezhimy.html";
    QTest::newRow("preparation") << "" << 5 << "rezhimy.html";
    QTest::newRow("training") << "" << 6 << "rezhimy.html";
    QTest::newRow("exam") << "" << 7 << "rezhimy.html";
    QTest::newRow("unknown context") << "" << 3 << "glavn.html";
}

void TestAppWindows::help_topicsResolveToPagesAndAnchors()
{
    QFETCH(QString, topic);
    QFETCH(int, context);
    QFETCH(QString, page);
    const QUrl url = HelpViewer::urlFor(Help::Request{topic, context});
    QCOMPARE(url.fileName(), page);
    QFile file(QLatin1Char(':') + url.path());
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(url.toString()));
    const QString html = QString::fromUtf8(file.readAll());
    QVERIFY(html.contains(QRegularExpression(QStringLiteral("[а-яА-Я]{5,}"))));
    if (!url.fragment().isEmpty())
        QVERIFY2(html.contains(QStringLiteral("name=\"%1\"").arg(url.fragment())),
                 qPrintable(url.toString()));
    // The four mode contexts each have their own place.
    if (context >= 4 && context <= 7) {
        QVERIFY(!url.fragment().isEmpty());
        for (int other = 4; other <= 7; ++other) {
            if (other != context)
                QVERIFY(HelpViewer::urlFor(Help::Request{QString(), other}) != url);
        }
    }
}

void TestAppWindows::help_pagesLinkOnlyToExistingPages()
{
    const QRegularExpression link(QStringLiteral("(?:href|src)=\"(qrc:[^\"#]+|[^\"#:]+)"));
    for (const QString &page :
         {"glavn.html", "rezhimy.html", "test.html", "stat.html", "nastroyka.html"}) {
        QFile file(QStringLiteral(":/help/") + page);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(page));
        const QString html = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch &m : link.globalMatch(html)) {
            QString target = m.captured(1);
            target = target.startsWith(QLatin1String("qrc:")) ? target.mid(3)
                                                              : QStringLiteral(":/help/") + target;
            QVERIFY2(QFile::exists(target), qPrintable(page + QStringLiteral(" -> ") + target));
        }
    }
}

void TestAppWindows::help_viewerOpensAtTheRequestedContext()
{
    HelpViewer::install();
    Help::showContext(nullptr, 6);
    HelpViewer *viewer = HelpViewer::instance();
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->browser()->source(),
             QUrl(QStringLiteral("qrc:/help/rezhimy.html#trenirovka")));
    QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("Тренировка")));

    // The same window answers the next request.
    Help::showTopic(nullptr, QStringLiteral("stat"));
    QCOMPARE(HelpViewer::instance(), viewer);
    QCOMPARE(viewer->browser()->source().fileName(), QStringLiteral("stat.html"));
    viewer->close();
    Help::setViewer({});
}

void TestAppWindows::uncaughtException_isShownAndTheProgramGoesOn()
{
    ThrowingObject object;
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&object);
    QCOMPARE(object.handled, 1);
    QCOMPARE(MessageBoxes::shown().size(), 1);
    QCOMPARE(MessageBoxes::shown()[0].text, QStringLiteral("Ошибка записи файла \"stat.dat\""));
    QCOMPARE(MessageBoxes::shown()[0].caption, QStringLiteral("Зелтрак ПДД"));
    QCOMPARE(MessageBoxes::shown()[0].icon, QMessageBox::Critical);

    object.throwStd = false;
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&object);
    QCOMPARE(object.handled, 2);
    QCOMPARE(MessageBoxes::shown().size(), 2);
    QCOMPARE(MessageBoxes::shown()[1].text, QStringLiteral("Неизвестная ошибка."));

    // The usual route: a handler connected to a button's click.
    QPushButton button(QStringLiteral("Сохранить"));
    int clicks = 0;
    connect(&button, &QPushButton::clicked, this, [&clicks] {
        if (++clicks == 1)
            throw std::runtime_error("Диск переполнен");
    });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(MessageBoxes::shown().size(), 3);
    QCOMPARE(MessageBoxes::shown()[2].text, QStringLiteral("Диск переполнен"));
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks, 2);
    QCOMPARE(MessageBoxes::shown().size(), 3);
}

void TestAppWindows::program_createsWindowsOnlyAfterASuccessfulStart()
{
    {
        AppSandbox sandbox; // first run, no database, dialogue cancelled
        FileDialogs::setNextFileName(QString());
        ZeltrakProgram program(sandbox.paths);
        QVERIFY(program.startupFailed());
        QCOMPARE(program.run(), 1);
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->objectName().startsWith(QLatin1String("Form")) ||
                         w->objectName() == QLatin1String("Form2"),
                     qPrintable(w->objectName()));
    }
    AppSandbox sandbox;
    sandbox.writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    ZeltrakProgram program(sandbox.paths);
    QVERIFY(!program.startupFailed());
    QStringList names;
    for (QWidget *w : QApplication::topLevelWidgets())
        names << w->objectName();
    for (const char *name : {"Form2", "Form3", "Form6"})
        QVERIFY2(names.contains(QString::fromLatin1(name)), name);
    // The exam window with its result dialog comes with the first attempt,
    // the statistics and About windows when first opened.
    for (const char *name : {"Form1", "Form4", "Form5", "Form7"})
        QVERIFY2(!names.contains(QString::fromLatin1(name)), name);
}

void TestAppWindows::program_makesAWindowOnFirstOpening_data()
{
    // How the learner opens it: the button's or the menu command's name.
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("opener");
    QTest::newRow("statistics") << QStringLiteral("Form5") << QStringLiteral("SpeedButton2");
    QTest::newRow("About") << QStringLiteral("Form7") << QStringLiteral("N4");
}

void TestAppWindows::program_makesAWindowOnFirstOpening()
{
    QFETCH(QString, window);
    QFETCH(QString, opener);
    AppSandbox sandbox;
    const QString db = sandbox.writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    sandbox.writeSettings(QStringLiteral("Kol=2\nRnd=1\nSta=1\nTim=4\nBas=") + db);
    ZeltrakProgram program(sandbox.paths);
    QVERIFY(!program.startupFailed());
    const auto windows = [&window] {
        int count = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            count += w->objectName() == window;
        return count;
    };
    QCOMPARE(windows(), 0);
    MainWindow *main = program.mainWindow();
    int opened = 0;
    for (int click = 0; click < 2; ++click) {
        QTimer::singleShot(0, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal && modal->objectName() == window) {
                ++opened;
                modal->close();
            }
        });
        main->show();
        if (auto *button = main->findChild<QToolButton *>(opener))
            QTest::mouseClick(button, Qt::LeftButton);
        else
            main->findChild<QAction *>(opener)->trigger();
    }
    QCOMPARE(opened, 2);
    QCOMPARE(windows(), 1);
}

void TestAppWindows::program_quitAfterFirstPaintEndsTheRun()
{
    // The start-up benchmark's hook: the run ends by itself once the main
    // window has painted, with the code of an ordinary end.
    AppSandbox sandbox;
    const QString db = sandbox.writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    sandbox.writeSettings(QStringLiteral("Kol=2\nRnd=1\nSta=1\nTim=4\nBas=") + db);
    qputenv(QuitOnFirstPaint::VariableName, "1");
    const auto unset = qScopeGuard([] { qunsetenv(QuitOnFirstPaint::VariableName); });
    ZeltrakProgram program(sandbox.paths);
    QVERIFY(!program.startupFailed());
    QTimer giveUp;
    giveUp.setSingleShot(true);
    connect(&giveUp, &QTimer::timeout, qApp, [] { QCoreApplication::exit(2); });
    giveUp.start(20000);
    QCOMPARE(program.run(), 0);
    QVERIFY(giveUp.isActive());
}

int main(int argc, char *argv[])
{
    ZeltrakApplication app(argc, argv);
    TestAppWindows test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_appwindows.moc"
