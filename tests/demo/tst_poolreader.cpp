#include "poolreader.h"

#include <QTemporaryDir>
#include <QTest>

// The reader of hand-written questions: what it accepts and how it points
// at every mistake by file and line.
class TestPoolReader : public QObject
{
    Q_OBJECT

private slots:
    void parse_wellFormedBlocks_givesQuestionsWithTopics();
    void parse_windowsLineEndsAndBom_areAccepted();
    void parse_mistake_isReportedAtItsLine_data();
    void parse_mistake_isReportedAtItsLine();
    void parse_brokenQuestion_isLeftOutOthersKept();
    void readFolder_readsFilesInNameOrder_missingFolderIsEmpty();
    void topicRank_namedTopic_findsItsPlace_data();
    void topicRank_namedTopic_findsItsPlace();
};

namespace {

QByteArray block(const QByteArray &correct = "2", int variants = 3)
{
    QByteArray text = "question\ncorrect " + correct + "\ntext Можно ли?\n";
    for (int i = 1; i <= variants; ++i)
        text += "variant Ответ " + QByteArray::number(i) + ".\n";
    text += "comment Потому что так.\n";
    return text;
}

} // namespace

void TestPoolReader::parse_wellFormedBlocks_givesQuestionsWithTopics()
{
    const QByteArray contents =
        "# Тема: обгон\n" + block("3") + "\n# Тема: первая помощь\n" + block("1", 2);
    const PoolReader::Result result = PoolReader::parse(QStringLiteral("b.txt"), contents);
    QVERIFY2(result.errors.isEmpty(), qPrintable(result.errors.join(u'\n')));
    QCOMPARE(result.questions.size(), 2);
    const DemoQuestion &first = result.questions.at(0);
    QCOMPARE(first.text, QStringLiteral("Можно ли?"));
    QCOMPARE(first.variants, (QStringList{"Ответ 1.", "Ответ 2.", "Ответ 3."}));
    QCOMPARE(first.correct, 3);
    QCOMPARE(first.comment, QStringLiteral("Потому что так."));
    QCOMPARE(first.origin, QStringLiteral("b.txt:2"));
    QCOMPARE(first.topicRank, TopicRank::Overtaking);
    QCOMPARE(result.questions.at(1).variants.size(), 2);
    QCOMPARE(result.questions.at(1).topicRank, TopicRank::FirstAid);
}

void TestPoolReader::parse_windowsLineEndsAndBom_areAccepted()
{
    QByteArray contents = "\xEF\xBB\xBF" + block();
    contents.replace("\n", "\r\n");
    const PoolReader::Result result = PoolReader::parse(QStringLiteral("w.txt"), contents);
    QVERIFY2(result.errors.isEmpty(), qPrintable(result.errors.join(u'\n')));
    QCOMPARE(result.questions.size(), 1);
    QCOMPARE(result.questions.at(0).comment, QStringLiteral("Потому что так."));
}

void TestPoolReader::parse_mistake_isReportedAtItsLine_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("words");

    QTest::newRow("correct above variants") << block("4") << 2 << "correct 4";
    QTest::newRow("correct zero") << block("0") << 2 << "correct 0";
    QTest::newRow("correct not a number") << block("два") << 2 << "correct два";
    QTest::newRow("one variant") << block("1", 1) << 1 << "вариантов 1";
    QTest::newRow("six variants") << block("1", 6) << 1 << "вариантов 6";
    QTest::newRow("star in variant")
        << QByteArray(block()).replace("variant Ответ 2.", "variant *Ответ 2.") << 5 << "*";
    QTest::newRow("character outside Windows-1251")
        << QByteArray(block()).replace("Можно ли?", "Скорость ≥ 60?") << 3 << "Windows-1251";
    QTest::newRow("not UTF-8") << QByteArray(block()).replace("Можно ли?", "\xCC\xEE\xE6\xED\xEE?")
                               << 3 << "UTF-8";
    QTest::newRow("unknown keyword")
        << QByteArray(block()).replace("comment", "coment") << 7 << "coment";
    QTest::newRow("missing comment")
        << QByteArray(block()).replace("comment Потому что так.\n", "") << 1 << "comment";
    QTest::newRow("missing text") << QByteArray(block()).replace("text Можно ли?\n", "") << 1
                                  << "text";
    QTest::newRow("second text") << QByteArray(block()).replace("text Можно ли?\n",
                                                                "text Можно ли?\ntext Нельзя ли?\n")
                                 << 4 << "второй text";
    QTest::newRow("line outside a question")
        << "# x\ntext Без начала?\n" + block() << 2 << "question";
    QTest::newRow("empty value") << QByteArray(block()).replace("text Можно ли?", "text ") << 3
                                 << "нет значения";
    QTest::newRow("second question's mistake") << block() + "\n" + block("9") << 10 << "correct 9";
}

