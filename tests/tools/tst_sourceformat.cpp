#include "questiondatabase.h"
#include "sourcefixture.h"
#include "sourcereader.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace SourceFixture;

class TestSourceFormat : public QObject
{
    Q_OBJECT

private slots:
    void read_validSource_hasNoProblems();
    void read_faultySource_reportsEachProblemAtItsLine_data();
    void read_faultySource_reportsEachProblemAtItsLine();
    void build_severalFaults_reportsAllAndWritesNothing();
    void build_authoringFreedoms_storedExactly();
    void roundTrip_buildExtractBuild_sameDumpAndBytes();
};

void TestSourceFormat::read_validSource_hasNoProblems()
{
    QTemporaryDir dir;
    writeSource(dir.path());
    SourceReader reader(dir.path());
    const DatabaseSource source = reader.read();
    QVERIFY2(reader.problems().isEmpty(), qPrintable(reader.problems().value(0).toString()));
    QCOMPARE(source.title, QStringLiteral("Тестовая база"));
    const DatabaseSource expected = syntheticSource();
    for (size_t i = 0; i < source.questions.size(); ++i) {
        QCOMPARE(source.questions[i].textBlock(), expected.questions[i].textBlock());
        QCOMPARE(source.questions[i].picture, expected.questions[i].picture);
    }
}

void TestSourceFormat::read_faultySource_reportsEachProblemAtItsLine_data()
{
    // `file` is replaced by `content`; for ticket01.txt `content` is the
    // first question only (the other 19 stay valid), numbered from line 1.
    // Null content deletes the file. `expected`: "line|part of the message".
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected");

    const QString t1 = QStringLiteral("ticket01.txt");
    const QByteArray head = "question 1\ncorrect 1\ntext T\n";
    const QByteArray tail = "comment C\n";
    QTest::newRow("variant without star") << t1 << head + "variant *a\nvariant b\n" + tail
                                          << QStringList{"5|answer variant without '*'"};
    QTest::newRow("one variant") << t1 << head + "variant *a\n" + tail
                                 << QStringList{"1|question 1 has 1 answer variant; 2 to 5"};
    QTest::newRow("six variants")
        << t1
        << head + "variant *1\nvariant *2\nvariant *3\nvariant *4\nvariant *5\nvariant *6\n" + tail
        << QStringList{"9|question 1 has 6 answer variants; at most 5"};
    QTest::newRow("correct above variant count")
        << t1 << QByteArray("question 1\ncorrect 3\ntext T\nvariant *a\nvariant *b\ncomment C\n")
        << QStringList{"2|correct answer 3 is above the number of variants (2)"};
    QTest::newRow("correct not a digit")
        << t1 << QByteArray("question 1\ncorrect x\ntext T\nvariant *a\nvariant *b\ncomment C\n")
        << QStringList{"2|must be a number 1..5, not 'x'"};
    QTest::newRow("correct zero")
        << t1 << QByteArray("question 1\ncorrect 0\ntext T\nvariant *a\nvariant *b\ncomment C\n")
        << QStringList{"2|must be a number 1..5, not '0'"};
    QTest::newRow("text, comment and correct missing")
        << t1 << QByteArray("question 1\nvariant *a\nvariant *b\n")
        << QStringList{"1|no 'correct' line", "1|no 'text' line", "1|no 'comment' line"};
    QTest::newRow("text twice") << t1 << head + "text U\nvariant *a\nvariant *b\n" + tail
                                << QStringList{
                                       "4|second 'text' in this question (first at line 3)"};
    QTest::newRow("end line with star") << t1 << head + "variant *a\nvariant *b\nend x*\n" + tail
                                        << QStringList{"6|must not contain '*'"};
    QTest::newRow("unknown keyword") << t1 << head + "variant *a\nvariant *b\nvarient *c\n" + tail
                                     << QStringList{"6|unknown keyword 'varient'"};
    QTest::newRow("keyword before the first question")
        << t1 << "text early\n" + head + "variant *a\nvariant *b\n" + tail
        << QStringList{"1|'text' before the first 'question' line"};
    QTest::newRow("unencodable in text")
        << t1
        << QByteArray("question 1\ncorrect 1\ntext a ≤ b\nvariant *a\nvariant *b\ncomment C\n")
        << QStringList{"3|character '≤' (U+2264) cannot be encoded in Windows-1251"};
    QTest::newRow("unencodable in variant and comment")
        << t1
        << QByteArray("question 1\ncorrect 1\ntext T\nvariant *😀\nvariant *b\ncomment ≥ и ≤\n")
        << QStringList{"4|'😀' (U+1F600)", "6|characters '≥' (U+2265), '≤' (U+2264)"};
    QTest::newRow("not UTF-8") << t1 << head + "variant *\xcf\xf0\xe0\xe2\xe0\nvariant *b\n" + tail
                               << QStringList{"4|not valid UTF-8"};
    QTest::newRow("CR inside a line")
        << t1 << head + "variant *a\rb\nvariant *b\n" + tail << QStringList{"4|CR or NUL"};
    QTest::newRow("question number out of range")
        << t1 << QByteArray("question 21\ncorrect 1\ntext T\nvariant *a\nvariant *b\ncomment C\n")
        << QStringList{"1|question number must be 1..20, not '21'", "0|question 1 is missing"};
    QTest::newRow("question twice")
        << t1 << head + "variant *a\nvariant *b\n" + tail + head + "variant *a\nvariant *b\n" + tail
        << QStringList{"7|question 1 is already defined at line 1"};
    QTest::newRow("picture missing")
        << t1 << head + "picture none.jpg\nvariant *a\nvariant *b\n" + tail
        << QStringList{"4|picture 'none.jpg' not found in pictures/"};
    QTest::newRow("picture outside pictures/")
        << t1 << head + "picture ../t01-q03.jpg\nvariant *a\nvariant *b\n" + tail
        << QStringList{"4|'../t01-q03.jpg' is not a file name in pictures/"};
    QTest::newRow("picture not a JPEG")
        << QStringLiteral("pictures/t01-q03.jpg") << QByteArray("GIF89a not a jpeg")
        << QStringList{"21|picture 't01-q03.jpg' is not a JPEG"};
    QTest::newRow("picture over 30000 bytes")
        << QStringLiteral("pictures/t01-q03.jpg") << QByteArray(30001, 'x')
        << QStringList{"21|picture 't01-q03.jpg' is 30001 bytes; at most 30000 fit"};
    QTest::newRow("text block over 30000 bytes")
        << t1
        << "question 1\ncorrect 1\ntext " + QByteArray(29990, 'a') + "\nvariant *a\nvariant *b\n" +
               tail
        << QStringList{"1|the text block of question 1 is 30008 bytes; at most 30000 fit"};
    QTest::newRow("title too long") << QStringLiteral("title.txt") << QByteArray(51, 'x') + '\n'
                                    << QStringList{"1|title is 51 characters long; at most 50 fit"};
    QTest::newRow("title unencodable")
        << QStringLiteral("title.txt") << QByteArray("База ≠\n") << QStringList{"1|'≠' (U+2260)"};
    QTest::newRow("title file missing")
        << QStringLiteral("title.txt") << QByteArray() << QStringList{"0|file is missing"};
    QTest::newRow("ticket file missing")
        << QStringLiteral("ticket40.txt") << QByteArray() << QStringList{"0|file is missing"};
}

