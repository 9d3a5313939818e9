// What the instructor's table says of a learner, without a server: the
// weakest topics, the last exam in words, and the CSV a spreadsheet opens.
#include "instructorreport.h"

#include <QTest>

Q_DECLARE_METATYPE(InstructorRow)

namespace {

AnswerOutcome outcome(int question, bool right, qint64 at)
{
    return AnswerOutcome{question, right, at, false};
}

} // namespace

class TestInstructorReport : public QObject
{
    Q_OBJECT

private slots:
    void weakestTopics_data();
    void weakestTopics();
    void lastExamText_data();
    void lastExamText();
    void csv_data();
    void csv();
};

void TestInstructorReport::weakestTopics_data()
{
    QTest::addColumn<QList<AnswerOutcome>>("answers");
    QTest::addColumn<QStringList>("weakest");
    // Topics of four questions: A 1–4, B 5–8, C 9–12, D 13–16, E 17–20.
    QTest::newRow("nothing answered: nothing is weak yet")
        << QList<AnswerOutcome>{} << QStringList{};
    QTest::newRow("the share known, not the share of answers right")
        << QList<AnswerOutcome>{outcome(1, true, 1), outcome(2, true, 2), outcome(5, true, 3),
                                outcome(9, false, 4), outcome(10, true, 5)}
        << QStringList{"B", "C", "A"};
    QTest::newRow("the last answer counts")
        << QList<AnswerOutcome>{outcome(1, false, 1), outcome(1, true, 2), outcome(5, true, 3),
                                outcome(5, false, 4)}
        << QStringList{"B", "A"};
    QTest::newRow("three at most, ties in the topics' order")
        << QList<AnswerOutcome>{outcome(1, false, 1), outcome(5, false, 2), outcome(9, false, 3),
                                outcome(13, false, 4), outcome(17, true, 5)}
        << QStringList{"A", "B", "C"};
}

void TestInstructorReport::weakestTopics()
{
    QFETCH(QList<AnswerOutcome>, answers);
    QFETCH(QStringList, weakest);
    QList<Topic> topics;
    for (int t = 0; t < 5; ++t)
        topics.append({QString(QChar('A' + t)), {4 * t + 1, 4 * t + 2, 4 * t + 3, 4 * t + 4}});
    QCOMPARE(InstructorReport::weakestTopics(topics, answers), weakest);
}

void TestInstructorReport::lastExamText_data()
{
    QTest::addColumn<std::optional<bool>>("passed");
    QTest::addColumn<int>("wrong");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << std::optional<bool>() << 0 << "—";
    QTest::newRow("passed") << std::optional<bool>(true) << 1 << "сдан";
    QTest::newRow("1") << std::optional<bool>(false) << 1 << "не сдан (1 ошибка)";
    QTest::newRow("3") << std::optional<bool>(false) << 3 << "не сдан (3 ошибки)";
    QTest::newRow("5") << std::optional<bool>(false) << 5 << "не сдан (5 ошибок)";
    QTest::newRow("11") << std::optional<bool>(false) << 11 << "не сдан (11 ошибок)";
    QTest::newRow("21") << std::optional<bool>(false) << 21 << "не сдан (21 ошибка)";
    QTest::newRow("22") << std::optional<bool>(false) << 22 << "не сдан (22 ошибки)";
}

void TestInstructorReport::lastExamText()
{
    QFETCH(std::optional<bool>, passed);
    QFETCH(int, wrong);
    QFETCH(QString, text);
    InstructorRow row;
    row.lastExamPassed = passed;
    row.lastExamWrong = wrong;
    QCOMPARE(InstructorReport::lastExamText(row), text);
}

void TestInstructorReport::csv_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("topics");
    QTest::addColumn<QString>("line");
    QTest::newRow("plain") << "Анна Петрова" << QStringList{"Знаки"}
                           << "Анна Петрова,73 %,12,1,2,сдан,Знаки,—";
    QTest::newRow("comma and quote")
        << "Петрова, Анна \"Аня\"" << QStringList{"Знаки", "Разметка"}
        << "\"Петрова, Анна \"\"Аня\"\"\",73 %,12,1,2,сдан,Знаки; Разметка,—";
    QTest::newRow("a line break in a name")
        << "Анна\nПетрова" << QStringList{} << "\"Анна\nПетрова\",73 %,12,1,2,сдан,,—";
    // A name a spreadsheet would run as a formula stays text.
    QTest::newRow("formula") << "=HYPERLINK(\"x\")" << QStringList{}
                             << "\"'=HYPERLINK(\"\"x\"\")\",73 %,12,1,2,сдан,,—";
    QTest::newRow("leading minus") << "-Анна" << QStringList{} << "'-Анна,73 %,12,1,2,сдан,,—";
}

void TestInstructorReport::csv()
{
    QFETCH(QString, name);
    QFETCH(QStringList, topics);
    QFETCH(QString, line);
    InstructorRow row;
    row.learner = {QStringLiteral("0b7c4f8e-5b1a-4c56-9a54-1f2e3d4c5b6a"), name};
    row.readiness = 0.7349;
    row.answersLastWeek = 12;
    row.examsPassed = 1;
    row.examsTaken = 2;
    row.lastExamPassed = true;
    row.weakestTopics = topics;
    const QByteArray csv = InstructorReport::toCsv({row});
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    const QString text = QString::fromUtf8(csv.mid(3));
    QVERIFY(text.startsWith(QStringLiteral("Ученик,Готовность,Ответов за 7 дней,Экзамены ГИБДД: "
                                           "сдано,из,Последний экзамен,Слабые темы,Последнее "
                                           "занятие\r\n")));
    QCOMPARE(text.section(QStringLiteral("\r\n"), 1, 1), line);
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
}

QTEST_GUILESS_MAIN(TestInstructorReport)
#include "tst_instructorreport.moc"
