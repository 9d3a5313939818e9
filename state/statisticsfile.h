#pragma once

#include "statrecord.h"

#include <QString>

#include <stdexcept>

// Raised when "stat.dat" cannot be loaded, created or saved; message() is the
// Russian text to show.
class StatisticsError : public std::runtime_error
{
public:
    explicit StatisticsError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
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
// the record's launch-counter copy and writes the record back. Throws
// StatisticsError with DamagedMessage on any failure; `record` is only
// changed on success.
void loadOrCreateStatistics(StatRecord &record, qint32 launchCount, const QString &path = {});

// Writes `record` as the first 16176 bytes of the file, keeping any bytes
// after it. The file is replaced atomically, so a failure (thrown as
// StatisticsError with the system's reason) leaves the old file intact.
void saveStatistics(const StatRecord &record, const QString &path = {});

// Zeroes statuses and counters (see StatRecord::reset) and saves. If the save
// fails the record in memory stays as it was.
void resetStatistics(StatRecord &record, const QString &path = {});
