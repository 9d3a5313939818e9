#pragma once

#include "answerrecord.h"
#include "classroomlearners.h"
#include "learnermodel.h"
#include "serverconnection.h"
#include "topicsfile.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The instructor's table: for each learner of the class, what the learner
// window would show at a glance, for the question database open at the
// instructor's PC. Each learner's history is pulled from the server (as the
// instructor's role) into a history file of its own under a working folder,
// where it is read exactly as the learner's PC reads it — by content keys,
// so answers given in another release of the tickets count too — and where
// the learner window can show it read-only.
struct InstructorRow
{
    ClassroomLearner learner;
    double readiness = 0; // chance of passing the exam by the official rules, 0..1
    int answeredQuestions = 0;
    int answersLastWeek = 0; // answers of the last 7 days, corrections included
    int examsTaken = 0;      // exams by the official rules, ended
    int examsPassed = 0;
    // The last such exam: passed or not, and its errors.
    std::optional<bool> lastExamPassed;
    int lastExamWrong = 0;
    QStringList weakestTopics; // up to three, the lowest share last answered right first
    std::optional<qint64> lastActivityMs;
    QString historyPath; // the pulled history, for the learner window
};

namespace InstructorReport {

inline constexpr int WeakestTopicCount = 3;

struct Result
{
    QList<InstructorRow> rows; // by name
    QString error;             // why the table is empty or incomplete
};

// Pulls each learner's history into `workFolder`/<id>/history.sqlite and
// computes their row. `databasePath` is the open question database;
// `topics` its topics (none: no weakest topics); `model` the variant counts
// and weights the readiness uses.
Result build(const ServerAddress &instructor, const QString &workFolder,
             const QString &databasePath, const LearnerModel &model,
             const std::optional<QList<Topic>> &topics, const QDateTime &now);

// The share of a topic's questions last answered right, as the weakest
// topics are ranked; topics without answered questions are not weak yet.
QStringList weakestTopics(const QList<Topic> &topics, const QList<AnswerOutcome> &answers,
                          int count = WeakestTopicCount);

// The readiness as the table and its exports write it: «73 %».
QString percentText(double chance);
// The last exam in words: «сдан», «не сдан (3 ошибки)», «—».
QString lastExamText(const InstructorRow &row);
// The row's columns as text, in the table's order; and their headers.
QStringList headers();
QStringList columns(const InstructorRow &row);
// The table as CSV (RFC 4180: commas, quotes doubled, CRLF), UTF-8 with a
// byte-order mark so that spreadsheet programs read the Cyrillic right.
QByteArray toCsv(const QList<InstructorRow> &rows);
} // namespace InstructorReport
