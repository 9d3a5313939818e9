#pragma once

#include "outbox.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>

// Stores a batch of one learner's rows on the classroom's server.
namespace ServerPush {

// Where a test cuts the push short, as a dropped network or a PC switched off
// would.
struct Hooks
{
    // After the rows were sent, before COMMIT.
    std::function<void()> beforeCommit;
};

// In one transaction: the learner (once), the attempts, their ends, the
// answers, the marathon states (zeltrak.store_marathons), the resets
// (zeltrak.store_resets), each INSERT … ON CONFLICT DO NOTHING
// keyed on the row's UUID (zeltrak.store_batch), so a batch sent again (its acknowledgement lost)
// changes nothing. The rows travel as one JSON array per table, unpacked on
// the server: one round trip per batch instead of one per row. True only when
// the server confirmed the commit; otherwise `error` holds the driver's error
// and nothing of the batch is marked sent.
bool push(QSqlDatabase &server, const QString &learnerId, const QString &learnerName,
          const OutboxBatch &batch, QSqlError *error, const Hooks &hooks = {});

} // namespace ServerPush
