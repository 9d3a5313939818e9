#pragma once

#include "answerrecord.h"

#include <QVariant>

#include <algorithm>
#include <limits>

// Numbers read back from the history file, within the range the caller can
// use. SQLite keeps whatever a tampered file holds (1e300 in an integer
// column stays a REAL, text stays text), and converting an out-of-range
// double to an integer is undefined, so a double is clamped before it is
// converted.
namespace StoredValues {

inline qint64 integer(const QVariant &value, qint64 min, qint64 max)
{
    if (value.typeId() == QMetaType::Double) {
        const double d = value.toDouble();
        if (!(d >= double(min))) // NaN too
            return min;
        if (d >= double(max))
            return max;
        return qint64(d);
    }
    return std::clamp(value.toLongLong(), min, max);
}

inline int integer(const QVariant &value, int min, int max)
{
    return int(integer(value, qint64(min), qint64(max)));
}

inline bool flag(const QVariant &value)
{
    return integer(value, 0, 1) != 0;
}

inline qint64 time(const QVariant &value)
{
    return integer(value, HistoryTime::EarliestMs, HistoryTime::LatestMs);
}

inline constexpr int IntMax = std::numeric_limits<int>::max();
inline constexpr qint64 Int64Max = std::numeric_limits<qint64>::max();

} // namespace StoredValues
