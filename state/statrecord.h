#pragma once

#include "ticketstatus.h"

#include <QByteArray>
#include <QtGlobal>

#include <array>

// Per-question counters of one question, by mode (see StatMode). The counts
// are 8-bit and wrap from 255 to 0.
struct QuestionStats
{
    std::array<quint8, 3> correct{};
    std::array<quint8, 3> wrong{};
    std::array<quint8, 2> reserved{}; // never written by the program
    std::array<qint32, 3> seconds{};

    int correctTotal() const { return correct[0] + correct[1] + correct[2]; }
    int wrongTotal() const { return wrong[0] + wrong[1] + wrong[2]; }
    qint64 secondsTotal() const { return qint64(seconds[0]) + seconds[1] + seconds[2]; }
    friend bool operator==(const QuestionStats &, const QuestionStats &) = default;
};

// The whole progress of the user: 16176 bytes, little-endian, exactly as
// stored at the start of "stat.dat".
//
//   0     int32  reserved, carried unchanged (zeroed by a reset)
//   4     int32  status slot of a ticket 0, reserved (zeroed by a reset)
//   8     int32  TicketStatus[1..40]
//   168   int32  copy of the launch counter
//   172   int32  reserved, carried unchanged
//   176   QuestionStats[40][20], 20 bytes each:
//         +0 uint8 correct[3], +3 uint8 wrong[3], +6 2 reserved, +8 int32 seconds[3]
//
// The record keeps the raw bytes, so reserved fields survive a load and save
// untouched.
class StatRecord
{
public:
    static constexpr int Size = 16176;
    static constexpr int TicketStatusOffset = 8;
    static constexpr int LaunchCountOffset = 168;
    static constexpr int QuestionStatsOffset = 176;
    static constexpr int QuestionStatsSize = 20;

    StatRecord() = default;
    // From exactly Size bytes (the caller checks the size).
    static StatRecord fromBytes(QByteArrayView bytes);
    QByteArray toBytes() const;

    int ticketStatus(int ticket) const;
    void setTicketStatus(int ticket, int status);

    qint32 launchCount() const;
    void setLaunchCount(qint32 count);

    QuestionStats questionStats(int ticket, int question) const;
    void setQuestionStats(int ticket, int question, const QuestionStats &stats);

    // The updates the exam window makes: one answer or one second.
    void addCorrect(int ticket, int question, int mode);
    void addWrong(int ticket, int question, int mode);
    void addSecond(int ticket, int question, int mode);

    // Zeroes the statuses, the fields at offsets 0 and 4 and every counter and
    // seconds field; the launch-counter copy and reserved bytes stay.
    void reset();

    friend bool operator==(const StatRecord &, const StatRecord &) = default;

private:
    qint32 int32At(int offset) const;
    void setInt32At(int offset, qint32 value);
    static int questionOffset(int ticket, int question);

    std::array<char, Size> m_bytes{};
};

// The program-wide record, filled at start-up and kept for the whole run.
StatRecord &globalStatRecord();
