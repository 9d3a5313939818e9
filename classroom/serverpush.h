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
// answers, each INSERT … ON CONFLICT DO NOTHING keyed on the row's UUID, so a
// batch sent again (its acknowledgement lost) changes nothing. True only when
// the server confirmed the commit; otherwise `error` holds the driver's error
// and nothing of the batch is marked sent.
bool push(QSqlDatabase &server, const QString &learnerId, const QString &learnerName,
          const OutboxBatch &batch, QSqlError *error, const Hooks &hooks = {});

// Makes the learner known to the server (id and name) outside a batch.
bool registerLearner(QSqlDatabase &server, const QString &learnerId, const QString &learnerName,
                     QSqlError *error);
} // namespace ServerPush
