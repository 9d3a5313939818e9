// The history when things go wrong: a damaged file, a folder that cannot be
// written, a full disk, a file another program holds locked, a new file
// opened by several connections at once, and a writer killed in the middle
// of its work.
#include "answerhistory.h"
#include "databasefingerprint.h"
#include "historywritequeue.h"
#include "specialfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QThread>

#include <array>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

namespace {

const QString Db = DatabaseFingerprint::fromHeader("title");
const char WriterArgument[] = "--write-answers";
const char LockArgument[] = "--hold-lock";

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

// The child of the locked-history cases: takes the file's write lock the way
// `how` says, prints "locked", and lets go when a line arrives on its input.
int holdLock(const QString &path, const QString &how)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    if (!db.open())
        return 1;
    QSqlQuery query(db);
    // "exclusive transaction" keeps writers out; in WAL mode readers go on.
    // "exclusive locking" keeps everyone out, readers too.
    if (how == QLatin1String("exclusive locking") &&
        !query.exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE")))
        return 2;
    if (!query.exec(QStringLiteral("BEGIN EXCLUSIVE")) ||
        !query.exec(QStringLiteral("UPDATE answers SET seconds = seconds")))
        return 3;
    std::printf("locked\n");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    query.exec(QStringLiteral("COMMIT"));
    return 0;
}

// A history with `count` answers and a marathon, closed again.
void writeHistory(const QString &path, int count)
{
    AnswerHistory history(path);
    QVERIFY2(history.isAvailable(), qPrintable(history.errorMessage()));
    for (int n = 1; n <= count; ++n)
        QVERIFY(history.recordAnswer(Db, answer(n)));
    MarathonState marathon;
    for (int q = 1; q <= 800; ++q)
        marathon.order.append(801 - q);
    marathon.position = 3;
    marathon.right = 2;
    marathon.wrong = 1;
    QVERIFY(history.saveMarathon(Db, marathon, QDateTime::currentDateTimeUtc()));
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Nothing in `folder` was set aside as damaged.
void checkNothingSetAside(const QString &folder)
{
    const QStringList aside = QDir(folder).entryList({QStringLiteral("*.damaged*")});
    QVERIFY2(aside.isEmpty(), qPrintable(aside.join(' ')));
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
    QVERIFY(!history.clear(Db, QDateTime::currentDateTimeUtc()));
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
    void healthyButUnwritable_openedReadOnlyNothingSetAside_data();
    void healthyButUnwritable_openedReadOnlyNothingSetAside();
    void lockedByAnotherProcess_answersKeptAndWrittenOnceInOrder_data();
    void lockedByAnotherProcess_answersKeptAndWrittenOnceInOrder();
    void lockedAtTheEnd_waitingAnswersKeptForTheNextRun();
    void diskFull_answersKeptUntilThereIsSpace_data();
    void diskFull_answersKeptUntilThereIsSpace();
    void foreignDatabase_leftAlone();
    void specialFileAsHistory_refusedAndLeftAlone_data();
    void specialFileAsHistory_refusedAndLeftAlone();
    void specialFileAsPending_leftAloneWithoutWaiting_data();
    void specialFileAsPending_leftAloneWithoutWaiting();
    void crashWriter_killed_keepsEveryCommittedAnswer();
    void newFile_openedByThreeConnectionsAtOnce_writableInEach();
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
    // A real history cut short, as a copy interrupted half-way leaves it.
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    writeHistory(path, 3000);
    const QByteArray whole = readAll(path);
    QVERIFY(whole.size() > 3 * 4096);
    QTest::newRow("truncated history") << whole.left(whole.size() / 2);
    QTest::newRow("truncated to its first page") << whole.left(4096);
    // Rows the schema's CHECK keeps out, written by a tool that ignores it:
    // the integrity check finds them, so no answer is ever counted for a
    // question that does not exist (or for the last one, clamped).
    for (const char *question : {"801", "1e300", "'seven'"}) {
        QTemporaryDir tamperedDir;
        const QString tampered = AnswerHistory::filePathIn(tamperedDir.path());
        writeHistory(tampered, 3);
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tamper"));
            db.setDatabaseName(tampered);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("PRAGMA ignore_check_constraints = ON")));
            QVERIFY2(query.exec(QStringLiteral("INSERT INTO answers (database, question, mode, "
                                               "variant, right, seconds, answered_at) SELECT "
                                               "database, %1, mode, variant, right, seconds, "
                                               "answered_at FROM answers LIMIT 1")
                                    .arg(QLatin1String(question))),
                     qPrintable(query.lastError().text()));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("tamper"));
        QTest::addRow("an answer to question %s", question) << readAll(tampered);
    }
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

