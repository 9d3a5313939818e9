#include "historywritequeue.h"

#include "answerhistory.h"
#include "regularfile.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QThread>

namespace {

// A pending file is a few kilobytes per attempt; one far larger is not ours.
constexpr qint64 MaxPendingFileBytes = 16 * 1024 * 1024;

QJsonValue optionalFlag(const std::optional<bool> &flag)
{
    return flag ? QJsonValue(*flag) : QJsonValue();
}

} // namespace

QString HistoryWriteQueue::pendingFilePath(const QString &historyPath)
{
    return historyPath + QStringLiteral(".pending");
}

HistoryWriteQueue::HistoryWriteQueue(AnswerHistory &history, QObject *parent)
    : QObject(parent), m_history(history)
{
    m_retry.setInterval(RetryIntervalMs);
    connect(&m_retry, &QTimer::timeout, this, &HistoryWriteQueue::drain);
    if (!m_history.isReadOnly() && (m_history.isAvailable() || m_history.isOpenDeferred()))
        restorePending();
}

HistoryWriteQueue::~HistoryWriteQueue()
{
    if (flush(ExitFlushMs))
        return;
    if (!savePending())
        qWarning("History: %d writes could not be stored in %s before the end", pendingCount(),
                 qPrintable(m_history.filePath()));
}

qint64 HistoryWriteQueue::beginAttempt(const QString &fingerprint, HistoryMode mode,
                                       const QDateTime &startedAt)
{
    if (m_pending.empty()) {
        const int delayed = m_history.delayedWriteCount();
        if (const qint64 id = m_history.beginAttempt(fingerprint, mode, startedAt); id > 0)
            return id;
        if (m_history.delayedWriteCount() == delayed)
            return 0;
    }
    const qint64 handle = --m_lastHandle;
    m_pending.push_back(BeginAttempt{handle, fingerprint, mode, startedAt});
    m_retry.start();
    return handle;
}

void HistoryWriteQueue::endAttempt(qint64 attempt, const QDateTime &endedAt,
                                   const AttemptSummary &result)
{
    if (attempt != 0)
        submit(EndAttempt{attempt, endedAt, result});
}

bool HistoryWriteQueue::recordAnswer(const QString &fingerprint, const AnswerRecord &answer)
{
    return submit(Answer{fingerprint, answer}) != Outcome::Refused;
}

bool HistoryWriteQueue::saveMarathon(const QString &fingerprint, const MarathonState &state,
                                     const QDateTime &savedAt)
{
    return submit(Marathon{fingerprint, state, savedAt}) != Outcome::Refused;
}

bool HistoryWriteQueue::clear(const QString &fingerprint, const QDateTime &resetAt)
{
    return submit(Clear{fingerprint, resetAt}) != Outcome::Refused;
}

HistoryWriteQueue::Outcome HistoryWriteQueue::submit(Write write)
{
    if (m_pending.empty()) {
        const Outcome outcome = execute(write);
        if (outcome != Outcome::Delayed)
            return outcome;
    } else if (!m_history.isAvailable() && !m_history.isOpenDeferred()) {
        return Outcome::Refused;
    }
    m_pending.push_back(std::move(write));
    m_retry.start();
    return Outcome::Delayed;
}

qint64 HistoryWriteQueue::resolve(qint64 attempt) const
{
    return attempt >= 0 ? attempt : m_attemptIds.value(attempt, 0);
}

HistoryWriteQueue::Outcome HistoryWriteQueue::execute(const Write &write)
{
    const int delayed = m_history.delayedWriteCount();
    const bool written = std::visit(
        [this](const auto &w) -> bool {
            using T = std::decay_t<decltype(w)>;
            if constexpr (std::is_same_v<T, BeginAttempt>) {
                const qint64 id = m_history.beginAttempt(w.fingerprint, w.mode, w.startedAt);
                if (id > 0)
                    m_attemptIds.insert(w.handle, id);
                return id > 0;
            } else if constexpr (std::is_same_v<T, EndAttempt>) {
                const qint64 id = resolve(w.attempt);
                return id > 0 && m_history.endAttempt(id, w.endedAt, w.result);
            } else if constexpr (std::is_same_v<T, Answer>) {
                AnswerRecord record = w.record;
                record.attemptId = resolve(record.attemptId);
                return m_history.recordAnswer(w.fingerprint, record);
            } else if constexpr (std::is_same_v<T, Marathon>) {
                return m_history.saveMarathon(w.fingerprint, w.state, w.savedAt);
            } else {
                return m_history.clear(w.fingerprint, w.resetAt);
            }
        },
        write);
    if (written)
        return Outcome::Written;
    return m_history.delayedWriteCount() != delayed ? Outcome::Delayed : Outcome::Refused;
}

void HistoryWriteQueue::drain()
{
    while (!m_pending.empty()) {
        if (execute(m_pending.front()) == Outcome::Delayed)
            return;
        // Written, or refused for good (the history turned read-only): either
        // way it is done with.
        m_pending.pop_front();
    }
    m_retry.stop();
}

bool HistoryWriteQueue::flush(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        drain();
        if (m_pending.empty())
            return true;
        if (clock.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(50);
    }
}

