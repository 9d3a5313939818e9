#pragma once

#include <QByteArray>
#include <QStringList>

// The checks `dbv check` makes, run on a database and its topics file held
// in memory: the import never reports success for a result its own checker
// would refuse.
namespace ImportCheck {

// Every fault of the database bytes and of the topics file's contents
// (empty `topicsJson`: no topics file), one message each.
QStringList problems(const QByteArray &database, const QByteArray &topicsJson);

} // namespace ImportCheck
