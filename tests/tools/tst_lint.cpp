#include "lintchecks.h"
#include "linttext.h"
#include "ruleparagraphs.h"
#include "sourcefixture.h"

#include <QTemporaryDir>
#include <QTest>

using LintList = QList<LintQuestion>;
Q_DECLARE_METATYPE(LintList)

// The teaching-quality checks of dbv lint: each fault is found and counted,
// near misses are not, and the command turns the figures into an exit code.
class TestLint : public QObject
{
    Q_OBJECT

private slots:
    void checks_findTheFault_data();
    void checks_findTheFault();
    void longest_countsOnlyTextQuestionsWithThreeWordVariants();
    void habits_keyPositionAndVerdict_data();
    void habits_keyPositionAndVerdict();
    void citedParagraphs_data();
    void citedParagraphs();
    void paragraphExists_data();
    void paragraphExists();
    void limits_eachExceededLimitIsListed();
    void command_badDatabase_failsNamingQuestions();
    void command_relaxedLimits_pass();
};

namespace {

// Question `number` of ticket (number - 1) / 20 + 1, variants given bare.
LintQuestion question(int number, const QString &text, const QStringList &variants, int correct,
                      const QByteArray &picture = {},
                      const QString &comment = QStringLiteral("5. Так велит п. 10.1."))
{
    LintQuestion q;
    q.number = number;
    q.ticket = (number - 1) / 20 + 1;
    q.text = text;
    for (const QString &variant : variants)
        q.variants << variant + QStringLiteral(" *");
    q.correct = correct;
    q.comment = comment;
    q.pictureHash = picture;
    return q;
}

QStringList checksOf(const LintReport &report, int number)
{
    QStringList result;
    for (const LintFinding &finding : report.findings) {
        if (finding.number == number)
            result << finding.check;
    }
    return result;
}

const QString SpeedCar = QStringLiteral("С какой наибольшей скоростью разрешено двигаться вне "
                                        "населённого пункта на легковом автомобиле?");
const QString SpeedMoto = QStringLiteral("С какой наибольшей скоростью разрешено двигаться вне "
                                         "населённого пункта на мотоцикле?");
const QStringList Speeds = {QStringLiteral("70 км/ч."), QStringLiteral("90 км/ч."),
                            QStringLiteral("110 км/ч.")};
const QString MostComment =
    QStringLiteral("5. П. 12.4 запрещает остановку на мостах, путепроводах, "
                   "эстакадах и под ними, если полос в данном направлении "
                   "меньше трёх.");

} // namespace

