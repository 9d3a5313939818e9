#include "interfacescale.h"
#include "settingsstore.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// The interface scale: what "automatic" picks for a screen, and the stored
// value in the settings file.
class TestInterfaceScale : public QObject
{
    Q_OBJECT
private slots:
    void automaticPercent_data();
    void automaticPercent();
    void stored_data();
    void stored();
    void noSettingsFile_readsAutomatic_andCreatesNothing();
};

void TestInterfaceScale::automaticPercent_data()
{
    // Available areas in the desktop's logical pixels (task bar off).
    QTest::addColumn<QSize>("available");
    QTest::addColumn<int>("percent");
    // What a scale chosen as 175 % becomes on that screen.
    QTest::addColumn<int>("chosen175");
    QTest::newRow("no screen known") << QSize() << 100 << 175;
    QTest::newRow("1366 x 768 laptop") << QSize(1366, 728) << 100 << 125;
    QTest::newRow("1920 x 1080") << QSize(1920, 1040) << 125 << 175;
    QTest::newRow("1920 x 1080 without a task bar") << QSize(1920, 1080) << 125 << 175;
    QTest::newRow("1920 x 1200") << QSize(1920, 1160) << 125 << 175;
    QTest::newRow("2560 x 1440") << QSize(2560, 1400) << 150 << 175;
    QTest::newRow("3840 x 2160 unscaled desktop") << QSize(3840, 2120) << 200 << 175;
    // A 4K screen whose desktop already doubles: it looks like 1080 lines,
    // and the desktop's factor is not multiplied by ours blindly.
    QTest::newRow("3840 x 2160 at the desktop's 200 %") << QSize(1920, 1040) << 125 << 175;
    // Tall enough for 200 %, but the widest window would not fit across.
    QTest::newRow("1080 x 1920 portrait") << QSize(1080, 1880) << 125 << 125;
    QTest::newRow("tiny screen") << QSize(640, 480) << 100 << 100;
}

void TestInterfaceScale::automaticPercent()
{
    QFETCH(QSize, available);
    QFETCH(int, percent);
    QFETCH(int, chosen175);
    QCOMPARE(InterfaceScale::automaticPercent(available), percent);
    QCOMPARE(InterfaceScale::effectivePercent(InterfaceScale::Automatic, available), percent);
    // A chosen scale holds where the windows fit, and is brought down to
    // the largest that fits where they do not.
    QCOMPARE(InterfaceScale::effectivePercent(175, available), chosen175);
    if (!available.isEmpty()) {
        // Whatever is picked, the largest window fits on the screen — or
        // the screen is too small even at 100 %.
        for (const int chosen : {int(InterfaceScale::Automatic), 100, 125, 150, 175, 200}) {
            const int used = InterfaceScale::effectivePercent(chosen, available);
            const QSize drawn =
                InterfaceScale::LargestWindow * (used / 100.0) + InterfaceScale::FrameAllowance;
            QVERIFY2(used == 100 || (drawn.width() <= available.width() &&
                                     drawn.height() <= available.height()),
                     qPrintable(QStringLiteral("%1 -> %2 %").arg(chosen).arg(used)));
        }
    }
}

void TestInterfaceScale::stored_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("percent");
    QTest::newRow("missing") << "" << InterfaceScale::Automatic;
    QTest::newRow("automatic") << "Mas=0" << InterfaceScale::Automatic;
    QTest::newRow("150") << "Mas=150" << 150;
    QTest::newRow("not a choice") << "Mas=130" << InterfaceScale::Automatic;
    QTest::newRow("garbage") << "Mas=big" << InterfaceScale::Automatic;
}

void TestInterfaceScale::stored()
{
    QFETCH(QString, value);
    QFETCH(int, percent);
    QTemporaryDir dir;
    const QString path = dir.filePath("Kiv.conf");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(("[General]\nKol=3\n" + value + "\n").toUtf8());
    file.close();

    SettingsStore store(path);
    QCOMPARE(store.interfaceScale(), percent);
    store.setInterfaceScale(200);
    QCOMPARE(store.interfaceScale(), 200);
    QCOMPARE(QSettings(path, QSettings::IniFormat).value("Mas").toInt(), 200);
    store.setInterfaceScale(InterfaceScale::Automatic);
    QCOMPARE(QSettings(path, QSettings::IniFormat).value("Mas").toInt(), 0);
    // The other values are not touched.
    QCOMPARE(QSettings(path, QSettings::IniFormat).value("Kol").toInt(), 3);
}

void TestInterfaceScale::noSettingsFile_readsAutomatic_andCreatesNothing()
{
    // Read before start-up: it must not make a first run look like a later one.
    QTemporaryDir dir;
    const QString path = dir.filePath("Microsoft/Kiv.conf");
    SettingsStore store(path);
    QCOMPARE(store.interfaceScale(), InterfaceScale::Automatic);
    QVERIFY(!QFile::exists(path));
    QVERIFY(!store.keyExists());
}

QTEST_MAIN(TestInterfaceScale)
#include "tst_interfacescale.moc"
