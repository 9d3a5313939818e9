#include "scaleatstartup.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#ifdef ZELTRAK_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

// A scale factor from the environment is the user's choice, kept within
// what a screen can use: a factor of 100 would make every window hundreds
// of screens large and the program take gigabytes.
class TestScaleAtStartup : public QObject
{
    Q_OBJECT
private slots:
    void environmentFactor_clampedBeforeQtTakesIt_data();
    void environmentFactor_clampedBeforeQtTakesIt();
    void environmentFactor_notAPositiveNumber_data();
    void environmentFactor_notAPositiveNumber();
#ifdef ZELTRAK_HAVE_FONTCONFIG
    void screenProbe_handsItsFontConfigurationToTheApplication();
#endif
};

void TestScaleAtStartup::environmentFactor_clampedBeforeQtTakesIt_data()
{
    QTest::addColumn<QByteArray>("given");
    QTest::addColumn<QByteArray>("used");
    QTest::newRow("100") << QByteArray("100") << QByteArray("4");
    QTest::newRow("1000") << QByteArray("1000") << QByteArray("4");
    QTest::newRow("1e300") << QByteArray("1e300") << QByteArray("4");
    QTest::newRow("infinite") << QByteArray("inf") << QByteArray("4");
    QTest::newRow("tiny") << QByteArray("0.01") << QByteArray("0.5");
    QTest::newRow("within, kept as written") << QByteArray("1.5") << QByteArray("1.5");
    QTest::newRow("the upper end") << QByteArray("4") << QByteArray("4");
}

void TestScaleAtStartup::environmentFactor_clampedBeforeQtTakesIt()
{
    QFETCH(QByteArray, given);
    QFETCH(QByteArray, used);
    qputenv("QT_SCALE_FACTOR", given);
    char name[] = "zeltrak";
    char *argv[] = {name, nullptr};
    // With the factor set, apply() only looks at it: no application is made.
    ScaleAtStartup::apply(1, argv);
    QCOMPARE(qgetenv("QT_SCALE_FACTOR"), used);
    qunsetenv("QT_SCALE_FACTOR");
}

void TestScaleAtStartup::environmentFactor_notAPositiveNumber_data()
{
    QTest::addColumn<QByteArray>("given");
    QTest::newRow("text") << QByteArray("big");
    QTest::newRow("zero") << QByteArray("0");
    QTest::newRow("negative") << QByteArray("-2");
    QTest::newRow("not a number") << QByteArray("nan");
    QTest::newRow("empty") << QByteArray("");
}

void TestScaleAtStartup::environmentFactor_notAPositiveNumber()
{
    QFETCH(QByteArray, given);
    QVERIFY(!ScaleAtStartup::clampedEnvironmentFactor(given).has_value());
}

#ifdef ZELTRAK_HAVE_FONTCONFIG
void TestScaleAtStartup::screenProbe_handsItsFontConfigurationToTheApplication()
{
    // The font configuration is read once per start: the one the screen
    // probe loaded is what the real application uses. Its file is gone
    // before the application starts, so a configuration read anew could not
    // name it among its files.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString conf = dir.filePath(QStringLiteral("fonts.conf"));
    {
        QFile file(conf);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig>\n"
                                  "<dir>/usr/share/fonts</dir>\n<cachedir>%1</cachedir>\n"
                                  "</fontconfig>\n")
                       .arg(dir.filePath(QStringLiteral("cache")))
                       .toUtf8());
    }
    qputenv("FONTCONFIG_FILE", QFile::encodeName(conf));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path())); // scale: automatic
    qunsetenv("QT_SCALE_FACTOR");
    char name[] = "zeltrak";
    char *argv[] = {name, nullptr};
    ScaleAtStartup::apply(1, argv);
    QVERIFY(QFile::remove(conf));

    int argc = 1;
    QGuiApplication application(argc, argv);
    QVERIFY(!QFontDatabase::families().isEmpty());
    QStringList files;
    FcStrList *list = FcConfigGetConfigFiles(nullptr);
    while (FcChar8 *file = FcStrListNext(list))
        files << QFile::decodeName(reinterpret_cast<const char *>(file));
    FcStrListDone(list);
    qunsetenv("FONTCONFIG_FILE");
    qunsetenv("XDG_CONFIG_HOME");
    QVERIFY2(files.contains(conf), qPrintable(files.join(QStringLiteral(", "))));
}
#endif

QTEST_APPLESS_MAIN(TestScaleAtStartup)
#include "tst_scaleatstartup.moc"