void TestPoolReader::parse_mistake_isReportedAtItsLine()
{
    QFETCH(QByteArray, contents);
    QFETCH(int, line);
    QFETCH(QString, words);
    const PoolReader::Result result = PoolReader::parse(QStringLiteral("pool.txt"), contents);
    QVERIFY(!result.errors.isEmpty());
    const QString expectedStart = QStringLiteral("pool.txt:%1: ").arg(line);
    bool found = false;
    for (const QString &error : result.errors)
        found = found || (error.startsWith(expectedStart) && error.contains(words));
    QVERIFY2(found, qPrintable(result.errors.join(u'\n')));
}

void TestPoolReader::parse_brokenQuestion_isLeftOutOthersKept()
{
    const QByteArray contents = block() + "\n" + block("7") + "\n" + block("1");
    const PoolReader::Result result = PoolReader::parse(QStringLiteral("p.txt"), contents);
    QCOMPARE(result.errors.size(), 1);
    QCOMPARE(result.questions.size(), 2);
    QCOMPARE(result.questions.at(1).origin, QStringLiteral("p.txt:17"));
}

void TestPoolReader::readFolder_readsFilesInNameOrder_missingFolderIsEmpty()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QList<QPair<QString, QByteArray>> files = {
        {"b.txt", block("1")}, {"a.txt", block("2") + "\n" + block("3")}, {"notes.md", "не пул"}};
    for (const auto &[name, contents] : files) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    const PoolReader::Result result = PoolReader::readFolder(dir.path());
    QVERIFY(result.errors.isEmpty());
    QCOMPARE(result.questions.size(), 3);
    QCOMPARE(result.questions.at(0).origin, QStringLiteral("a.txt:1"));
    QCOMPARE(result.questions.at(2).origin, QStringLiteral("b.txt:1"));

    const PoolReader::Result none = PoolReader::readFolder(dir.filePath("absent"));
    QVERIFY(none.errors.isEmpty());
    QVERIFY(none.questions.isEmpty());
}

void TestPoolReader::topicRank_namedTopic_findsItsPlace_data()
{
    QTest::addColumn<QString>("topic");
    QTest::addColumn<int>("rank");
    // Topics whose words overlap other topics' key words.
    QTest::newRow("railway, not pedestrian crossing")
        << "движение через железнодорожные пути" << TopicRank::Railway;
    QTest::newRow("crossings, not stopping")
        << "пешеходные переходы и места остановки маршрутных транспортных средств"
        << TopicRank::Crossings;
    QTest::newRow("stopping") << "Остановка и стоянка" << TopicRank::Stopping;
    QTest::newRow("duties, not general")
        << "общие обязанности водителей" << TopicRank::DriverDuties;
    QTest::newRow("lights, not signals")
        << "внешние световые приборы и звуковые сигналы" << TopicRank::Lights;
    QTest::newRow("traffic lights, not signals")
        << "сигналы светофора и регулировщика" << TopicRank::TrafficLights;
    QTest::newRow("hand signals") << "предупредительные сигналы" << TopicRank::Signals;
    QTest::newRow("unknown") << "разное" << TopicRank::Unknown;
}

void TestPoolReader::topicRank_namedTopic_findsItsPlace()
{
    QFETCH(QString, topic);
    QFETCH(int, rank);
    QCOMPARE(TopicRank::fromTopicName(topic), rank);
}

QTEST_GUILESS_MAIN(TestPoolReader)
#include "tst_poolreader.moc"
