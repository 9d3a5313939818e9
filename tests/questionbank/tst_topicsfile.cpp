#include "topicsfile.h"

#include <QTemporaryDir>
#include <QTest>

// The topics file beside a database: its path, what it must hold, and a
// write that reads back the same.
class TestTopicsFile : public QObject
{
    Q_OBJECT
private slots:
    void pathFor_data();
    void pathFor();
    void parse_data();
    void parse();
    void writeThenRead_givesTheSameTopics();
    void fromQuestionTopics_keepsFirstAppearanceOrder();
};

void TestTopicsFile::pathFor_data()
{
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("topics");
    QTest::newRow("dbv") << "/a/dataAB.dbv" << "/a/dataAB.topics.json";
    QTest::newRow("upper case") << "C:/b/DATA.DBV" << "C:/b/DATA.topics.json";
    QTest::newRow("other name") << "x.bin" << "x.bin.topics.json";
}

void TestTopicsFile::pathFor()
{
    QFETCH(QString, database);
    QFETCH(QString, topics);
    QCOMPARE(TopicsFile::pathFor(database), topics);
}

void TestTopicsFile::parse_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("problem"); // empty: valid

    QTest::newRow("valid") << QByteArray(R"({"topics":[{"name":"Знаки","questions":[1,800]},)"
                                         R"({"name":"Разметка","questions":[1]}]})")
                           << "";
    QTest::newRow("no topics at all") << QByteArray(R"({"topics":[]})") << "";
    QTest::newRow("not JSON") << QByteArray("{\"topics\": [") << "not valid JSON";
    QTest::newRow("no topics array") << QByteArray(R"({"topic":[]})") << "\"topics\" array";
    QTest::newRow("empty topic") << QByteArray(R"({"topics":[{"name":"A","questions":[]}]})")
                                 << "topic 1 (\"A\"): no questions";
    QTest::newRow("unnamed") << QByteArray(R"({"topics":[{"questions":[3]}]})") << "topic 1: no name";
    QTest::newRow("same name twice")
        << QByteArray(R"({"topics":[{"name":"A","questions":[1]},{"name":"A","questions":[2]}]})")
        << "topic 2: \"A\" appears twice";
    QTest::newRow("zero") << QByteArray(R"({"topics":[{"name":"A","questions":[0]}]})")
                          << "0 is not a question number";
    QTest::newRow("801") << QByteArray(R"({"topics":[{"name":"A","questions":[801]}]})")
                         << "801 is not a question number";
    QTest::newRow("fraction") << QByteArray(R"({"topics":[{"name":"A","questions":[1.5]}]})")
                              << "1.5 is not a question number";
    QTest::newRow("string") << QByteArray(R"({"topics":[{"name":"A","questions":["7"]}]})")
                            << "7 is not a question number";
    QTest::newRow("repeated") << QByteArray(R"({"topics":[{"name":"A","questions":[5,5]}]})")
                              << "question 5 listed twice";
}

void TestTopicsFile::parse()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, problem);
    QStringList problems;
    const auto topics = TopicsFile::parse(json, &problems);
    if (problem.isEmpty()) {
        QVERIFY2(topics, qPrintable(problems.join('\n')));
        return;
    }
    QVERIFY(!topics);
    QVERIFY2(problems.join('\n').contains(problem), qPrintable(problems.join('\n')));
}

void TestTopicsFile::writeThenRead_givesTheSameTopics()
{
    QTemporaryDir dir;
    const QList<Topic> topics{{"Дорожные знаки", {1, 2, 799}}, {"Скорость", {2}}};
    const QString path = dir.filePath("db.topics.json");
    QVERIFY(TopicsFile::write(path, topics));
    QCOMPARE(TopicsFile::read(path), topics);
    // A folder, or a missing file, is refused with a reason.
    QStringList problems;
    QVERIFY(!TopicsFile::read(dir.path(), &problems));
    QCOMPARE(problems.size(), 1);
}

void TestTopicsFile::fromQuestionTopics_keepsFirstAppearanceOrder()
{
    const QList<Topic> topics = TopicsFile::fromQuestionTopics(
        {{"Б"}, {"А", "Б"}, {}, {" А ", "В"}, {"Б", "Б"}});
    QCOMPARE(topics, (QList<Topic>{{"Б", {1, 2, 5}}, {"А", {2, 4}}, {"В", {4}}}));
    QCOMPARE(TopicsFile::topicsOf(topics, 4), (QStringList{"А", "В"}));
}

QTEST_MAIN(TestTopicsFile)
#include "tst_topicsfile.moc"