bool HistoryWriteQueue::savePending() const
{
    QJsonArray writes;
    for (const Write &write : m_pending) {
        writes.append(std::visit(
            [this](const auto &w) -> QJsonObject {
                using T = std::decay_t<decltype(w)>;
                if constexpr (std::is_same_v<T, BeginAttempt>) {
                    return {{"kind", "begin"},
                            {"handle", w.handle},
                            {"fingerprint", w.fingerprint},
                            {"mode", HistoryModes::code(w.mode)},
                            {"at", w.startedAt.toMSecsSinceEpoch()}};
                } else if constexpr (std::is_same_v<T, EndAttempt>) {
                    // An attempt written before keeps its row id; one still
                    // waiting keeps its handle, as its beginning does.
                    const qint64 id = resolve(w.attempt);
                    return {{"kind", "end"},
                            {"attempt", id != 0 ? id : w.attempt},
                            {"at", w.endedAt.toMSecsSinceEpoch()},
                            {"correct", w.result.correct},
                            {"wrong", w.result.wrong},
                            {"passed", optionalFlag(w.result.passed)}};
                } else if constexpr (std::is_same_v<T, Answer>) {
                    const qint64 id = resolve(w.record.attemptId);
                    return {{"kind", "answer"},
                            {"fingerprint", w.fingerprint},
                            {"question", w.record.question},
                            {"mode", HistoryModes::code(w.record.mode)},
                            {"variant", w.record.variant},
                            {"right", w.record.right},
                            {"seconds", w.record.seconds},
                            {"at", w.record.answeredAtMs},
                            {"attempt", id != 0 ? id : w.record.attemptId},
                            {"correction", w.record.correction}};
                } else if constexpr (std::is_same_v<T, Marathon>) {
                    QJsonArray order;
                    for (int q : w.state.order)
                        order.append(q);
                    return {{"kind", "marathon"},
                            {"fingerprint", w.fingerprint},
                            {"order", order},
                            {"position", w.state.position},
                            {"right", w.state.right},
                            {"wrong", w.state.wrong},
                            {"at", w.savedAt.toMSecsSinceEpoch()}};
                } else {
                    return {{"kind", "clear"},
                            {"fingerprint", w.fingerprint},
                            {"at", w.resetAt.toMSecsSinceEpoch()}};
                }
            },
            write));
    }
    QSaveFile file(pendingFilePath(m_history.filePath()));
    return file.open(QIODevice::WriteOnly) &&
           file.write(QJsonDocument(writes).toJson(QJsonDocument::Compact)) >= 0 && file.commit();
}

// Reads the pending file back into the queue, in its order, and removes it:
// from now on the writes live in this queue (and go back into the file if
// they still wait at its end). Entries that do not make sense are skipped;
// the history checks the rest as it checks every write.
void HistoryWriteQueue::restorePending()
{
    // Only a regular file: opening a named pipe would hold up the start until
    // someone writes to it. Whatever else stands there is left alone.
    const QString path = pendingFilePath(m_history.filePath());
    if (!RegularFile::refusalReason(path).isEmpty())
        return;
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly) || file.size() > MaxPendingFileBytes)
        return;
    const QJsonArray writes = QJsonDocument::fromJson(file.readAll()).array();
    file.close();
    const auto time = [](const QJsonObject &o) {
        return QDateTime::fromMSecsSinceEpoch(o.value("at").toInteger(), Qt::UTC);
    };
    for (const QJsonValue &value : writes) {
        const QJsonObject o = value.toObject();
        const QString kind = o.value("kind").toString();
        const QString fingerprint = o.value("fingerprint").toString();
        const auto mode = HistoryModes::fromCode(o.value("mode").toString());
        if (kind == QLatin1String("begin") && mode && o.value("handle").toInteger() < 0) {
            const qint64 handle = o.value("handle").toInteger();
            m_lastHandle = std::min(m_lastHandle, handle);
            m_pending.push_back(BeginAttempt{handle, fingerprint, *mode, time(o)});
        } else if (kind == QLatin1String("end")) {
            AttemptSummary result{o.value("correct").toInt(), o.value("wrong").toInt(), {}};
            if (o.value("passed").isBool())
                result.passed = o.value("passed").toBool();
            m_pending.push_back(EndAttempt{o.value("attempt").toInteger(), time(o), result});
        } else if (kind == QLatin1String("answer") && mode) {
            AnswerRecord record;
            record.question = o.value("question").toInt();
            record.mode = *mode;
            record.variant = o.value("variant").toInt();
            record.right = o.value("right").toBool();
            record.seconds = o.value("seconds").toInt();
            record.answeredAtMs = o.value("at").toInteger();
            record.attemptId = o.value("attempt").toInteger();
            record.correction = o.value("correction").toBool();
            m_pending.push_back(Answer{fingerprint, record});
        } else if (kind == QLatin1String("marathon")) {
            MarathonState state;
            for (const QJsonValue &q : o.value("order").toArray())
                state.order.append(q.toInt());
            state.position = o.value("position").toInt();
            state.right = o.value("right").toInt();
            state.wrong = o.value("wrong").toInt();
            m_pending.push_back(Marathon{fingerprint, state, time(o)});
        } else if (kind == QLatin1String("clear")) {
            // A file of an earlier release has no time: the reset then
            // counts from now, which is later than anything it cleared.
            m_pending.push_back(Clear{fingerprint, o.contains(QLatin1String("at"))
                                                       ? time(o)
                                                       : QDateTime::currentDateTimeUtc()});
        }
    }
    file.remove();
    if (!m_pending.empty()) {
        drain();
        if (!m_pending.empty())
            m_retry.start();
    }
}
