#include "questionbankerror.h"
#include "textblock.h"

#include <QTest>

class TestTextBlock : public QObject
{
    Q_OBJECT

private slots:
    void split_lineEnds_data();
    void split_lineEnds();
    void parse_variantsUntilLineWithoutStar();
};

void TestTextBlock::split_lineEnds_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("lf") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("cr") << QByteArray("a\rb") << QStringList{"a", "b"};
    QTest::newRow("crlf is one end") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("lfcr is two ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("nul ends text") << QByteArray("a\nb\0c\n", 6) << QStringList{"a", "b"};
    QTest::newRow("cp1251") << QByteArray("\xc2\xee\xef\xf0\xee\xf1")
                            << QStringList{QStringLiteral("Вопрос")};
}

void TestTextBlock::split_lineEnds()
{
    QFETCH(QByteArray, block);
    QFETCH(QStringList, lines);
    QCOMPARE(SplitTextBlock(block), lines);
}

void TestTextBlock::parse_variantsUntilLineWithoutStar()
{
    Question q;
    ParseQuestion({"2x", "Текст", "*А", "Б*", "", "Коммент"}, q, 1);
    QCOMPARE(q.CorrectVariant, 2);
    QCOMPARE(q.AnswerCount, 2);
    QCOMPARE(q.AnswerTexts[2], QStringLiteral("Б*"));
    QCOMPARE(q.CommentText, QStringLiteral("Коммент"));
    QVERIFY_THROWS_EXCEPTION(QuestionBankError, ParseQuestion({"x", "t"}, q, 5));
}

QTEST_GUILESS_MAIN(TestTextBlock)
#include "tst_textblock.moc"
