#include "syncengine.h"

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
    QMetaObject::invokeMethod(m_worker, &SyncWorker::stop, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
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
