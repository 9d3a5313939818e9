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
    void join_runsOffTheCallersThread();
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

void TestPendingWrite::join_runsOffTheCallersThread()
{
    // The caller goes on while the write waits: a write that waits for the
    // caller's signal would time out if it ran on the caller's thread.
    QSemaphore goAhead;
    PendingWrite<bool> write;
    write.start([&goAhead] {
        return goAhead.tryAcquire(1, 5000) &&
               QThread::currentThread() != QCoreApplication::instance()->thread();
    });
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
