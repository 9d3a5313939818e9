#include "statrecord.h"

#include <QtEndian>

#include <algorithm>

StatRecord StatRecord::fromBytes(QByteArrayView bytes)
{
    Q_ASSERT(bytes.size() >= Size);
    StatRecord record;
    std::copy_n(bytes.data(), Size, record.m_bytes.begin());
    return record;
}

QByteArray StatRecord::toBytes() const
{
    return QByteArray(m_bytes.data(), Size);
}

qint32 StatRecord::int32At(int offset) const
{
    return qFromLittleEndian<qint32>(m_bytes.data() + offset);
}

void StatRecord::setInt32At(int offset, qint32 value)
{
    qToLittleEndian<qint32>(value, m_bytes.data() + offset);
}

int StatRecord::questionOffset(int ticket, int question)
{
    Q_ASSERT(ticket >= 1 && ticket <= 40 && question >= 1 && question <= 20);
    return QuestionStatsOffset + ((ticket - 1) * 20 + (question - 1)) * QuestionStatsSize;
}

int StatRecord::ticketStatus(int ticket) const
{
    Q_ASSERT(ticket >= 0 && ticket <= 40);
    return int32At(TicketStatusOffset + 4 * (ticket - 1));
}

void StatRecord::setTicketStatus(int ticket, int status)
{
    Q_ASSERT(ticket >= 1 && ticket <= 40);
    setInt32At(TicketStatusOffset + 4 * (ticket - 1), status);
}

qint32 StatRecord::launchCount() const
{
    return int32At(LaunchCountOffset);
}

void StatRecord::setLaunchCount(qint32 count)
{
    setInt32At(LaunchCountOffset, count);
}

QuestionStats StatRecord::questionStats(int ticket, int question) const
{
    const int base = questionOffset(ticket, question);
    QuestionStats stats;
    for (int m = 0; m < 3; ++m) {
        stats.correct[size_t(m)] = quint8(m_bytes[size_t(base + m)]);
        stats.wrong[size_t(m)] = quint8(m_bytes[size_t(base + 3 + m)]);
        stats.seconds[size_t(m)] = int32At(base + 8 + 4 * m);
    }
    stats.reserved = {quint8(m_bytes[size_t(base + 6)]), quint8(m_bytes[size_t(base + 7)])};
    return stats;
}

void StatRecord::setQuestionStats(int ticket, int question, const QuestionStats &stats)
{
    const int base = questionOffset(ticket, question);
    for (int m = 0; m < 3; ++m) {
        m_bytes[size_t(base + m)] = char(stats.correct[size_t(m)]);
        m_bytes[size_t(base + 3 + m)] = char(stats.wrong[size_t(m)]);
        setInt32At(base + 8 + 4 * m, stats.seconds[size_t(m)]);
    }
    // The reserved pair is left exactly as it is in the record.
}

void StatRecord::addCorrect(int ticket, int question, int mode)
{
    Q_ASSERT(mode >= 0 && mode < 3);
    char &counter = m_bytes[size_t(questionOffset(ticket, question) + mode)];
    counter = char(quint8(quint8(counter) + 1)); // wraps 255 -> 0
}

void StatRecord::addWrong(int ticket, int question, int mode)
{
    Q_ASSERT(mode >= 0 && mode < 3);
    char &counter = m_bytes[size_t(questionOffset(ticket, question) + 3 + mode)];
    counter = char(quint8(quint8(counter) + 1));
}

void StatRecord::addSecond(int ticket, int question, int mode)
{
    Q_ASSERT(mode >= 0 && mode < 3);
    const int offset = questionOffset(ticket, question) + 8 + 4 * mode;
    // Unsigned arithmetic: a 32-bit overflow wraps instead of being undefined.
    setInt32At(offset, qint32(quint32(int32At(offset)) + 1u));
}

void StatRecord::reset()
{
    setInt32At(0, 0);
    setInt32At(4, 0);
    for (int t = 1; t <= 40; ++t) {
        setTicketStatus(t, TicketStatus::NotPassed);
        for (int q = 1; q <= 20; ++q) {
            QuestionStats stats = questionStats(t, q);
            stats.correct = {};
            stats.wrong = {};
            stats.seconds = {};
            setQuestionStats(t, q, stats);
        }
    }
}

StatRecord &globalStatRecord()
{
    static StatRecord record;
    return record;
}