void TestLint::checks_findTheFault_data()
{
    QTest::addColumn<LintList>("questions");
    QTest::addColumn<int>("flagged"); // 0: no finding at all
    QTest::addColumn<QString>("check");

    QTest::newRow("same check for another vehicle is a near duplicate")
        << LintList{question(1, SpeedCar, Speeds, 2), question(2, SpeedMoto, Speeds, 2)} << 2
        << "duplicate";
    // Not a near duplicate, but one rule with one answer for another road
    // user: the picture does not make it a new question.
    QTest::newRow("same check for another vehicle under another picture is one rule")
        << LintList{question(1, SpeedCar, Speeds, 2, "a"), question(22, SpeedMoto, Speeds, 2, "b")}
        << 22 << "rule";
    QTest::newRow("same rule with another answer is another question")
        << LintList{question(1, SpeedCar, Speeds, 2, "a"), question(22, SpeedMoto, Speeds, 3, "b")}
        << 0 << "";
    QTest::newRow("one rule taught twice in a ticket")
        << LintList{question(1, "Можно ли остановиться на мосту, где две полосы в вашу сторону?",
                             {"Можно.", "Нельзя."}, 2, "a", MostComment),
                    question(2, "Можно ли остановиться под мостом, где две полосы в вашу сторону?",
                             {"Можно, если нет знаков.", "Нельзя."}, 2, "b", MostComment)}
        << 2 << "ticket-rule";
    QTest::newRow("comment that only says the answer again")
        << LintList{question(1, "Разрешён ли обгон на регулируемом перекрёстке?",
                             {"Разрешён.", "Запрещён."}, 2, {},
                             QStringLiteral("5. Обгон на регулируемом перекрёстке запрещён."))}
        << 1 << "restating";
    QTest::newRow("a paragraph past the end of its section")
        << LintList{question(1, "Разрешён ли обгон на регулируемом перекрёстке?",
                             {"Разрешён.", "Запрещён."}, 2, {},
                             QStringLiteral("5. П. 11.14 запрещает обгон на регулируемом "
                                            "перекрёстке."))}
        << 1 << "paragraph";
    QTest::newRow("numbers of the list of faults are its own")
        << LintList{question(1, "Можно ли ехать, если не работает стеклоочиститель?",
                             {"Можно.", "Нельзя."}, 2, {},
                             QStringLiteral("5. П. 4.1 Перечня неисправностей: в дождь "
                                            "ехать нельзя."))}
        << 0 << "";
    QTest::newRow("the same comment with its reason and paragraph teaches")
        << LintList{question(1, "Разрешён ли обгон на регулируемом перекрёстке?",
                             {"Разрешён.", "Запрещён."}, 2, {},
                             QStringLiteral("5. П. 11.4 запрещает обгон на регулируемом "
                                            "перекрёстке."))}
        << 0 << "";
    QTest::newRow("a long comment without a paragraph is not a restatement")
        << LintList{question(1, "Разрешён ли обгон на регулируемом перекрёстке?",
                             {"Разрешён.", "Запрещён."}, 2, {},
                             QStringLiteral("5. Водители на перекрёстке смотрят на сигналы и "
                                            "поворачивающих, а не на встречную полосу."))}
        << 0 << "";
    QTest::newRow("same picture and same answer is a duplicate")
        << LintList{question(1, "Как называется этот знак?", {"Въезд запрещён.", "Тупик."}, 1, "a"),
                    question(2, "Что означает этот знак?", {"Тупик.", "Въезд запрещён."}, 2, "a")}
        << 2 << "duplicate";
    QTest::newRow("numbers out of order")
        << LintList{question(1, "Сколько?", {"90 км/ч.", "60 км/ч.", "110 км/ч."}, 1)} << 1
        << "numeric";
    QTest::newRow("numbers after the same words, out of order")
        << LintList{question(1, "На каком расстоянии?", {"Ближе 3 м.", "Ближе 15 м.", "Ближе 5 м."},
                             3)}
        << 1 << "numeric";
    QTest::newRow("numbers after different words are not a scale")
        << LintList{question(1, "Какой длины?", {"От 4 до 6 м.", "Не более 10 м."}, 1)} << 0 << "";
    QTest::newRow("numbers in order")
        << LintList{question(1, "Сколько?", {"60 км/ч.", "90 км/ч.", "110 км/ч."}, 2)} << 0 << "";
    QTest::newRow("correct variant repeats the question")
        << LintList{question(
               1, "Разрешена ли стоянка на обочине автомагистрали?",
               {"Разрешена.", "Разрешена ночью.", "Стоянка на обочине автомагистрали запрещена."},
               3)}
        << 1 << "echo";
    QTest::newRow("fourth use of a picture")
        << LintList{question(1, "Первый?", {"Направо.", "Нет."}, 1, "p"),
                    question(2, "Второй?", {"Налево.", "Нет."}, 1, "p"),
                    question(3, "Третий?", {"Прямо.", "Нет."}, 1, "p"),
                    question(4, "Четвёртый?", {"Назад.", "Нет."}, 1, "p")}
        << 1 << "picture";
    QTest::newRow("answer written in another question of the ticket")
        << LintList{question(1, "Как называется этот знак?",
                             {"Начало населённого пункта.", "Конец населённого пункта."}, 2, "s"),
                    question(5, "Какой из этих знаков обозначает конец населённого пункта?",
                             {"Знак 1.", "Знак 2."}, 1, "t")}
        << 1 << "leak";
    QTest::newRow("the same two questions in different tickets")
        << LintList{question(1, "Как называется этот знак?",
                             {"Начало населённого пункта.", "Конец населённого пункта."}, 2, "s"),
                    question(25, "Какой из этих знаков обозначает конец населённого пункта?",
                             {"Знак 1.", "Знак 2."}, 1, "t")}
        << 0 << "";
    QTest::newRow("two common words are no giveaway")
        << LintList{question(1, "Как поступить?", {"Уступить дорогу.", "Проехать."}, 1),
                    question(2, "Кому вы должны уступить дорогу?", {"Никому.", "Всем."}, 1)}
        << 0 << "";
    LintQuestion starFirst = question(1, "Вопрос?", {"Да.", "Нет."}, 1);
    starFirst.variants = {QStringLiteral("*Да."), QStringLiteral("*Нет.")};
    QTest::newRow("marker at the start") << LintList{starFirst} << 1 << "marker";
    QTest::newRow("comment in lower case")
        << LintList{question(1, "Вопрос?", {"Да.", "Нет."}, 1, {}, QStringLiteral("5. пояснение."))}
        << 1 << "comment";
    QTest::newRow("empty comment after the number")
        << LintList{question(1, "Вопрос?", {"Да.", "Нет."}, 1, {}, QStringLiteral("5. "))} << 1
        << "comment";
    QTest::newRow("comment starting with a number")
        << LintList{question(1, "Вопрос?", {"Да.", "Нет."}, 1, {},
                             QStringLiteral("5. 90 км/ч — предел вне населённых пунктов."))}
        << 0 << "";
}

