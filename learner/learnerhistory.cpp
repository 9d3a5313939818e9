#include "learnerhistory.h"

#include "answerhistory.h"
#include "databasefingerprint.h"
#include "examattempt.h"
#include "historyrecorder.h"
#include "historywritequeue.h"
#include "programrandom.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "questionindexentry.h"
#include "questionkeys.h"
#include "textblock.h"

#include <QFileInfo>

#include <numeric>

LearnerHistory::LearnerHistory() = default;
LearnerHistory::~LearnerHistory() = default;

void LearnerHistory::open(const QString &folder, const QString &databasePath)
{
    m_writes.reset();
    m_history = std::make_unique<AnswerHistory>(AnswerHistory::filePathIn(folder));
    m_writes = std::make_unique<HistoryWriteQueue>(*m_history);
    setDatabase(databasePath);
}

void LearnerHistory::setDatabase(const QString &databasePath)
{
    m_databasePath = databasePath;
    m_fingerprint = DatabaseFingerprint::fromFile(databasePath);
    if (isAvailable())
        QuestionKeys::attach(*m_history, databasePath, m_fingerprint);
    readVariants();
    m_weights = isAvailable() ? LearnerWeights::load(weightsPath(), m_fingerprint) : std::nullopt;
    m_model.weights = LearnerWeights::weightsInUse(m_weights);
}

void LearnerHistory::readVariants()
{
    // Only the text blocks, about 5 ms for a whole database; a question that
    // cannot be read keeps 0 ("not known") and the rest are still counted.
    m_model.variants.fill(0);
    QuestionDatabase database;
    try {
        database.openDatabase(m_databasePath);
    } catch (const QuestionBankError &) {
        return;
    }
    Question question;
    for (int q = 1; q <= QuestionBankLayout::QuestionCount; ++q) {
        try {
            parseQuestion(database.readQuestionText(q), question, q);
            m_model.variants[size_t(q - 1)] = quint8(question.answerCount);
        } catch (const QuestionBankError &) {
        }
    }
}

QString LearnerHistory::weightsPath() const
{
    return m_history ? LearnerWeights::filePathIn(QFileInfo(m_history->filePath()).path())
                     : QString();
}

std::optional<LearnerWeights::Record> LearnerHistory::weightsRecord() const
{
    return m_weights;
}

bool LearnerHistory::keepWeights(const LearnerWeights::Record &record)
{
    m_weights = record;
    m_model.weights = LearnerWeights::weightsInUse(m_weights);
    return isAvailable() && LearnerWeights::save(weightsPath(), m_fingerprint, record);
}

bool LearnerHistory::isAvailable() const
{
    if (!m_history || m_fingerprint.isEmpty())
        return false;
    // Each try may wait the short busy timeout; a window asks several times
    // while it refreshes, so the file is tried at most once a second.
    if ((m_history->isOpenDeferred() || m_writes->pendingCount() > 0) &&
        (!m_lastCatchUp.isValid() || m_lastCatchUp.elapsed() >= 1000)) {
        m_lastCatchUp.start();
        if (m_history->isOpenDeferred())
            m_history->retryOpen();
        if (m_writes->pendingCount() > 0)
            m_writes->flush(0);
    }
    return m_history->isAvailable();
}

bool LearnerHistory::canRecord() const
{
    return m_history && !m_fingerprint.isEmpty() && !m_history->isReadOnly() &&
           (m_history->isAvailable() || m_history->isOpenDeferred());
}

QString LearnerHistory::statusNote() const
{
    if (isAvailable() || (m_history && m_history->isOpenDeferred())) {
        if (m_history->isReadBlocked())
            return QStringLiteral("История ответов сейчас занята другой программой: показано "
                                  "не всё, новые ответы будут записаны позже.");
        if (m_writes->pendingCount() > 0)
            return QStringLiteral("Последние ответы ещё не записаны в историю (файл занят другой "
                                  "программой или на диске нет места); они будут записаны "
                                  "позже.");
        if (m_history->isReadOnly())
            return QStringLiteral("История ответов открыта только для чтения: новые ответы в "
                                  "неё не записываются.");
        return {};
    }
    return QStringLiteral(
        "История ответов недоступна: программа работает только со статистикой «stat.dat».");
}

void LearnerHistory::attach(ExamAttempt &attempt)
{
    attach(attempt, historyModeOf(attempt));
}

void LearnerHistory::attach(ExamAttempt &attempt, HistoryMode mode)
{
    if (canRecord())
        HistoryRecorder::attach(attempt, *m_writes, m_fingerprint, mode);
}

QList<AnswerOutcome> LearnerHistory::outcomes() const
{
    return isAvailable() ? m_history->outcomes(m_fingerprint) : QList<AnswerOutcome>();
}

std::optional<MarathonState> LearnerHistory::marathon() const
{
    return isAvailable() ? m_history->marathon(m_fingerprint) : std::nullopt;
}

std::optional<MarathonState> LearnerHistory::beginMarathon()
{
    if (!canRecord())
        return std::nullopt;
    // Fisher–Yates with the program's own generator (not std::shuffle), so
    // that tests script the order the same way as every other draw.
    MarathonState state;
    state.order.resize(QuestionBankLayout::QuestionCount);
    std::iota(state.order.begin(), state.order.end(), 1);
    for (qsizetype i = state.order.size() - 1; i > 0; --i)
        std::swap(state.order[i], state.order[ProgramRandom::random(int(i) + 1)]);
    if (!m_writes->saveMarathon(m_fingerprint, state, QDateTime::currentDateTimeUtc()))
        return std::nullopt;
    return state;
}

int LearnerHistory::carriedOverNotice() const
{
    return isAvailable() ? m_history->carriedOverNotice(m_fingerprint) : 0;
}

void LearnerHistory::acknowledgeCarriedOver()
{
    if (isAvailable())
        m_history->clearCarriedOverNotice(m_fingerprint);
}

void LearnerHistory::clearCurrent()
{
    if (!canRecord())
        return;
    m_writes->clear(m_fingerprint, QDateTime::currentDateTimeUtc());
    // The weights were fitted to the answers just cleared.
    LearnerWeights::remove(weightsPath(), m_fingerprint);
    m_weights.reset();
    m_model.weights = Fsrs::DefaultWeights;
}

QString LearnerHistory::takePendingMessage()
{
    return m_history ? m_history->takePendingMessage() : QString();
}

QString carriedOverMessage(int questions)
{
    const int lastTwo = questions % 100;
    const int last = questions % 10;
    const char *noun = "вопросов";
    if (last == 1 && lastTwo != 11)
        noun = "вопрос";
    else if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14))
        noun = "вопроса";
    return QStringLiteral("Из прошлой базы перенесены ответы на %1 %2.")
        .arg(questions)
        .arg(QString::fromUtf8(noun));
}
