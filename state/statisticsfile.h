#pragma once

#include "statrecord.h"

#include <QString>

class QIODevice;

#include <optional>
#include <stdexcept>

// Raised when "stat.dat" cannot be loaded, created or saved; message() is the
// Russian text to show.
class StatisticsError : public std::runtime_error
{
public:
    enum Kind
    {
        // The record could not be read or created: the program cannot go on.
        Unusable,
        // The record is in memory but did not reach the file, whose old
        // content is kept: the learner may go on.
        NotSaved,
    };

    explicit StatisticsError(const QString &message, Kind kind = Unusable)
        : std::runtime_error(message.toStdString()), m_message(message), m_kind(kind)
    {
    }
    QString message() const { return m_message; }
    Kind kind() const { return m_kind; }

private:
    QString m_message;
    Kind m_kind;
};

namespace StatisticsFile {
inline constexpr char FileName[] = "stat.dat";
// The message shown when the file at start-up is missing a whole record or
// cannot be created.
inline constexpr char DamagedMessage[] = "Нарушение защиты! Программа повреждена! ";

// "stat.dat" in the process's current folder, resolved at the moment of the call.
QString currentPath();
} // namespace StatisticsFile

// All three take the file path explicitly; an empty path means
// StatisticsFile::currentPath(), as the program uses them.

// At start-up: reads the first record of an existing file (longer files keep
// their extra bytes) or creates a zero record, then stores `launchCount` in
// the record's launch-counter copy and writes the record back. A file that
// cannot be read or created throws StatisticsError (Unusable): DamagedMessage,
// then an empty line and the real reason (too short, full disk, read-only
// folder, no regular file...), and leaves `record` unchanged. When an existing record was read but
// could not be written back, `record` takes it and NotSaved is thrown.
void loadOrCreateStatistics(StatRecord &record, qint32 launchCount, const QString &path = {});

// loadOrCreateStatistics in its two steps, for a caller that lets the write
// run on another thread while it goes on.
struct StatisticsAtStart
{
    StatRecord record; // as read (or a zero record), with the launch counter set
    QString path;      // resolved when read
    bool existed = false;
};
// Reads as loadOrCreateStatistics does, throwing what it throws for a file
// that cannot be read.
StatisticsAtStart readStatisticsAtStart(qint32 launchCount, const QString &path = {});
// Writes the record back; returns what loadOrCreateStatistics would throw
// (Unusable when the file did not exist, NotSaved when it did), or nothing.
// It touches only its own file objects, so it may run on any thread.
std::optional<StatisticsError> writeStatisticsAtStart(const StatisticsAtStart &read);

// Writes `record` as the first 16176 bytes of the file, keeping any bytes
// after it (copied in chunks, runs of zeros left as holes). The file is
// replaced atomically: every write, the flush and the rename are checked, so
// a failure (thrown as StatisticsError, NotSaved, with the reason in plain
// Russian: full disk, read-only folder or file, ...) leaves the old file byte
// for byte.
void saveStatistics(const StatRecord &record, const QString &path = {});

namespace StatisticsFile {
// Writes `record` and then everything `tail` holds from its current position
// to `out`, checking every write. Returns false as soon as a write or read
// fails. `tail` may be null.
bool writeRecordAndTail(QIODevice &out, const QByteArray &record, QIODevice *tail);
} // namespace StatisticsFile

// Zeroes statuses and counters (see StatRecord::reset) and saves. If the save
// fails the record in memory stays as it was.
void resetStatistics(StatRecord &record, const QString &path = {});