void TestLint::checks_findTheFault()
{
    QFETCH(LintList, questions);
    QFETCH(int, flagged);
    QFETCH(QString, check);
    const LintReport report = lintQuestions(questions);
    if (flagged == 0) {
        QVERIFY2(
            report.findings.isEmpty(),
            qPrintable(report.findings.isEmpty() ? QString() : report.findings.first().message));
        return;
    }
    QVERIFY2(checksOf(report, flagged).contains(check),
             qPrintable(checksOf(report, flagged).join(u',')));
    for (const LintFinding &finding : report.findings)
        QCOMPARE(finding.number, flagged);
}

void TestLint::longest_countsOnlyTextQuestionsWithThreeWordVariants()
{
    const LintList questions = {
        // Counted: the correct variant the longest, and 1.5 times the next.
        question(1, "Первый вопрос?", {"Коротко.", "Тоже коротко.", "Правильный и длинный ответ."},
                 3),
        // Counted, not the longest.
        question(2, "Второй вопрос?", {"Верно.", "Неверный длинный ответ.", "Неверно."}, 1),
        // Not counted: two variants, a picture, numbers.
        question(3, "Третий вопрос?", {"Короткий.", "Правильный длинный ответ."}, 2),
        question(4, "Четвёртый?", {"А.", "Б.", "Правильный длинный ответ."}, 3, "p"),
        question(5, "Пятый?", {"10 м.", "20 м.", "150 м и более."}, 3),
    };
    const LintReport report = lintQuestions(questions);
    QCOMPARE(report.summary.longestBase, 2);
    QCOMPARE(report.summary.longestCorrect, 1);
    QCOMPARE(checksOf(report, 1), QStringList{"longest"});
    QCOMPARE(report.exceeded.size(), 1); // 50 % against 40 %
    QVERIFY(report.exceeded.first().contains(QStringLiteral("longest")));
}

void TestLint::habits_keyPositionAndVerdict_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("rotateKey");       // keyed 1, 2, 3 in turn, or always 2
    QTest::addColumn<int>("forbiddenEvery");   // every n-th yes/no question keyed «Нельзя»
    QTest::addColumn<QStringList>("exceeded"); // limits named, by their first word

    QTest::newRow("keyed in turn, half forbidden: passes") << 120 << true << 2 << QStringList{};
    QTest::newRow("always the second variant") << 120 << false << 2 << QStringList{"questions"};
    QTest::newRow("always forbidden") << 120 << true << 1 << QStringList{"yes/no"};
    QTest::newRow("a habit in too few questions is not judged")
        << 24 << false << 1 << QStringList{};
}

void TestLint::habits_keyPositionAndVerdict()
{
    QFETCH(int, count);
    QFETCH(bool, rotateKey);
    QFETCH(int, forbiddenEvery);
    QFETCH(QStringList, exceeded);
    LintList questions;
    for (int i = 0; i < count; ++i) {
        const int key = rotateKey ? i % 3 + 1 : 2;
        const bool forbidden = i % forbiddenEvery == 0;
        // Every question offers «Можно» and «Нельзя», keyed at `key`.
        QStringList variants(3, QStringLiteral("Только днём."));
        variants[key - 1] = forbidden ? QStringLiteral("Нельзя.") : QStringLiteral("Можно.");
        variants[key % 3] = forbidden ? QStringLiteral("Можно.") : QStringLiteral("Нельзя.");
        questions << question(i + 1, QStringLiteral("Вопрос %1?").arg(i), variants, key,
                              QByteArray::number(i));
    }
    const LintReport report = lintQuestions(questions);
    QStringList named;
    for (const QString &line : report.exceeded)
        named << line.section(u' ', 0, 0);
    QVERIFY2(named == exceeded, qPrintable(report.exceeded.join(u';')));
}

void TestLint::citedParagraphs_data()
{
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QStringList>("cited");
    QTest::newRow("one") << "5. П. 13.9: уступите." << QStringList{"13.9"};
    QTest::newRow("two joined") << "Пп. 8.1 и 8.2 требуют сигнала." << QStringList{"8.1", "8.2"};
    QTest::newRow("sub-paragraph")
        << "По п. 2.1.1(1) полис можно показать в телефоне." << QStringList{"2.1.1"};
    QTest::newRow("a sign's number is no paragraph")
        << "Знак 3.27 запрещает остановку." << QStringList{};
    QTest::newRow("another document without a dotted number")
        << "Основные положения, п. 8, о знаке «Шипы»." << QStringList{};
}

void TestLint::citedParagraphs()
{
    QFETCH(QString, comment);
    QFETCH(QStringList, cited);
    QCOMPARE(LintText::citedParagraphs(comment), cited);
}

