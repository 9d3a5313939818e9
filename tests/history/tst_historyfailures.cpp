// The history when things go wrong: a damaged file, a folder that cannot be
// written, a full disk, and a writer killed in the middle of its work.
#include "answerhistory.h"
#include "databasefingerprint.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <cstdio>

namespace {

const QString Db = DatabaseFingerprint::fromHeader("title");
const char WriterArgument[] = "--write-answers";

AnswerRecord answer(int n)
{
    return AnswerRecord{(n - 1) % 800 + 1,
                        HistoryMode::Marathon,
                        n % 5 + 1,
                        n % 3 != 0,
                        n % 60,
                        1'700'000'000'000LL + n,
                        0};
}

// The child of crashWriter_killed_keepsEveryCommittedAnswer: records answers
// 1, 2, 3, ... and prints "committed N" after each commit, until killed.
int runWriter(const QString &path)
{
    AnswerHistory history(path);
    if (!history.isAvailable()) {
        std::fprintf(stderr, "%s\n", qPrintable(history.errorMessage()));
        return 1;
    }
    for (int n = 1;; ++n) {
        if (!history.recordAnswer(Db, answer(n)))
            return 2;
        std::printf("committed %d\n", n);
        std::fflush(stdout);
    }
}

// A tmpfs mounted for one test; needs the right to mount (root).
class TmpfsMount
{
public:
    bool mount(const QString &dir, const QString &options)
    {
        if (QProcess::execute(QStringLiteral("mount"),
                              {"-t", "tmpfs", "-o", options, "tmpfs", dir}) != 0)
            return false;
        m_dir = dir;
        return true;
    }
    bool remount(const QString &options)
    {
        return QProcess::execute(QStringLiteral("mount"), {"-o", "remount," + options, m_dir}) == 0;
    }
    ~TmpfsMount()
    {
        if (!m_dir.isEmpty())
            QProcess::execute(QStringLiteral("umount"), {m_dir});
    }

private:
    QString m_dir;
};

// A file this process creates is owned by its effective user: 0 is root,
// who writes through file permissions.
bool isRoot()
{
    QTemporaryFile file;
    return file.open() && QFileInfo(file.fileName()).ownerId() == 0;
}

void checkDisabled(AnswerHistory &history)
{
    QVERIFY(!history.isAvailable());
    QVERIFY(!history.errorMessage().isEmpty());
    QVERIFY2(history.errorMessage().contains(QStringLiteral("stat.dat")),
             qPrintable(history.errorMessage()));
    QCOMPARE(history.takePendingMessage(), history.errorMessage());
    QCOMPARE(history.takePendingMessage(), QString()); // told once
    QVERIFY(!history.recordAnswer(Db, answer(1)));
    QCOMPARE(history.beginAttempt(Db, HistoryMode::Exam, QDateTime::currentDateTimeUtc()), 0);
    QVERIFY(history.answers(Db).isEmpty());
    QVERIFY(!history.clear(Db));
}

} // namespace

class TestHistoryFailures : public QObject
{
    Q_OBJECT

private slots:
    void damagedFile_keptAsideAndFreshStarted_data();
    void damagedFile_keptAsideAndFreshStarted();
    void folderIsAFile_reportsOnceThenNoOp();
    void readOnlyFolder_reportsOnceThenNoOp();
    void readOnlyMediumWithHistory_reportsAndKeepsFile();
    void diskFull_reportsOnceThenNoOp();
    void crashWriter_killed_keepsEveryCommittedAnswer();
};

void TestHistoryFailures::damagedFile_keptAsideAndFreshStarted_data()
{
    QTest::addColumn<QByteArray>("content");
    QByteArray garbage(5000, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char(i * 37 + 11);
    QTest::newRow("garbage bytes") << garbage;
    QTest::newRow("text") << QByteArray("stat.dat copied over the history\n");
    // The SQLite header, then garbage where the pages should be.
    QTest::newRow("header then garbage")
        << (QByteArray("SQLite format 3\0", 16) + QByteArray::fromHex("1000010100402020") +
            garbage.left(4096 - 24));
}

void TestHistoryFailures::damagedFile_keptAsideAndFreshStarted()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    AnswerHistory history(path);
    QVERIFY2(history.isAvailable(), qPrintable(history.errorMessage()));
    const QString aside = history.damagedFileKeptAs();
    QVERIFY(QFileInfo(aside).fileName().startsWith(QStringLiteral("history.sqlite.damaged-")));
    QFile kept(aside);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), content);
    const QString message = history.takePendingMessage();
    QVERIFY2(message.contains(QStringLiteral("повреждён")) && message.contains(aside),
             qPrintable(message));
    QCOMPARE(history.takePendingMessage(), QString());
    QVERIFY(history.recordAnswer(Db, answer(1)));
    QCOMPARE(history.answers(Db).size(), 1);
}