void TestHistoryFailures::healthyButUnwritable_openedReadOnlyNothingSetAside_data()
{
    QTest::addColumn<QString>("condition");
    QTest::addColumn<bool>("needsRoot");
    // Each made the file be set aside as damaged: SQLite's extended result
    // codes for these were not recognised as failures of access.
    QTest::newRow("named pipe as -shm") << "fifo shm" << false;
    QTest::newRow("folder as -wal") << "folder wal" << false;
    QTest::newRow("read-only folder") << "read-only folder" << false;
    QTest::newRow("read-only medium") << "read-only medium" << true;
    QTest::newRow("full disk at start") << "full disk" << true;
}

void TestHistoryFailures::healthyButUnwritable_openedReadOnlyNothingSetAside()
{
    QFETCH(QString, condition);
    QFETCH(bool, needsRoot);
    if (needsRoot && !isRoot())
        QSKIP("needs to mount a tmpfs (root)");
    QTemporaryDir dir;
    TmpfsMount mount;
    if (needsRoot && !mount.mount(dir.path(), QStringLiteral("size=1m")))
        QSKIP("cannot mount a tmpfs");
    const QString path = AnswerHistory::filePathIn(dir.path());
    writeHistory(path, 25);
    if (QTest::currentTestFailed())
        return;
    QByteArray before = readAll(path);

    if (condition == QLatin1String("fifo shm")) {
        if (QProcess::execute(QStringLiteral("mkfifo"), {path + QStringLiteral("-shm")}) != 0)
            QSKIP("mkfifo is not available");
    } else if (condition == QLatin1String("folder wal")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("history.sqlite-wal")));
    } else if (condition == QLatin1String("read-only folder")) {
        if (isRoot()) {
            if (!mount.mount(dir.path(), QStringLiteral("size=1m")))
                QSKIP("cannot mount a tmpfs");
            // The mount hides the history: write it again on the tmpfs.
            writeHistory(path, 25);
            before = readAll(path);
            QVERIFY(mount.remount(QStringLiteral("ro")));
        } else {
            QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        }
    } else if (condition == QLatin1String("read-only medium")) {
        QVERIFY(mount.remount(QStringLiteral("ro")));
    } else if (condition == QLatin1String("full disk")) {
        QFile filler(dir.filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(64 * 1024, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }

    {
        AnswerHistory history(path);
        QVERIFY2(history.isAvailable(), qPrintable(history.errorMessage()));
        QVERIFY(history.isReadOnly());
        QVERIFY(history.damagedFileKeptAs().isEmpty());
        const QString message = history.takePendingMessage();
        QVERIFY2(message.contains(QStringLiteral("только для чтения")), qPrintable(message));
        QCOMPARE(history.takePendingMessage(), QString()); // told once
        // The past is all there; nothing new is written.
        const QList<AnswerRecord> answers = history.answers(Db);
        QCOMPARE(answers.size(), 25);
        QCOMPARE(answers.last(), answer(25));
        QVERIFY(history.marathon(Db).has_value());
        QCOMPARE(history.marathon(Db)->position, 3);
        QVERIFY(!history.recordAnswer(Db, answer(26)));
        QCOMPARE(history.delayedWriteCount(), 0);
        // Keys offered at opening are not stored, and do not switch the
        // history off: its answers go on being read by their place.
        AnswerHistory::StoredKeys keys;
        keys.keys.resize(800);
        for (int q = 1; q <= 800; ++q)
            keys.keys[q - 1] = 1000 + q;
        QVERIFY(!history.registerQuestionKeys(Db, keys).has_value());
        QVERIFY(history.isAvailable());
        QVERIFY(history.isReadOnly());
        QCOMPARE(history.takePendingMessage(), QString());
        QCOMPARE(history.answers(Db).size(), 25);
    }
    checkNothingSetAside(dir.path());
    QCOMPARE(readAll(path), before);
    if (condition == QLatin1String("read-only folder") && !isRoot())
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestHistoryFailures::lockedByAnotherProcess_answersKeptAndWrittenOnceInOrder_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("readsBlocked");
    QTest::newRow("exclusive transaction") << "exclusive transaction" << false;
    QTest::newRow("exclusive locking mode") << "exclusive locking" << true;
}

void TestHistoryFailures::lockedByAnotherProcess_answersKeptAndWrittenOnceInOrder()
{
    QFETCH(QString, how);
    QFETCH(bool, readsBlocked);
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    writeHistory(path, 10);
    if (QTest::currentTestFailed())
        return;

    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), {LockArgument, path, how});
    QVERIFY(holder.waitForStarted());
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readAllStandardOutput().trimmed(), QByteArray("locked"));

    AnswerHistory history(path);
    QVERIFY2(history.isAvailable() || history.isOpenDeferred(), qPrintable(history.errorMessage()));
    QVERIFY(!history.isReadOnly());
    QCOMPARE(history.isReadBlocked(), readsBlocked);
    if (!readsBlocked)
        QCOMPARE(history.answers(Db).size(), 10); // the past stays readable
    HistoryWriteQueue queue(history);
    const qint64 attempt =
        queue.beginAttempt(Db, HistoryMode::Marathon, QDateTime::currentDateTimeUtc());
    QVERIFY(attempt != 0);
    for (int n = 11; n <= 15; ++n) {
        AnswerRecord a = answer(n);
        a.attemptId = attempt;
        QVERIFY(queue.recordAnswer(Db, a));
    }
    queue.endAttempt(attempt, QDateTime::currentDateTimeUtc(), AttemptSummary{3, 2, {}});
    QVERIFY(queue.pendingCount() > 0);
    QVERIFY(!queue.flush(100)); // still locked: kept, not lost
    const QString message = history.takePendingMessage();
    QVERIFY2(message.contains(QStringLiteral("занят другой программой")), qPrintable(message));
    QCOMPARE(history.takePendingMessage(), QString());

    holder.write("release\n");
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished());
    QCOMPARE(holder.exitCode(), 0);
    QVERIFY(queue.flush(5000));
    QVERIFY(history.isAvailable());
    checkNothingSetAside(dir.path());
    const QList<AnswerRecord> answers = history.answers(Db);
    QCOMPARE(answers.size(), 15);
    const QList<AttemptRecord> attempts = history.attempts(Db);
    QCOMPARE(attempts.size(), 1);
    QVERIFY(attempts[0].result.has_value());
    QCOMPARE(attempts[0].result->wrong, 2);
    for (int n = 1; n <= 15; ++n) {
        AnswerRecord expected = answer(n);
        expected.attemptId = n > 10 ? attempts[0].id : 0;
        QCOMPARE(answers[n - 1], expected);
    }
    QCOMPARE(history.marathon(Db)->position, 3);
    QCOMPARE(history.takePendingMessage(), QString());
}

