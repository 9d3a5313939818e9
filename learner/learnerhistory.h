#pragma once

#include "answerrecord.h"
#include "historymode.h"
#include "learnermodel.h"
#include "learnerweights.h"

#include <QElapsedTimer>
#include <QList>

#include <QString>

#include <memory>

class AnswerHistory;
class HistoryWriteQueue;
class ExamAttempt;

// The program's answer history for the question database that is open: the
// store beside "stat.dat" and the fingerprint its rows are kept under. The
// main window owns one for the run; attempts are attached to it as they start.
class LearnerHistory
{
public:
    LearnerHistory();
    ~LearnerHistory();
    LearnerHistory(const LearnerHistory &) = delete;
    LearnerHistory &operator=(const LearnerHistory &) = delete;

    // Opens the history in `folder` (the folder of "stat.dat") for the
    // database file at `databasePath`. A failure leaves a store that does
    // nothing and a message to show (takePendingMessage).
    void open(const QString &folder, const QString &databasePath);
    // Another question database was opened: its rows from now on. Its
    // questions' content keys are given to the history (QuestionKeys), so
    // that answers to the same questions in other databases count here.
    void setDatabase(const QString &databasePath);

    bool isOpen() const { return m_history != nullptr; }
    // The question database whose history this is.
    QString databasePath() const { return m_databasePath; }
    // Whether the history can be read now. A history that waits for another
    // program's lock is tried again first, and writes kept waiting are
    // written, so what is read is as fresh as the file allows.
    bool isAvailable() const;
    // Whether attempts are recorded: the history is writable, or waits for a
    // lock and keeps the answers meanwhile.
    bool canRecord() const;
    // A line for the windows when the history is not fully in use (locked by
    // another program, read-only, unavailable); empty when all is well.
    QString statusNote() const;
    // Null until open() was called.
    AnswerHistory *store() const { return m_history.get(); }
    QString fingerprint() const { return m_fingerprint; }

    // Records `attempt` from its start on, in its own ticket mode.
    void attach(ExamAttempt &attempt);
    // The same in `mode`, for the modes built on the history.
    void attach(ExamAttempt &attempt, HistoryMode mode);
    // Every answer of the open database, oldest first; empty without a
    // history.
    QList<AnswerOutcome> outcomes() const;
    // The marathon of the open database as it stands; empty when none was
    // begun or there is no history to keep one.
    std::optional<MarathonState> marathon() const;
    // Draws a new order through all questions and keeps it, replacing any
    // marathon under way; empty without a history.
    std::optional<MarathonState> beginMarathon();
    // How many of the open database's questions took over answers from
    // another database when it was first opened, until the learner has been
    // told (acknowledgeCarriedOver); 0 when there is nothing to tell.
    int carriedOverNotice() const;
    void acknowledgeCarriedOver();
    // What the readiness forecast needs beyond the answers: the open
    // database's variant counts and the memory weights in use.
    const LearnerModel &model() const { return m_model; }
    // The stored fit of the learner's own weights for the open database.
    std::optional<LearnerWeights::Record> weightsRecord() const;
    // Keeps a new fit and takes its weights into use when it beat the
    // defaults. False when it could not be kept (the run still uses it).
    bool keepWeights(const LearnerWeights::Record &record);
    // Forgets the open database's history (the results reset).
    void clearCurrent();
    // What the learner should be told about the history, once; empty when
    // nothing.
    QString takePendingMessage();

private:
    void readVariants();
    QString weightsPath() const;

    std::unique_ptr<AnswerHistory> m_history;
    LearnerModel m_model;
    std::optional<LearnerWeights::Record> m_weights;
    // Declared after the store: it goes first, flushing into it.
    std::unique_ptr<HistoryWriteQueue> m_writes;
    mutable QElapsedTimer m_lastCatchUp;
    QString m_fingerprint;
    QString m_databasePath;
};

// What the learner is told the first time a database is opened whose
// questions took over answers from another one: «Из прошлой базы перенесены
// ответы на 761 вопрос» (with the noun's plural form for the number).
QString carriedOverMessage(int questions);
