#include "questionbankerror.h"
#include "textblock.h"
#include "windows1251.h"

#include <QStringDecoder>
#include <QTest>

// Splitting text blocks into lines and parsing them into questions.
class TestTextBlock : public QObject
{
    Q_OBJECT

private slots:
    void decode_everyByteAsQtsConverter();
    void decode_russianText_data();
    void decode_russianText();

    void split_lineEnds_data();
    void split_lineEnds();

    void parse_wellFormed_data();
    void parse_wellFormed();
    void parse_keepsSlotsAboveCountFromEarlierQuestion();

    void parse_malformed_rejectedWithNumber_data();
    void parse_malformed_rejectedWithNumber();
};

void TestTextBlock::decode_everyByteAsQtsConverter()
{
    // The program's own table against Qt's converter, byte by byte.
    for (int code = 0; code < 256; ++code) {
        const char byte = char(code);
        QStringDecoder reference("windows-1251");
        QCOMPARE(decodeWindows1251(QByteArrayView(&byte, 1)),
                 reference.decode(QByteArrayView(&byte, 1)));
    }
}

void TestTextBlock::decode_russianText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("title") << QByteArray("\xc1\xe8\xeb\xe5\xf2\xfb \xc0\xc2")
                           << QStringLiteral("Билеты АВ");
    QTest::newRow("yo, quotes, dash, number sign")
        << QByteArray("\xa8\xb8 \xab\xd1\xd2\xce\xcf\xbb \x97 \xb9 1")
        << QStringLiteral("Ёё «СТОП» — № 1");
    QTest::newRow("line ends and a NUL stay")
        << QByteArray("\xe0\r\n\xff\0!", 6) << QStringLiteral("а\r\nя") + QChar(0) + u'!';
}

void TestTextBlock::decode_russianText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeWindows1251(bytes), text);
}

void TestTextBlock::split_lineEnds_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("lf") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("cr") << QByteArray("a\rb") << QStringList{"a", "b"};
    QTest::newRow("crlf is one end") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("lfcr is two ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("mixed") << QByteArray("1\r\nq\rv*\nw*\r\n\ncomment")
                           << QStringList{"1", "q", "v*", "w*", "", "comment"};
    QTest::newRow("empty lines kept") << QByteArray("\n\n") << QStringList{"", ""};
    QTest::newRow("last line without end") << QByteArray("a\nlast") << QStringList{"a", "last"};
    QTest::newRow("nul ends text") << QByteArray("a\nb\0c\n", 6) << QStringList{"a", "b"};
    QTest::newRow("nul at start") << QByteArray("\0a\n", 3) << QStringList{};
    QTest::newRow("empty") << QByteArray() << QStringList{};
    QTest::newRow("cp1251") << QByteArray("\xc2\xee\xef\xf0\xee\xf1 \xb9\xab\xbb")
                            << QStringList{QStringLiteral("Вопрос №«»")};
}

void TestTextBlock::split_lineEnds()
{
    QFETCH(QByteArray, block);
    QFETCH(QStringList, lines);
    QCOMPARE(splitTextBlock(block), lines);
}

void TestTextBlock::parse_wellFormed_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("correct");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("variants");
    QTest::addColumn<QString>("comment");

    QTest::newRow("two variants, rest of line 0 ignored")
        << QStringList{"2 любой хвост", "Текст", "*А", "*Б", "", "Коммент", "лишнее"} << 2 << 2
        << QStringList{"*А", "*Б"} << "Коммент";
    QTest::newRow("star at the very end is a variant")
        << QStringList{"1", "Текст", "Да*", "Нет *", "конец", "Коммент"} << 1 << 2
        << QStringList{"Да*", "Нет *"} << "Коммент";
    QTest::newRow("five variants") << QStringList{"5", "Т", "*1", "*2", "*3", "*4", "*5", "", "К"}
                                   << 5 << 5 << QStringList{"*1", "*2", "*3", "*4", "*5"} << "К";
    QTest::newRow("line 2 without star gives no variants")
        << QStringList{"1", "Т", "без звезды", "К"} << 1 << 0 << QStringList{"без звезды"} << "К";
}

void TestTextBlock::parse_wellFormed()
{
    QFETCH(QStringList, lines);
    QFETCH(int, correct);
    QFETCH(int, count);
    QFETCH(QStringList, variants);
    QFETCH(QString, comment);

    Question q;
    parseQuestion(lines, q, 1);
    QCOMPARE(q.correctVariant, correct);
    QCOMPARE(q.questionText, lines.at(1));
    QCOMPARE(q.answerCount, count);
    for (int n = 1; n <= variants.size(); ++n)
        QCOMPARE(q.answerTexts[n], variants.at(n - 1));
    QCOMPARE(q.commentText, comment);
}

void TestTextBlock::parse_keepsSlotsAboveCountFromEarlierQuestion()
{
    Question q;
    parseQuestion({"1", "Т", "*1", "*2", "*3", "*4", "", "К"}, q, 1);
    parseQuestion({"2", "Т2", "*а", "*б", "", "К2"}, q, 2);
    QCOMPARE(q.answerCount, 2);
    QCOMPARE(q.answerTexts[2], QStringLiteral("*б"));
    QCOMPARE(q.answerTexts[3], QStringLiteral("*3"));
    QCOMPARE(q.answerTexts[4], QStringLiteral("*4"));
}

void TestTextBlock::parse_malformed_rejectedWithNumber_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("line 0 not a digit") << QStringList{"x", "Т", "*1", "*2", "", "К"};
    QTest::newRow("line 0 is 0") << QStringList{"0", "Т", "*1", "*2", "", "К"};
    QTest::newRow("line 0 is 6") << QStringList{"6", "Т", "*1", "*2", "", "К"};
    QTest::newRow("line 0 empty") << QStringList{"", "Т", "*1", "*2", "", "К"};
    QTest::newRow("empty block") << QStringList{};
    QTest::newRow("no comment line") << QStringList{"1", "Т", "*1", "*2", ""};
    QTest::newRow("variants run to the end") << QStringList{"1", "Т", "*1", "*2"};
    QTest::newRow("six variants") << QStringList{"1",  "Т",  "*1", "*2", "*3",
                                                 "*4", "*5", "*6", "",   "К"};
}

void TestTextBlock::parse_malformed_rejectedWithNumber()
{
    QFETCH(QStringList, lines);
    Question q;
    q.questionText = QStringLiteral("прежний");
    try {
        parseQuestion(lines, q, 437);
        QFAIL("malformed block was accepted");
    } catch (const QuestionBankError &e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Вопрос №437 (билет 22, вопрос 17)")),
                 qPrintable(e.message()));
    }
    QCOMPARE(q.questionText, QStringLiteral("прежний"));
}

QTEST_GUILESS_MAIN(TestTextBlock)
#include "tst_textblock.moc"