void TestHistoryFailures::lockedAtTheEnd_waitingAnswersKeptForTheNextRun()
{
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    const QString pending = HistoryWriteQueue::pendingFilePath(path);
    writeHistory(path, 10);
    if (QTest::currentTestFailed())
        return;
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(),
                 {LockArgument, path, "exclusive transaction"});
    QVERIFY(holder.waitForStarted());
    QVERIFY(holder.waitForReadyRead(10000));
    {
        AnswerHistory history(path);
        HistoryWriteQueue queue(history);
        const qint64 attempt =
            queue.beginAttempt(Db, HistoryMode::Learning, QDateTime::currentDateTimeUtc());
        for (int n = 11; n <= 15; ++n) {
            AnswerRecord a = answer(n);
            a.attemptId = attempt;
            a.correction = n % 2 == 0;
            QVERIFY(queue.recordAnswer(Db, a));
        }
        queue.endAttempt(attempt, QDateTime::currentDateTimeUtc(), AttemptSummary{4, 1, true});
    } // the end of the run: the lock outlasts the flush
    QVERIFY(QFileInfo::exists(pending));
    holder.write("release\n");
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished());

    for (int run = 0; run < 2; ++run) {
        // The next run writes them first; a run after it finds nothing more.
        AnswerHistory history(path);
        HistoryWriteQueue queue(history);
        QCOMPARE(queue.pendingCount(), 0);
        QVERIFY(!QFileInfo::exists(pending));
        const QList<AnswerRecord> answers = history.answers(Db);
        QCOMPARE(answers.size(), 15);
        const QList<AttemptRecord> attempts = history.attempts(Db);
        QCOMPARE(attempts.size(), 1);
        QCOMPARE(attempts[0].result->passed, std::optional<bool>(true));
        for (int n = 1; n <= 15; ++n) {
            AnswerRecord expected = answer(n);
            expected.attemptId = n > 10 ? attempts[0].id : 0;
            expected.correction = n > 10 && n % 2 == 0; // kept in the pending file
            QCOMPARE(answers[n - 1], expected);
        }
    }

    // A pending file that is not one is dropped without a write.
    QFile garbage(pending);
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("[{\"kind\":\"answer\",\"mode\":\"nonsense\"},17,{\"kind\":\"end\"}]");
    garbage.close();
    AnswerHistory history(path);
    HistoryWriteQueue queue(history);
    QCOMPARE(queue.pendingCount(), 0);
    QCOMPARE(history.answers(Db).size(), 15);
}

