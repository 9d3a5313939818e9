#include "syncengine.h"

#include <QCoreApplication>
#include <QTimer>

#include <memory>

// Lives in the engine's thread: the round and its connections are made there.
class SyncWorker : public QObject
{
    Q_OBJECT
public:
    SyncWorker(const ServerAddress &address, const QString &root) : m_address(address), m_root(root)
    {
    }

public slots:
    void start(int intervalMs)
    {
        m_timer = std::make_unique<QTimer>();
        connect(m_timer.get(), &QTimer::timeout, this, &SyncWorker::runRound);
        m_timer->start(intervalMs);
        runRound();
    }
    void runRound()
    {
        if (!m_round)
            m_round = std::make_unique<SyncRound>(m_address, m_root);
        emit roundFinished(m_round->run());
    }
    void stop()
    {
        m_timer.reset();
        m_round.reset();
    }

signals:
    void roundFinished(const SyncReport &report);

private:
    ServerAddress m_address;
    QString m_root;
    std::unique_ptr<SyncRound> m_round;
    std::unique_ptr<QTimer> m_timer;
};

SyncEngine::SyncEngine(const ServerAddress &address, const QString &classroomRoot, QObject *parent)
    : QObject(parent), m_worker(new SyncWorker(address, classroomRoot))
{
    qRegisterMetaType<SyncReport>();
    m_worker->moveToThread(&m_thread);
    connect(m_worker, &SyncWorker::roundFinished, this, &SyncEngine::roundFinished);
    m_thread.setObjectName(QStringLiteral("classroom-sync"));
    m_thread.start(QThread::LowPriority);
}

SyncEngine::~SyncEngine()
{
    // A retired engine's thread stops and quits by itself; asking it again
    // would wait for an event loop that may already have ended.
    if (!m_retired) {
        QMetaObject::invokeMethod(m_worker, &SyncWorker::stop, Qt::BlockingQueuedConnection);
        m_thread.quit();
    }
    m_thread.wait();
    delete m_worker;
}

void SyncEngine::retire(std::unique_ptr<SyncEngine> engine)
{
    if (!engine)
        return;
    SyncEngine *retired = engine.release();
    retired->m_retired = true;
    retired->disconnect();
    // Queued behind the round under way: the worker's connections close in
    // its own thread, then its event loop ends.
    QMetaObject::invokeMethod(retired->m_worker, [worker = retired->m_worker] {
        worker->stop();
        QThread::currentThread()->quit();
    });
    connect(&retired->m_thread, &QThread::finished, retired, &QObject::deleteLater);
    // Deleted with the application if it ends first: the destructor then
    // waits for the round.
    retired->setParent(QCoreApplication::instance());
}

void SyncEngine::start(int intervalMs)
{
    QMetaObject::invokeMethod(m_worker, [this, intervalMs] { m_worker->start(intervalMs); });
}

void SyncEngine::syncNow()
{
    QMetaObject::invokeMethod(m_worker, &SyncWorker::runRound);
}

#include "syncengine.moc"
