#pragma once

#include "ticketstatus.h"

#include <QList>
#include <QString>

// The kind of an attempt. The first three values are also the index of the
// mode's counters in QuestionStats, so learning and preparation share one;
// the exam by the official rules counts as an exam and the marathon as
// learning (ExamAttempt::statMode()).
enum class AttemptMode
{
    Learning = StatMode::Learning,
    Training = StatMode::Training,
    Exam = StatMode::Exam,
    // A random ticket by the traffic police's rules, with additional blocks.
    OfficialExam,
    // All questions of the database in a kept random order, one after
    // another, resumed where the last run stopped.
    Marathon,
};

// Everything an attempt needs to know before it starts; the main window fills
// it from the catalogue, the mode button and the settings menu.
struct AttemptSetup
{
    AttemptMode mode = AttemptMode::Learning;
    // With learning: twenty questions drawn from all tickets instead of one
    // ticket. The main window keeps this choice from the last learning or
    // preparation start; the other modes ignore it.
    bool preparation = false;
    // 1..40. In preparation it is recomputed from every question shown, so
    // it may start as 0 (no ticket selected).
    int ticket = 1;
    // The exam's time limit in seconds; 0 when no time item is chosen (the
    // exam then ends on its first tick).
    int timeLimitSeconds = 0;
    // Moves the correct variant to a drawn place, once per question.
    bool shuffleVariants = false;
    // Learning over these absolute question numbers (1..800) instead of a
    // ticket: the sets the answer history offers (mistakes, review) and a
    // topic's questions; the marathon's whole order. They are put twenty at
    // a time; a set of fewer shows only those. Such an attempt never changes
    // a ticket's status. Empty for the four modes and the official exam.
    QList<int> questions;
    // Marathon: how many of `questions` were answered in earlier runs and how
    // many of those rightly and wrongly; this run goes on from there.
    int startIndex = 0;
    int rightSoFar = 0;
    int wrongSoFar = 0;
    // The topic whose questions these are, for the window; empty otherwise.
    QString topicName;
    // The progress file; empty means "stat.dat" in the current folder.
    QString progressPath;
};
