#pragma once

#include "answerrecord.h"

#include <QList>

#include <functional>
#include <optional>

// A marathon under way in one question database, continued in another by
// the questions' content keys (a new release of the same tickets).
namespace MarathonCarryOver {

// `from` is the marathon in the old database; `oldKeys` and `newKeys` hold
// the keys of questions 1..800 of each. `marathonAnswer(q)` says whether old
// question q was last answered right in a marathon (empty when unknown).
//
// The questions already answered that are still there stay answered, in
// their order; those the new database no longer has (changed or dropped)
// leave the answered part and its counts. The rest follow in the old order,
// and the new database's questions the old one did not have come last.
MarathonState carry(const MarathonState &from, const QList<qint64> &oldKeys,
                    const QList<qint64> &newKeys,
                    const std::function<std::optional<bool>(int)> &marathonAnswer);

} // namespace MarathonCarryOver
