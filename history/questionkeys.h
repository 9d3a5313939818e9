#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class AnswerHistory;
class QuestionDatabase;
struct Question;

// A question's identity beyond its place in one file: a key derived from
// its content, so that the same question in a new release of the tickets,
// wherever it now sits, keeps its answers. The key covers what makes the
// question the same for the learner: the question text and the variants in
// their stored order (both normalised: Unicode compatibility form, runs of
// white space as one space, no space at the ends), which variant is right,
// and the picture's bytes. The comment is left out: rewording it does not
// change what the learner answered.
//
// A key is the first 64 bits of a BLAKE2b-256 digest (Qt's, as for the
// database fingerprint). A question whose content repeats within one
// database gets a key of its occurrence, so keys are unique per database.
namespace QuestionKeys {

qint64 contentKey(const Question &question, const QByteArray &pictureBytes);
// The key of a question that cannot be read: its place in its database, so
// its answers stay with it and never match another database's.
qint64 placeKey(const QString &fingerprint, int absoluteNumber);
// The keys of questions 1..800 of an open database.
QList<qint64> compute(QuestionDatabase &database, const QString &fingerprint);

// Gives `history` the keys of the database file at `databasePath`: the
// stored ones while the file keeps the size and time it had when they were
// computed, otherwise computed from the file and stored. Returns how many
// questions took over answers from other databases when the database got
// its keys for the first time; 0 otherwise, and when the file cannot be read
// (its answers then keep their place in the file as their identity).
int attach(AnswerHistory &history, const QString &databasePath, const QString &fingerprint);

} // namespace QuestionKeys
