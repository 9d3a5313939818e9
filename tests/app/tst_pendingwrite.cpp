// A write on a worker thread: its result comes back once, and nothing is
// left running when its owner goes.
#include "pendingwrite.h"

#include <QSemaphore>
#include <QTest>
#include <QThread>

#include <atomic>

class TestPendingWrite : public QObject
{
    Q_OBJECT
private slots:
    void join_givesTheResultOnce();
    void start_returnsWhileTheWriteRuns();
    void destructor_waitsForARunningWrite();
    void start_joinsTheWriteBefore();
};

void TestPendingWrite::join_givesTheResultOnce()
{
    PendingWrite<QString> write;
    QVERIFY(!write.isPending());
    QCOMPARE(write.join(), QString());
    write.start([] { return QStringLiteral("refused"); });
    QVERIFY(write.isPending());
    QCOMPARE(write.join(), QStringLiteral("refused"));
    QVERIFY(!write.isPending());
    // A message found at the join is shown once.
    QCOMPARE(write.join(), QString());
}

void TestPendingWrite::start_returnsWhileTheWriteRuns()
{
    // The caller goes on while the write waits: a write that waits for what
    // the caller does after start() would time out if start() ran it. (A
    // write that has not begun by the join may run on the joining thread,
    // which waits anyway.)
    QSemaphore goAhead;
    PendingWrite<bool> write;
    write.start([&goAhead] { return goAhead.tryAcquire(1, 5000); });
    goAhead.release();
    QVERIFY(write.join());
}

void TestPendingWrite::destructor_waitsForARunningWrite()
{
    std::atomic<bool> finished = false;
    {
        PendingWrite<int> write;
        write.start([&finished] {
            QThread::msleep(50);
            finished = true;
            return 0;
        });
    }
    QVERIFY(finished);
}

void TestPendingWrite::start_joinsTheWriteBefore()
{
    // Two writes of one file never overlap.
    std::atomic<int> running = 0;
    std::atomic<bool> overlapped = false;
    const auto write = [&] {
        if (++running > 1)
            overlapped = true;
        QThread::msleep(20);
        --running;
        return 0;
    };
    PendingWrite<int> pending;
    pending.start(write);
    pending.start(write);
    pending.join();
    QVERIFY(!overlapped);
}

QTEST_GUILESS_MAIN(TestPendingWrite)
#include "tst_pendingwrite.moc"
