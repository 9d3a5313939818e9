#include "appsandbox.h"
#include "mainwindow.h"
#include "program.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QToolButton>

// The main window drawn at an interface scale (QT_SCALE_FACTOR, set by
// CTest: this test runs at 100 % and at 200 %). Everything is in logical
// pixels, so the design's rectangles and proportions hold at any scale and
// only the device pixels grow.
class TestScaledMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void controlsKeepTheirDesignPlaces();
};

void TestScaledMainWindow::controlsKeepTheirDesignPlaces()
{
    const double factor = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    AppSandbox sandbox;
    const QString db = sandbox.writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    sandbox.writeSettings(QStringLiteral("Kol=2\nRnd=1\nSta=1\nTim=4\nBas=") + db);
    ZeltrakProgram program(sandbox.paths);
    QVERIFY(!program.startupFailed());
    MainWindow *main = program.mainWindow();
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main));

    QCOMPARE(main->size(), QSize(722, 448));
    const struct
    {
        const char *name;
        QRect design;
    } controls[] = {
        {"Image1", QRect(588, 0, 133, 209)},
        {"ListView1", QRect(8, 232, 377, 177)},
        {"Label5", QRect(304, 419, 408, 19)},
    };
    for (const auto &control : controls) {
        auto *widget = main->findChild<QWidget *>(QString::fromLatin1(control.name));
        QVERIFY2(widget, control.name);
        QCOMPARE(widget->geometry(), control.design);
    }
    // Drawn at the scale: twice the pixels at 200 %, the same layout.
    QCOMPARE(main->devicePixelRatioF(), factor);
    const QImage shot = main->grab().toImage();
    QCOMPARE(shot.size(), (QSizeF(722, 448) * factor).toSize());
    QCOMPARE(main->findChild<QListWidget *>(QStringLiteral("ListView1"))->count(), 40);
    // The pictures we draw come drawn at twice the pixels when the screen
    // has them, not blown up from the design-sized bitmap.
    for (const char *name : {"Image1", "Image2"}) {
        const QPixmap picture = main->findChild<QLabel *>(QString::fromLatin1(name))->pixmap();
        QCOMPARE(picture.devicePixelRatio(), factor > 1 ? 2.0 : 1.0);
    }
    // The icon of "Справка" has its twice-the-pixels drawing as well.
    auto *help = main->findChild<QToolButton *>(QStringLiteral("SpeedButton3"));
    QVERIFY(help);
    QCOMPARE(help->icon().pixmap(QSize(16, 16), factor).devicePixelRatio(), factor);
}

QTEST_MAIN(TestScaledMainWindow)
#include "tst_scaledmainwindow.moc"
