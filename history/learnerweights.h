#pragma once

#include "answerrecord.h"
#include "fsrs.h"
#include "fsrsfit.h"

#include <QList>
#include <QString>

#include <optional>

// The memory weights fitted to the learner, per question database, kept in
// "memory-weights.json" beside "history.sqlite" with the figures that
// decided whether they are used. Nothing here is needed to read the history:
// a missing or unreadable file only means "not fitted yet".
//
// A fit is redone once a week (RefitDays) while the history is large enough
// (FsrsFit::enoughHistory): a week of practice adds enough answers to move
// the weights, and refitting on every start would cost a second each time
// for no visible change.
namespace LearnerWeights {

inline constexpr char FileName[] = "memory-weights.json";
inline constexpr int RefitDays = 7;

struct Record
{
    qint64 fittedAtMs = 0;
    int answers = 0; // the history's size at the fit
    Fsrs::Weights weights = Fsrs::DefaultWeights;
    double defaultLogLoss = 0;
    double fittedLogLoss = 0;
    bool used = false; // the fit predicted the held-out answers better
    friend bool operator==(const Record &, const Record &) = default;
};

Record fromFit(const FsrsFit::Result &fit, qint64 fittedAtMs, int answers);

// `folder`/memory-weights.json
QString filePathIn(const QString &folder);
std::optional<Record> load(const QString &filePath, const QString &fingerprint);
// Keeps the other databases' records; false when the file cannot be written.
bool save(const QString &filePath, const QString &fingerprint, const Record &record);
// Forgets one database's record (the results reset clears its history).
bool remove(const QString &filePath, const QString &fingerprint);

bool refitDue(const std::optional<Record> &record, const QList<AnswerOutcome> &answers,
              qint64 nowMs);

// The weights in use: the record's when it beat the defaults.
Fsrs::Weights weightsInUse(const std::optional<Record> &record);

// One line for the learner window: which weights are in use and why.
QString description(const std::optional<Record> &record);

} // namespace LearnerWeights
