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
    void parse_limits_data();
    void parse_limits();
    void writeThenRead_givesTheSameTopics();
    void fromQuestionTopics_keepsFirstAppearanceOrder();
};

void TestTopicsFile::pathFor_data()
{
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("topics");
    QTest::newRow("dbv") << "/a/dataAB.dbv"
                         << "/a/dataAB.topics.json";
    QTest::newRow("upper case") << "C:/b/DATA.DBV"
                                << "C:/b/DATA.topics.json";
    QTest::newRow("other name") << "x.bin"
                                << "x.bin.topics.json";
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
    QTest::newRow("unnamed") << QByteArray(R"({"topics":[{"questions":[3]}]})")
                             << "topic 1: no name";
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
    // Numbers beyond any integer are refused before they are converted.
    QTest::newRow("huge number") << QByteArray(R"({"topics":[{"name":"A","questions":[1e300]}]})")
                                 << "is not a question number";
    QTest::newRow("huge negative number")
        << QByteArray(R"({"topics":[{"name":"A","questions":[-1e300, 3]}]})")
        << "is not a question number";
    // Hostile shapes: nesting far beyond any topics file, values of the
    // wrong type where a name, a list or a topic should be, and bytes that
    // are not UTF-8.
    QTest::newRow("nested 100000 deep")
        << (R"({"topics":)" + QByteArray(100000, '[') + QByteArray(100000, ']') + "}")
        << "too deeply nested";
    QTest::newRow("topics an object")
        << QByteArray(R"({"topics":{"name":"A"}})") << "\"topics\" array";
    QTest::newRow("topic a number") << QByteArray(R"({"topics":[5]})") << "topic 1: no name";
    QTest::newRow("name a number")
        << QByteArray(R"({"topics":[{"name":5,"questions":[1]}]})") << "topic 1: no name";
    QTest::newRow("questions a string")
        << QByteArray(R"({"topics":[{"name":"A","questions":"1,2"}]})")
        << "topic 1 (\"A\"): no questions";
    QTest::newRow("questions null") << QByteArray(R"({"topics":[{"name":"A","questions":null}]})")
                                    << "topic 1 (\"A\"): no questions";
    QTest::newRow("name not UTF-8")
        << QByteArray("{\"topics\":[{\"name\":\"\xcf\xe4\xe4\",\"questions\":[1]}]}")
        << "not valid JSON";
    // A file of thousands of faults lists some and counts the rest.
    QByteArray repeats = R"({"topics":[{"name":"A","questions":[1)";
    for (int i = 0; i < 10000; ++i)
        repeats += ",1";
    QTest::newRow("thousands of faults") << repeats + "]}]}"
                                         << "and 9950 more problems";
}

void TestTopicsFile::parse_limits_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("limit"); // TopicsFile::Excess::Limit; None: within the limits
    QTest::addColumn<qint64>("found");
    QTest::addColumn<int>("topic");

    const auto topics = [](int count, int nameLength) {
        QByteArray json = R"({"topics":[)";
        for (int i = 1; i <= count; ++i) {
            json += (i > 1 ? "," : "") + QByteArray(R"({"name":")") + QByteArray::number(i) +
                    QByteArray(nameLength, 'x') + R"(","questions":[1]})";
        }
        return json + "]}";
    };
    using L = TopicsFile::Excess::Limit;
    QTest::newRow("most topics, longest names")
        << topics(TopicsFile::MaxTopics, TopicsFile::MaxNameLength - 3) << int(L::None) << qint64(0)
        << 0;
    QTest::newRow("one topic too many") << topics(TopicsFile::MaxTopics + 1, 1) << int(L::Topics)
                                        << qint64(TopicsFile::MaxTopics + 1) << 0;
    QTest::newRow("20000 topics") << topics(20000, 0) << int(L::Topics) << qint64(20000) << 0;
    QTest::newRow("a name one character too long")
        << topics(3, TopicsFile::MaxNameLength) << int(L::NameLength)
        << qint64(TopicsFile::MaxNameLength + 1) << 1;
    const QByteArray tooLarge = R"({"topics":[{"name":")" +
                                QByteArray(int(TopicsFile::MaxFileSize), 'x') +
                                R"(","questions":[1]}]})";
    QTest::newRow("a name of a megabyte")
        << tooLarge << int(L::FileSize) << qint64(tooLarge.size()) << 0;
}

void TestTopicsFile::parse_limits()
{
    QFETCH(QByteArray, json);
    QFETCH(int, limit);
    QFETCH(qint64, found);
    QFETCH(int, topic);
    TopicsFile::Excess excess;
    QStringList problems;
    const auto topics = TopicsFile::parse(json, &problems, &excess);
    QCOMPARE(int(excess.limit), limit);
    QCOMPARE(excess.found, found);
    QCOMPARE(excess.topic, topic);
    QCOMPARE(topics.has_value(), limit == int(TopicsFile::Excess::Limit::None));
    QVERIFY(problems.size() <= TopicsFile::MaxProblems + 1);
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
    const QList<Topic> topics =
        TopicsFile::fromQuestionTopics({{"Б"}, {"А", "Б"}, {}, {" А ", "В"}, {"Б", "Б"}});
    QCOMPARE(topics, (QList<Topic>{{"Б", {1, 2, 5}}, {"А", {2, 4}}, {"В", {4}}}));
    QCOMPARE(TopicsFile::topicsOf(topics, 4), (QStringList{"А", "В"}));
}

QTEST_MAIN(TestTopicsFile)
#include "tst_topicsfile.moc"
