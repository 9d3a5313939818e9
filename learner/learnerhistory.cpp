#include "learnerhistory.h"

#include "answerhistory.h"
#include "databasefingerprint.h"
#include "examattempt.h"
#include "historyrecorder.h"
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
    m_history = std::make_unique<AnswerHistory>(AnswerHistory::filePathIn(folder));
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
    return m_history && m_history->isAvailable() && !m_fingerprint.isEmpty();
}

void LearnerHistory::attach(ExamAttempt &attempt)
{
    attach(attempt, historyModeOf(attempt));
}

void LearnerHistory::attach(ExamAttempt &attempt, HistoryMode mode)
{
    if (isAvailable())
        HistoryRecorder::attach(attempt, *m_history, m_fingerprint, mode);
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
    if (!isAvailable())
        return std::nullopt;
    // Fisher–Yates with the program's own generator (not std::shuffle), so
    // that tests script the order the same way as every other draw.
    MarathonState state;
    state.order.resize(QuestionBankLayout::QuestionCount);
    std::iota(state.order.begin(), state.order.end(), 1);
    for (qsizetype i = state.order.size() - 1; i > 0; --i)
        std::swap(state.order[i], state.order[ProgramRandom::random(int(i) + 1)]);
    if (!m_history->saveMarathon(m_fingerprint, state, QDateTime::currentDateTimeUtc()))
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
    if (!isAvailable())
        return;
    m_history->clear(m_fingerprint);
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