void TestLint::paragraphExists_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("exists");
    // Every section's first and last paragraph, and a step past the end.
    QTest::newRow("1.2 terms") << "1.2" << true;
    QTest::newRow("1.7 past the general provisions") << "1.7" << false;
    QTest::newRow("6.16 last of the signals") << "6.16" << true;
    QTest::newRow("8.13 last of the manoeuvres") << "8.13" << true;
    QTest::newRow("8.14") << "8.14" << false;
    QTest::newRow("13.13 last of the intersections") << "13.13" << true;
    QTest::newRow("13.19") << "13.19" << false;
    QTest::newRow("19.11 last of the lights") << "19.11" << true;
    QTest::newRow("24.11") << "24.11" << true;
    QTest::newRow("26.1 no such section") << "26.1" << false;
    QTest::newRow("0.1") << "0.1" << false;
    QTest::newRow("13.0") << "13.0" << false;
    // Sub-paragraphs exist only where the rules have them.
    QTest::newRow("2.1.1 documents") << "2.1.1" << true;
    QTest::newRow("2.3.4 reflective vest") << "2.3.4" << true;
    QTest::newRow("2.6.1 property damage") << "2.6.1" << true;
    QTest::newRow("22.2.1 motorcycle passengers") << "22.2.1" << true;
    QTest::newRow("13.11(1) roundabouts") << "13.11(1)" << true;
    QTest::newRow("2.1.5") << "2.1.5" << false;
    QTest::newRow("13.9.1") << "13.9.1" << false;
    QTest::newRow("13.9(1)") << "13.9(1)" << false;
    QTest::newRow("not a number") << "п.13" << false;
}

void TestLint::paragraphExists()
{
    QFETCH(QString, number);
    QFETCH(bool, exists);
    QCOMPARE(RuleParagraphs::exists(number), exists);
}

void TestLint::limits_eachExceededLimitIsListed()
{
    LintList questions = {question(1, SpeedCar, Speeds, 2, "p"),
                          question(2, SpeedMoto, Speeds, 2, "p"),
                          question(3, "Сколько?", {"60 км/ч.", "50 км/ч."}, 1, "p"),
                          question(4, "Когда?", {"Днём.", "Ночью."}, 1, "p")};
    LintReport report = lintQuestions(questions);
    QCOMPARE(report.summary.duplicateCopies, 1);
    QCOMPARE(report.summary.maxPictureUses, 4);
    QCOMPARE(report.summary.unorderedNumeric, 1);
    // Near duplicates (1) are within the default 16; the picture, the
    // order and the speed rule asked twice in ticket 1 are not.
    QCOMPARE(report.exceeded.size(), 3);

    LintLimits strict;
    strict.maxDuplicateCopies = 0;
    strict.maxPictureUses = 4;
    strict.maxUnorderedNumeric = 1;
    strict.maxTicketRuleRepeats = 1;
    report = lintQuestions(questions, strict);
    QCOMPARE(report.exceeded.size(), 1);
    QVERIFY(report.exceeded.first().startsWith(QStringLiteral("near-duplicate")));
}

void TestLint::command_badDatabase_failsNamingQuestions()
{
    // The synthetic database is well-formed but teaches nothing: its texts
    // repeat one pattern and its variants carry "*" in front.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SourceFixture::writeSource(dir.filePath("src"));
    const QString database = dir.filePath("bad.dbv");
    QCOMPARE(SourceFixture::dbv({"build", dir.filePath("src"), database}).exitCode, 0);

    const SourceFixture::Result result = SourceFixture::dbv({"lint", database});
    QCOMPARE(result.exitCode, 1);
    QVERIFY(result.out.contains("question 1 (ticket 1, question 1): [marker]"));
    QVERIFY(result.out.contains("variants without \" *\" at the end: 800"));
    QVERIFY(
        result.err.contains("limit exceeded: variants without \" *\" at the end: 800, limit 0"));
    QVERIFY(result.err.contains("limit exceeded: near-duplicate copies"));
}

void TestLint::command_relaxedLimits_pass()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SourceFixture::writeSource(dir.filePath("src"));
    const QString database = dir.filePath("bad.dbv");
    QCOMPARE(SourceFixture::dbv({"build", dir.filePath("src"), database}).exitCode, 0);

    const SourceFixture::Result relaxed = SourceFixture::dbv(
        {"lint", database, "--summary", "--max-markers", "800", "--max-duplicates", "800",
         "--max-restating", "800", "--max-key-share", "100"});
    QCOMPARE(relaxed.exitCode, 0);
    QVERIFY(!relaxed.out.contains("[marker]"));
    QCOMPARE(SourceFixture::dbv({"lint", database, "--max-picture-uses", "many"}).exitCode, 2);
}

QTEST_GUILESS_MAIN(TestLint)
#include "tst_lint.moc"
