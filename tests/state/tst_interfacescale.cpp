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
    // Available heights in the desktop's logical pixels (task bar off).
    QTest::addColumn<int>("availableHeight");
    QTest::addColumn<int>("percent");
    QTest::newRow("no screen known") << 0 << 100;
    QTest::newRow("1366 x 768 laptop") << 728 << 100;
    QTest::newRow("1920 x 1080") << 1040 << 125;
    QTest::newRow("1920 x 1200") << 1160 << 125;
    QTest::newRow("2560 x 1440") << 1400 << 150;
    QTest::newRow("3840 x 2160 unscaled desktop") << 2120 << 200;
    // A 4K screen whose desktop already doubles: it looks like 1080 lines,
    // and the desktop's factor is not multiplied by ours blindly.
    QTest::newRow("3840 x 2160 at the desktop's 200 %") << 1040 << 125;
}

void TestInterfaceScale::automaticPercent()
{
    QFETCH(int, availableHeight);
    QFETCH(int, percent);
    QCOMPARE(InterfaceScale::automaticPercent(availableHeight), percent);
    QCOMPARE(InterfaceScale::effectivePercent(InterfaceScale::Automatic, availableHeight), percent);
    // A chosen scale holds whatever the screen.
    QCOMPARE(InterfaceScale::effectivePercent(175, availableHeight), 175);
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
