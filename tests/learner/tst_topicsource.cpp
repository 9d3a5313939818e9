// The topics beside a database as the learner's window gets them: a missing
// file is no fault, a broken or unreadable one is said so in plain words.
#include "topicsource.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestTopicSource : public QObject
{
    Q_OBJECT

private slots:
    void load_data();
    void load();
};

void TestTopicSource::load_data()
{
    // What lies beside "dataAB.dbv": nothing, a folder, or a file with
    // `content`; then how many topics come of it (-1: none) and why not.
    QTest::addColumn<QString>("beside");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("topics");
    QTest::addColumn<QString>("problem");
    const QString damaged =
        QStringLiteral("Файл тем «dataAB.topics.json» повреждён, поэтому темы не показаны.");

    QTest::newRow("missing: no topics, no fault") << "nothing" << QByteArray() << -1 << QString();
    QTest::newRow("valid") << "file"
                           << QByteArray(R"({"topics": [{"name": "Разметка", "questions": [40, 3]},
                                          {"name": "Знаки", "questions": [3, 800]}]})")
                           << 2 << QString();
    QTest::newRow("cut short") << "file" << QByteArray(R"({"topics": [{"name": "Знаки", "quest)")
                               << -1 << damaged;
    QTest::newRow("not JSON") << "file" << QByteArray("\xff\xfe garbage") << -1 << damaged;
    QTest::newRow("empty file") << "file" << QByteArray() << -1 << damaged;
    QTest::newRow("question out of range")
        << "file" << QByteArray(R"({"topics": [{"name": "Знаки", "questions": [801]}]})") << -1
        << damaged;
    QTest::newRow("no topic in it")
        << "file" << QByteArray(R"({"topics": []})") << -1
        << QStringLiteral("В файле тем «dataAB.topics.json» нет ни одной темы.");
    QByteArray manyTopics = R"({"topics": [)";
    for (int i = 1; i <= 1000; ++i)
        manyTopics += (i > 1 ? "," : "") + QByteArray(R"({"name": "Тема )") +
                      QByteArray::number(i) + R"(", "questions": [1]})";
    QTest::newRow("too many topics")
        << "file" << manyTopics + "]}" << -1
        << QStringLiteral("В файле тем «dataAB.topics.json» слишком много тем (1000; допускается "
                          "не больше 200), поэтому темы не показаны.");
    QTest::newRow("a name of 10 000 characters")
        << "file"
        << QByteArray(R"({"topics": [{"name": ")") + QByteArray(10000, 'a') +
               R"(", "questions": [1]}]})"
        << -1
        << QStringLiteral("В файле тем «dataAB.topics.json» слишком длинное название темы № 1 "
                          "(длина 10000; допускается не больше 200 знаков), поэтому темы не "
                          "показаны.");
    QTest::newRow("eight megabytes")
        << "file" << QByteArray(8 * 1024 * 1024, ' ') << -1
        << QStringLiteral("Файл тем «dataAB.topics.json» слишком велик (8192 КБ; допускается не "
                          "больше 1024 КБ), поэтому темы не показаны.");
    QTest::newRow("folder in its place")
        << "folder" << QByteArray() << -1
        << QStringLiteral("Файл тем «dataAB.topics.json» не удалось прочитать.");
}

void TestTopicSource::load()
{
    QFETCH(QString, beside);
    QFETCH(QByteArray, content);
    QFETCH(int, topics);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString topicsPath = dir.filePath(QStringLiteral("dataAB.topics.json"));
    if (beside == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("dataAB.topics.json")));
    } else if (beside == QLatin1String("file")) {
        QFile file(topicsPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }

    // The database itself is never opened here.
    const LoadedTopics loaded = loadTopicsFor(dir.filePath(QStringLiteral("dataAB.dbv")));
    QCOMPARE(loaded.path, topicsPath);
    QCOMPARE(loaded.topics ? int(loaded.topics->size()) : -1, topics);
    QCOMPARE(loaded.problem, problem);
    if (topics > 0)
        QCOMPARE(loaded.topics->at(1), (Topic{QStringLiteral("Знаки"), {3, 800}}));
}

QTEST_GUILESS_MAIN(TestTopicSource)
#include "tst_topicsource.moc"