void TestHistoryFailures::folderIsAFile_reportsOnceThenNoOp()
{
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath("stat.dat");
    QFile file(notAFolder);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    AnswerHistory history(AnswerHistory::filePathIn(notAFolder));
    checkDisabled(history);
}

void TestHistoryFailures::readOnlyFolder_reportsOnceThenNoOp()
{
    QTemporaryDir dir;
    // Root writes through permissions, so as root the folder is a read-only
    // mount instead.
    TmpfsMount mount;
    if (isRoot()) {
        if (!mount.mount(dir.path(), QStringLiteral("ro,size=1m")))
            QSKIP("running as root and cannot mount a read-only tmpfs");
    } else {
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    }
    {
        AnswerHistory history(AnswerHistory::filePathIn(dir.path()));
        checkDisabled(history);
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestHistoryFailures::readOnlyMediumWithHistory_reportsAndKeepsFile()
{
    if (!isRoot())
        QSKIP("needs to mount a tmpfs (root)");
    QTemporaryDir dir;
    TmpfsMount mount;
    if (!mount.mount(dir.path(), QStringLiteral("size=1m")))
        QSKIP("cannot mount a tmpfs");
    const QString path = AnswerHistory::filePathIn(dir.path());
    {
        AnswerHistory history(path);
        QVERIFY(history.recordAnswer(Db, answer(1)));
    }
    const qint64 size = QFileInfo(path).size();
    QVERIFY(mount.remount(QStringLiteral("ro")));
    {
        AnswerHistory history(path);
        checkDisabled(history);
        QVERIFY(history.damagedFileKeptAs().isEmpty());
    }
    QCOMPARE(QFileInfo(path).size(), size);
}

void TestHistoryFailures::diskFull_reportsOnceThenNoOp()
{
    if (!isRoot())
        QSKIP("needs to mount a small tmpfs (root)");
    QTemporaryDir dir;
    TmpfsMount mount;
    if (!mount.mount(dir.path(), QStringLiteral("size=256k")))
        QSKIP("cannot mount a tmpfs");
    AnswerHistory history(AnswerHistory::filePathIn(dir.path()));
    QVERIFY(history.isAvailable());
    int stored = 0;
    while (stored < 100000 && history.recordAnswer(Db, answer(stored + 1)))
        ++stored;
    // The WAL grows by a few pages a commit, so 256 KiB fill after a few dozen.
    QVERIFY2(stored > 0 && stored < 100000, qPrintable(QString::number(stored)));
    QVERIFY(history.errorMessage().contains(QStringLiteral("Не удалось записать")));
    checkDisabled(history);
}

void TestHistoryFailures::crashWriter_killed_keepsEveryCommittedAnswer()
{
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    QProcess writer;
    writer.setProcessChannelMode(QProcess::SeparateChannels);
    writer.start(QCoreApplication::applicationFilePath(), {WriterArgument, path});
    QVERIFY(writer.waitForStarted());
    int committed = 0;
    QByteArray pending;
    const auto readLines = [&] {
        pending += writer.readAllStandardOutput();
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QByteArray line = pending.left(end);
            pending.remove(0, end + 1);
            if (line.startsWith("committed "))
                committed = line.mid(10).toInt();
        }
    };
    // Kill it at an arbitrary point after a few hundred commits.
    while (committed < 500 && writer.state() == QProcess::Running) {
        writer.waitForReadyRead(5000);
        readLines();
    }
    writer.kill();
    QVERIFY(writer.waitForFinished());
    readLines();
    QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
    QVERIFY2(committed >= 500, writer.readAllStandardError().constData());

    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral("PRAGMA quick_check")) && query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("ok"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));

    AnswerHistory history(path);
    QVERIFY(history.isAvailable());
    QCOMPARE(history.takePendingMessage(), QString());
    const QList<AnswerRecord> answers = history.answers(Db);
    // Every reported commit is there; at most the one being reported more.
    QVERIFY2(answers.size() == committed || answers.size() == committed + 1,
             qPrintable(QStringLiteral("%1 rows, %2 reported").arg(answers.size()).arg(committed)));
    for (int n = 1; n <= answers.size(); ++n)
        QCOMPARE(answers[n - 1], answer(n));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], WriterArgument) == 0)
        return runWriter(QString::fromLocal8Bit(argv[2]));
    TestHistoryFailures test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_historyfailures.moc"
