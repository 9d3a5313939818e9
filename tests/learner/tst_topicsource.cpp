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
    void init();
    void missing_noTopicsAndNoProblem();
    void valid_topicsInTheFilesOrder();
    void unusable_noTopicsAndTheReason_data();
    void unusable_noTopicsAndTheReason();
    void folderInItsPlace_cannotBeRead();

private:
    void writeTopics(const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_database;
};

void TestTopicSource::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // The database itself is never opened here.
    m_database = m_dir->filePath(QStringLiteral("dataAB.dbv"));
}

void TestTopicSource::writeTopics(const QByteArray &bytes)
{
    QFile file(m_dir->filePath(QStringLiteral("dataAB.topics.json")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

void TestTopicSource::missing_noTopicsAndNoProblem()
{
    const LoadedTopics loaded = loadTopicsFor(m_database);
    QCOMPARE(loaded.path, m_dir->filePath(QStringLiteral("dataAB.topics.json")));
    QVERIFY(!loaded.topics);
    QVERIFY(loaded.problem.isEmpty());
    QVERIFY(loaded.details.isEmpty());
}

void TestTopicSource::valid_topicsInTheFilesOrder()
{
    const QList<Topic> topics{{QStringLiteral("Разметка"), {40, 3}},
                              {QStringLiteral("Дорожные знаки"), {3, 800}}};
    QVERIFY(TopicsFile::write(m_dir->filePath(QStringLiteral("dataAB.topics.json")), topics));
    const LoadedTopics loaded = loadTopicsFor(m_database);
    QVERIFY(loaded.topics);
    QCOMPARE(*loaded.topics, topics);
    QVERIFY(loaded.problem.isEmpty());
}

void TestTopicSource::unusable_noTopicsAndTheReason_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("problem");
    const QString damaged =
        QStringLiteral("Файл тем «dataAB.topics.json» повреждён, поэтому темы не показаны.");
    QTest::newRow("cut short") << QByteArray(R"({"topics": [{"name": "Знаки", "quest)") << damaged;
    QTest::newRow("not JSON") << QByteArray("\xff\xfe garbage") << damaged;
    QTest::newRow("empty file") << QByteArray() << damaged;
    QTest::newRow("question out of range")
        << QByteArray(R"({"topics": [{"name": "Знаки", "questions": [801]}]})") << damaged;
    QTest::newRow("no topic in it")
        << QByteArray(R"({"topics": []})")
        << QStringLiteral("В файле тем «dataAB.topics.json» нет ни одной темы.");
}

void TestTopicSource::unusable_noTopicsAndTheReason()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, problem);
    writeTopics(content);
    const LoadedTopics loaded = loadTopicsFor(m_database);
    QVERIFY(!loaded.topics);
    QCOMPARE(loaded.problem, problem);
}

void TestTopicSource::folderInItsPlace_cannotBeRead()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("dataAB.topics.json")));
    const LoadedTopics loaded = loadTopicsFor(m_database);
    QVERIFY(!loaded.topics);
    QCOMPARE(loaded.problem, QStringLiteral("Файл тем «dataAB.topics.json» не удалось прочитать."));
    QVERIFY(!loaded.details.isEmpty());
}

QTEST_GUILESS_MAIN(TestTopicSource)
#include "tst_topicsource.moc"