void TestSourceFormat::read_faultySource_reportsEachProblemAtItsLine()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);
    const QString t1 = QStringLiteral("ticket01.txt");

    QTemporaryDir dir;
    writeSource(dir.path());
    const QString path = QDir(dir.path()).filePath(file);
    if (content.isNull())
        QVERIFY(QFile::remove(path));
    else if (file == t1)
        replaceFirstQuestion(dir.path(), content);
    else
        writeFile(path, content);

    SourceReader reader(dir.path());
    reader.read();
    QStringList actual;
    for (const SourceProblem &problem : reader.problems())
        actual << problem.toString();
    QCOMPARE(reader.problems().size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const SourceProblem &problem = reader.problems().at(i);
        const int line = expected.at(i).section(u'|', 0, 0).toInt();
        const QString part = expected.at(i).section(u'|', 1);
        QVERIFY2(problem.toString().contains(part), qPrintable(actual.join(u'\n')));
        QCOMPARE(problem.line, line);
        QVERIFY(problem.file.endsWith(file.startsWith(u"pictures") ? t1 : file));
    }
}

void TestSourceFormat::build_severalFaults_reportsAllAndWritesNothing()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("src"));
    writeSource(source);
    writeFile(QDir(source).filePath(QStringLiteral("title.txt")), QByteArray(60, 'x'));
    replaceFirstQuestion(source,
                         "question 1\ncorrect 9\ntext 😀\nvariant a\nvariant *b\ncomment C\n");
    QVERIFY(QFile::remove(QDir(source).filePath(QStringLiteral("ticket17.txt"))));
    const QString out = dir.filePath(QStringLiteral("out.dbv"));

    const Result result = dbv({"build", source, out});
    QCOMPARE(result.exitCode, 1);
    QVERIFY(result.out.isEmpty());
    const QStringList lines = QString::fromUtf8(result.err).split(u'\n', Qt::SkipEmptyParts);
    const QString t1 = QDir(source).filePath(QStringLiteral("ticket01.txt"));
    const QStringList expected = {
        QDir(source).filePath(QStringLiteral("title.txt")) + ":1: title is 60 characters long",
        t1 + ":2: the correct answer must be a number 1..5, not '9'",
        t1 + ":3: character '😀' (U+1F600) cannot be encoded in Windows-1251",
        t1 + ":4: answer variant without '*'",
        QDir(source).filePath(QStringLiteral("ticket17.txt")) + ": file is missing",
        "5 problems; " + out + " not written",
    };
    QCOMPARE(lines.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        QVERIFY2(lines.at(i).startsWith(expected.at(i)), qPrintable(lines.at(i)));
    QVERIFY(!QFile::exists(out));
}