void TestHistoryFailures::diskFull_answersKeptUntilThereIsSpace_data()
{
    QTest::addColumn<bool>("tmpfs");
    QTest::newRow("size cap") << false;
    QTest::newRow("small tmpfs") << true;
}

void TestHistoryFailures::diskFull_answersKeptUntilThereIsSpace()
{
    QFETCH(bool, tmpfs);
    QTemporaryDir dir;
    TmpfsMount mount;
    if (tmpfs && (!isRoot() || !mount.mount(dir.path(), QStringLiteral("size=256k"))))
        QSKIP("needs to mount a small tmpfs (root)");
    AnswerHistory history(AnswerHistory::filePathIn(dir.path()));
    QVERIFY(history.isAvailable());
    if (!tmpfs)
        history.setMaximumPageCount(12);
    HistoryWriteQueue queue(history);
    int given = 0;
    // The file fills after some hundreds (cap) or a few dozen (WAL on 256 KiB).
    while (given < 20000 && queue.pendingCount() == 0)
        QVERIFY(queue.recordAnswer(Db, answer(++given)));
    QVERIFY2(queue.pendingCount() > 0, qPrintable(QString::number(given)));
    for (int i = 0; i < 20; ++i)
        QVERIFY(queue.recordAnswer(Db, answer(++given)));
    QVERIFY(!queue.flush(0));
    const QString message = history.takePendingMessage();
    QVERIFY2(message.contains(QStringLiteral("нет места")), qPrintable(message));
    QVERIFY(!history.isReadOnly());

    // Space again: every answer lands once, in the order given.
    if (tmpfs)
        QVERIFY(mount.remount(QStringLiteral("size=8m")));
    else
        history.setMaximumPageCount(1'000'000);
    QVERIFY(queue.flush(5000));
    const QList<AnswerRecord> answers = history.answers(Db);
    QCOMPARE(answers.size(), given);
    for (int n = 1; n <= given; ++n)
        QCOMPARE(answers[n - 1], answer(n));
    checkNothingSetAside(dir.path());
}

void TestHistoryFailures::foreignDatabase_leftAlone()
{
    // Another program's SQLite file under our name: not ours to migrate, not
    // damaged either.
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral("CREATE TABLE answers (text TEXT)")));
        QVERIFY(query.exec(QStringLiteral("INSERT INTO answers VALUES ('42')")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
    const QByteArray before = readAll(path);
    {
        AnswerHistory history(path);
        QVERIFY(!history.isAvailable());
        QVERIFY(history.damagedFileKeptAs().isEmpty());
        QVERIFY(!history.takePendingMessage().isEmpty());
        QVERIFY(!history.recordAnswer(Db, answer(1)));
    }
    checkNothingSetAside(dir.path());
    QCOMPARE(readAll(path), before);
}

void TestHistoryFailures::specialFileAsHistory_refusedAndLeftAlone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("named pipe") << "fifo";
    QTest::newRow("folder") << "folder";
}

