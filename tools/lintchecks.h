#pragma once

#include "lintquestion.h"

#include <QList>
#include <QString>
#include <QStringList>

// The limits `dbv lint` holds a database to. The defaults are what a
// teaching database should keep; each is a command-line option.
struct LintLimits
{
    // Two questions with the same picture (or both without one) are near
    // duplicates when the stems of their texts and correct variants overlap
    // at least this much (Jaccard similarity).
    double duplicateSimilarity = 0.7;
    // Questions beyond the first of each near-duplicate group: 2 % of 800.
    int maxDuplicateCopies = 16;
    // Share of questions without a picture and with three or more
    // non-numeric variants whose correct variant is the longest. Chance is
    // about a third.
    double maxLongestShare = 0.40;
    int maxUnorderedNumeric = 0;
    // Correct variants that repeat the question's words where no wrong one does.
    int maxEchoes = 24;
    int maxPictureUses = 3;
    int maxLeaks = 0;
    int maxMarkerProblems = 0;
    int maxCommentProblems = 0;
};

// One remark about one question.
struct LintFinding
{
    int number = 0;
    QString check; // "duplicate", "longest", "numeric", "echo", "picture", "leak", "marker",
                   // "comment", "read"
    QString message;
};

// The figures the summary prints, and on which the limits are checked.
struct LintSummary
{
    int questions = 0;
    int withPictures = 0;
    int unreadable = 0;
    int duplicateGroups = 0;
    int duplicateCopies = 0;
    int longestCorrect = 0; // of longestBase
    int longestBase = 0;
    int numericQuestions = 0;
    int unorderedNumeric = 0;
    int echoes = 0;
    int maxPictureUses = 0;
    int overusedPictures = 0; // pictures used more than the limit allows
    int leaks = 0;
    int markerProblems = 0;
    int commentProblems = 0;

    double longestShare() const { return longestBase ? double(longestCorrect) / longestBase : 0; }
};

struct LintReport
{
    QList<LintFinding> findings; // in question order within each check
    LintSummary summary;
    QStringList exceeded; // one line per limit exceeded; empty: the database passes
    // Near-duplicate groups as question numbers, the first of each kept.
    QList<QList<int>> duplicateGroups;
};

// Runs every check over `questions` (one database, in number order).
LintReport lintQuestions(const QList<LintQuestion> &questions, const LintLimits &limits = {});
