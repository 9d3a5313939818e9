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
    // Two questions teach the same rule with the same answer when the stems
    // of their texts and comments, road users folded into one word, overlap
    // this much and their correct variants read the same but for the road
    // users ("Только автобусу", "Только мотоциклу").
    double ruleSimilarity = 0.75;
    // Groups of such questions (the kept first one not counted).
    int maxRuleGroups = 5;
    // Two questions of one ticket whose texts and comments overlap this much
    // teach one rule twice: the second answers the first.
    double ticketRuleSimilarity = 0.6;
    int maxTicketRuleRepeats = 0;
    // No answer position may be keyed more often than this share of the
    // questions, so that "always the second" does not pay. Judged from 100
    // questions on: fewer say nothing about a habit.
    double maxKeyShare = 0.35;
    // Among the yes/no questions («Можно» / «Нельзя»), the share keyed
    // with the forbidding answer stays in this band, so that "it is
    // forbidden" is no safe guess. Judged from 30 such questions on.
    double minProhibitiveShare = 0.40;
    double maxProhibitiveShare = 0.60;
    // Share of comments that cite a paragraph of the rules («п. 13.9»).
    // Off by default: a database need not cite; the demo holds itself to 75 %.
    double minCitingShare = 0;
    // Comments that only say the answer again: no paragraph, hardly a word
    // the question and its answer do not have.
    int maxRestatingComments = 0;
    // Comments citing a paragraph the rules do not have («п. 13.19»).
    int maxUnknownParagraphs = 0;
};

// One remark about one question.
struct LintFinding
{
    int number = 0;
    QString check; // "duplicate", "longest", "numeric", "echo", "picture", "leak", "marker",
                   // "comment", "read", "rule", "ticket-rule", "restating", "paragraph"
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
    int ruleGroups = 0;
    int ruleCopies = 0;
    int ticketRuleRepeats = 0;
    QList<int> keyedAt; // keyedAt[p]: questions keyed at variant p + 1
    int keyedBase = 0;
    int yesNo = 0;
    int prohibitiveKeyed = 0;
    int citing = 0;
    int restating = 0;
    int unknownParagraphs = 0; // comments citing a paragraph that does not exist

    double longestShare() const { return longestBase ? double(longestCorrect) / longestBase : 0; }
    // The most often keyed position (1-based) and its share.
    int topKeyPosition() const;
    double topKeyShare() const;
    double prohibitiveShare() const { return yesNo ? double(prohibitiveKeyed) / yesNo : 0; }
    double citingShare() const { return questions ? double(citing) / questions : 0; }
};

struct LintReport
{
    QList<LintFinding> findings; // in question order within each check
    LintSummary summary;
    QStringList exceeded; // one line per limit exceeded; empty: the database passes
    // Near-duplicate groups as question numbers, the first of each kept.
    QList<QList<int>> duplicateGroups;
    // Questions teaching one rule with one answer, the first of each kept.
    QList<QList<int>> ruleGroups;
};

// Runs every check over `questions` (one database, in number order).
LintReport lintQuestions(const QList<LintQuestion> &questions, const LintLimits &limits = {});