void TestHistoryFailures::specialFileAsHistory_refusedAndLeftAlone()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    if (kind == QLatin1String("fifo")) {
        if (QProcess::execute(QStringLiteral("mkfifo"), {path}) != 0)
            QSKIP("mkfifo is not available");
    } else {
        QVERIFY(QDir(dir.path()).mkdir(QFileInfo(path).fileName()));
    }
    // Opening a pipe for reading would wait for a writer for ever.
    AnswerHistory history(path);
    checkDisabled(history);
    checkNothingSetAside(dir.path());
    QCOMPARE(QFileInfo(path).isFile(), false);
    QVERIFY(QFileInfo::exists(path));
}

void TestHistoryFailures::specialFileAsPending_leftAloneWithoutWaiting_data()
{
    QTest::addColumn<QString>("kind");
#ifdef Q_OS_UNIX
    QTest::newRow("named pipe") << "fifo";
#endif
    QTest::newRow("folder") << "folder";
}

void TestHistoryFailures::specialFileAsPending_leftAloneWithoutWaiting()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    writeHistory(path, 2);
    const QString pending = HistoryWriteQueue::pendingFilePath(path);
    QVERIFY(SpecialFiles::make(kind, pending));
    // The queue reads the pending file as the program starts: a pipe there
    // must not hold the start up. The history itself goes on as usual.
    int answers = -1;
    QVERIFY2(SpecialFiles::finishesWithoutWaiting(pending,
                                                  [&] {
                                                      AnswerHistory history(path);
                                                      HistoryWriteQueue queue(history);
                                                      queue.recordAnswer(Db, answer(3));
                                                      answers = int(history.answers(Db).size());
                                                  }),
             "the start waits on the pending file");
    QCOMPARE(answers, 3);
    QVERIFY(QFileInfo::exists(pending));
    QVERIFY(!QFileInfo(pending).isFile());
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

// The program and the classroom's sync open a new learner's file at the same
// moment. Each migrates it; none may find a step made by another and take
// the file for one it cannot write (it then stayed read-only until the next
// start, and the learner's answers were lost).
void TestHistoryFailures::newFile_openedByThreeConnectionsAtOnce_writableInEach()
{
    QTemporaryDir dir;
    for (int round = 0; round < 20; ++round) {
        const QString path = dir.filePath(QStringLiteral("history-%1.sqlite").arg(round));
        std::array<QString, 3> failures;
        std::array<std::thread, 3> threads;
        for (size_t i = 0; i < threads.size(); ++i) {
            threads[i] = std::thread([&path, &failure = failures[i], i] {
                AnswerHistory history(path);
                if (!history.isAvailable() && !history.isOpenDeferred()) {
                    failure = QStringLiteral("unavailable: ") + history.errorMessage();
                    return;
                }
                if (history.isReadOnly()) {
                    failure = QStringLiteral("read-only: ") + history.takePendingMessage();
                    return;
                }
                // A lock another connection holds only delays the write.
                for (int attempt = 0; attempt < 500; ++attempt) {
                    if (history.recordAnswer(Db, answer(int(i) + 1)))
                        return;
                    if (history.isReadOnly() || (!history.isAvailable() &&
                                                 !history.isOpenDeferred()))
                        break;
                    QThread::msleep(10);
                }
                failure = QStringLiteral("answer not written: ") + history.errorMessage();
            });
        }
        for (std::thread &thread : threads)
            thread.join();
        for (const QString &failure : failures)
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(AnswerHistory(path).answers(Db).size(), 3);
    }
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], WriterArgument) == 0)
        return runWriter(QString::fromLocal8Bit(argv[2]));
    if (argc == 4 && qstrcmp(argv[1], LockArgument) == 0)
        return holdLock(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TestHistoryFailures test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_historyfailures.moc"
