#include "referencefile.h"
#include "specialfiles.h"

#include <QTemporaryDir>
#include <QTest>

class ReferenceFileTest : public QObject
{
    Q_OBJECT

private:
    static QByteArray svg()
    {
        return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 10 10\" width=\"10\" "
               "height=\"10\"><circle cx=\"5\" cy=\"5\" r=\"4\" fill=\"red\"/></svg>";
    }

    static Reference sample()
    {
        Reference reference;
        reference.signs << ReferenceGroup{
            "Знаки приоритета",
            {{"2.1", "Главная дорога", "Дорога, на которой вы имеете преимущество.", svg()},
             {"2.4", "Уступите дорогу", "Уступите дорогу на пересекаемой дороге.", svg()}}};
        reference.markings << ReferenceGroup{"Горизонтальная разметка",
                                             {{"1.1", {}, "Сплошная линия.", {}}}};
        reference.penalties << Penalty{"12.16 ч. 1", "Несоблюдение знаков", "штраф 500 руб."};
        return reference;
    }

private slots:
    void pathFor_replacesTheDatabaseSuffix()
    {
        QCOMPARE(ReferenceFile::pathFor("/d/dataAB.dbv"),
                 QStringLiteral("/d/dataAB.reference.json"));
        QCOMPARE(ReferenceFile::pathFor("/d/x.DBV"), QStringLiteral("/d/x.reference.json"));
        QCOMPARE(ReferenceFile::pathFor("/d/x"), QStringLiteral("/d/x.reference.json"));
    }

    void toJson_readsBackTheSameReference()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("x.reference.json");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ReferenceFile::toJson(sample()));
        file.close();
        QStringList problems;
        const std::optional<Reference> read = ReferenceFile::read(path, &problems);
        QVERIFY(read);
        QCOMPARE(problems, QStringList{});
        QCOMPARE(*read, sample());
    }

    // A file of the wrong shape is refused whole; a faulty entry is named
    // and the rest kept.
    void parse_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<QString>("problem");

        QTest::newRow("not JSON") << QByteArray("{\"reference\": 1,") << false << "not valid JSON";
        QTest::newRow("another format")
            << QByteArray("{\"reference\": 2}") << false << "not a reference of format 1";
        QTest::newRow("an array") << QByteArray("[1]") << false << "not a reference of format 1";
        QTest::newRow("signs not an array") << QByteArray("{\"reference\": 1, \"signs\": {}}")
                                            << false << "\"signs\" is not an array";
        QTest::newRow("group without entries")
            << QByteArray("{\"reference\": 1, \"markings\": [{\"group\": \"x\"}]}") << false
            << "\"markings\": a group without a name or entries";
        QTest::newRow("number twice")
            << QByteArray("{\"reference\": 1, \"signs\": [{\"group\": \"a\", \"entries\": "
                          "[{\"number\": \"2.4\"}]}, {\"group\": \"b\", \"entries\": "
                          "[{\"number\": \"2.4\"}]}]}")
            << true << "sign 2.4 (group \"b\"): the number is given twice";
        QTest::newRow("entry without a number")
            << QByteArray("{\"reference\": 1, \"signs\": [{\"group\": \"a\", \"entries\": "
                          "[{\"title\": \"x\"}]}]}")
            << true << "sign without a number (group \"a\")";
        QTest::newRow("broken picture")
            << QByteArray("{\"reference\": 1, \"markings\": [{\"group\": \"a\", \"entries\": "
                          "[{\"number\": \"1.1\", \"svg\": \"<svg><circle\"}]}]}")
            << true << "marking 1.1 (group \"a\"): the picture is not a drawable SVG";
        QTest::newRow("penalty without its penalty")
            << QByteArray("{\"reference\": 1, \"penalties\": [{\"article\": \"12.9\"}]}") << true
            << "penalty 1: without an article or a penalty";
    }

    void parse()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, parsed);
        QFETCH(QString, problem);
        QStringList problems;
        const std::optional<Reference> reference = ReferenceFile::parse(json, &problems);
        QCOMPARE(bool(reference), parsed);
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems.first().startsWith(problem), qPrintable(problems.first()));
    }

    void read_noFileThere_givesTheReasonAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "";
        QTest::newRow("folder") << "folder";
#ifdef Q_OS_UNIX
        // Read whenever a comment is shown: a pipe must never hold that up.
        QTest::newRow("named pipe") << "fifo";
#endif
    }

    void read_noFileThere_givesTheReasonAtOnce()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath("tickets.reference.json");
        if (!kind.isEmpty())
            QVERIFY(SpecialFiles::make(kind, path));
        QStringList problems;
        std::optional<Reference> reference;
        QVERIFY2(SpecialFiles::finishesWithoutWaiting(
                     path, [&] { reference = ReferenceFile::read(path, &problems); }),
                 "reading waits on the file");
        QVERIFY(!reference);
        QCOMPARE(problems.size(), 1);
        if (!kind.isEmpty())
            QVERIFY2(problems.first().contains(path), qPrintable(problems.first()));
    }
};

QTEST_MAIN(ReferenceFileTest)
#include "tst_referencefile.moc"
