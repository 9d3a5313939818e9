#pragma once

#include "serverconnection.h"
#include "serverpush.h"

#include <QMetaType>
#include <QString>

#include <map>
#include <memory>

class LocalHistoryConnection;

// What one round of the sync did.
struct SyncReport
{
    bool reachable = false; // the server answered and its schema is ours
    int sent = 0;           // rows newly confirmed by the server this round
    int pending = 0;        // rows still waiting on this PC afterwards
    QString error;          // why the round stopped short; empty when it did not
};
Q_DECLARE_METATYPE(SyncReport)

// One PC's sync to the classroom's server, used from one thread (it owns
// its Qt SQL connections): every learner with a folder under the classroom
// root (ClassroomLearners) gets their unsent rows pushed, batch by batch,
// each batch one server transaction, and marked sent only after the commit
// was confirmed. A connection lost mid-way ends the round; the next round
// opens it again and sends what is still unmarked, which the server keeps
// once.
class SyncRound
{
public:
    static constexpr int DefaultBatchSize = 1000;

    SyncRound(const ServerAddress &address, const QString &classroomRoot);
    ~SyncRound();
    SyncRound(const SyncRound &) = delete;
    SyncRound &operator=(const SyncRound &) = delete;

    SyncReport run(int batchSize = DefaultBatchSize, const ServerPush::Hooks &hooks = {});
    // Test hook: called after a batch was committed and before it is marked;
    // returning false stops there, as a PC switched off at that moment.
    void setAfterCommit(std::function<bool()> hook) { m_afterCommit = std::move(hook); }

private:
    LocalHistoryConnection *localFor(const QString &learnerId);
    int pendingEverywhere();

    ServerConnection m_server;
    QString m_root;
    std::map<QString, std::unique_ptr<LocalHistoryConnection>> m_locals;
    std::function<bool()> m_afterCommit;
};