void TestSourceFormat::build_authoringFreedoms_storedExactly()
{
    // What an author may do: a BOM and CR LF line ends, questions in any
    // order, comments and blank lines anywhere, spaces kept at both ends of a
    // value, "*" anywhere in a variant, an explicit closing line, "#" inside
    // a value, characters Windows-1251 has (€, №, ё), indented keywords, a
    // picture name with spaces around it and a picture shared by two questions.
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("src"));
    writeSource(source);
    const QByteArray ticket2 =
        QByteArray("\xEF\xBB\xBF# Билет 2\r\n") +
        "question 2\r\ncorrect 1\r\ntext Второй\r\nvariant *a\r\nvariant b*\r\n"
        "comment c\r\n\r\n" +
        "question 1\r\n  # note\r\n\tcorrect 2\r\npicture  t01-q03.jpg \r\n"
        "text  Цена 5 € за №1, ёж  \r\n\r\nvariant *Да #1 \r\n"
        "variant Нет*\r\nend конец списка\r\ncomment \r\n";
    QByteArray rest = readFile(QDir(source).filePath(QStringLiteral("ticket02.txt")));
    rest = rest.mid(rest.indexOf("question 3\n"));
    writeFile(QDir(source).filePath(QStringLiteral("ticket02.txt")), ticket2 + rest);
    const QString out = dir.filePath(QStringLiteral("out.dbv"));

    const Result built = dbv({"build", source, out});
    QVERIFY2(built.exitCode == 0, built.err.constData());
    QVERIFY(built.err.isEmpty());
    QVERIFY(built.out.startsWith(out.toUtf8() + ": 800 questions, 81 with pictures, "));
    const Result dumped = dbv({"dump", out, "--question", "21"});
    QCOMPARE(dumped.exitCode, 0);
    const QJsonObject q = QJsonDocument::fromJson(dumped.out)["questions"][0].toObject();
    QCOMPARE(q["correct"].toInt(), 2);
    QCOMPARE(q["text"].toString(), QStringLiteral(" Цена 5 € за №1, ёж  "));
    QCOMPARE(q["variants"].toArray(), QJsonArray({"*Да #1 ", "Нет*"}));
    QCOMPARE(q["comment"].toString(), QString());
    QCOMPARE(q["picture"]["width"].toInt(), 353);
    const QJsonObject q2 =
        QJsonDocument::fromJson(dbv({"dump", out, "--question", "22"}).out)["questions"][0]
            .toObject();
    QCOMPARE(q2["variants"].toArray(), QJsonArray({"*a", "b*"}));

    // The closing line is stored between the variants and the comment.
    QuestionDatabase database;
    database.openDatabase(out);
    QCOMPARE(database.readQuestionText(21).at(4), QStringLiteral("конец списка"));
}

void TestSourceFormat::roundTrip_buildExtractBuild_sameDumpAndBytes()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("src"));
    writeSource(source);
    replaceFirstQuestion(source,
                         "question 1\ncorrect 2\npicture t01-q13.jpg\ntext  x \nvariant *a  \n"
                         "variant b*\nvariant **\nend --\ncomment # не комментарий\n");
    const QString first = dir.filePath(QStringLiteral("first.dbv"));
    const QString extracted = dir.filePath(QStringLiteral("extracted"));
    const QString second = dir.filePath(QStringLiteral("second.dbv"));

    QCOMPARE(dbv({"build", source, first}).exitCode, 0);
    QCOMPARE(dbv({"extract", first, extracted}).exitCode, 0);
    const Result rebuilt = dbv({"build", extracted, second});
    QVERIFY2(rebuilt.exitCode == 0, rebuilt.err.constData());

    const Result firstDump = dbv({"dump", first});
    QCOMPARE(firstDump.exitCode, 0);
    QCOMPARE(dbv({"dump", second}).out, firstDump.out);
    QCOMPARE(readFile(second), readFile(first));
    // 81 questions show a picture; 1 and 13 share theirs, which is extracted once.
    QCOMPARE(QDir(extracted + "/pictures").entryList(QDir::Files).size(), 80);
}

QTEST_GUILESS_MAIN(TestSourceFormat)
#include "tst_sourceformat.moc"
