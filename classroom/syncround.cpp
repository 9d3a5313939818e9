#include "syncround.h"

#include "classroomlearners.h"
#include "localhistoryconnection.h"
#include "outbox.h"
#include "serverschema.h"

#include <QFileInfo>

SyncRound::SyncRound(const ServerAddress &address, const QString &classroomRoot)
    : m_server(address), m_root(classroomRoot)
{
}

SyncRound::~SyncRound() = default;

LocalHistoryConnection *SyncRound::localFor(const QString &learnerId)
{
    auto &local = m_locals[learnerId];
    if (!local)
        local = std::make_unique<LocalHistoryConnection>(
            ClassroomLearners::historyPathOf(m_root, learnerId));
    return local->open() ? local.get() : nullptr;
}

int SyncRound::pendingEverywhere()
{
    int pending = 0;
    for (const ClassroomLearner &learner : ClassroomLearners::known(m_root)) {
        if (!QFileInfo::exists(ClassroomLearners::historyPathOf(m_root, learner.id)))
            continue;
        if (LocalHistoryConnection *local = localFor(learner.id)) {
            QSqlDatabase db = local->database();
            pending += std::max(0, Outbox::pendingCount(db));
        }
    }
    return pending;
}

SyncReport SyncRound::run(int batchSize, const ServerPush::Hooks &hooks)
{
    SyncReport report;
    const auto finish = [&]() {
        report.pending = pendingEverywhere();
        return report;
    };
    if (!m_server.open()) {
        report.error = m_server.errorMessage();
        return finish();
    }
    QSqlDatabase server = m_server.database();
    const int version = ServerSchema::version(server);
    if (version != ServerSchema::CurrentVersion) {
        if (version < 0 && ServerConnection::isConnectionLost(server.lastError(), server)) {
            report.error = m_server.fail(server.lastError());
            m_server.close();
        } else {
            report.error = ServerSchema::versionMismatchMessage(version);
        }
        return finish();
    }
    report.reachable = true;
    for (const ClassroomLearner &learner : ClassroomLearners::known(m_root)) {
        if (!QFileInfo::exists(ClassroomLearners::historyPathOf(m_root, learner.id)))
            continue;
        LocalHistoryConnection *local = localFor(learner.id);
        if (!local)
            continue;
        QSqlDatabase history = local->database();
        for (;;) {
            const auto batch = Outbox::take(history, batchSize);
            if (!batch || batch->isEmpty())
                break;
            QSqlError error;
            if (!ServerPush::push(server, learner.id, learner.name, *batch, &error, hooks)) {
                report.error = m_server.fail(error);
                if (ServerConnection::isConnectionLost(error, server)) {
                    m_server.close();
                    report.reachable = false;
                    return finish();
                }
                break; // refused for this learner; the others still go
            }
            if (m_afterCommit && !m_afterCommit())
                return finish();
            // A mark that fails leaves the rows to be sent again: harmless.
            if (!Outbox::markSent(history, *batch))
                break;
            report.sent += batch->size();
        }
    }
    return finish();
}
