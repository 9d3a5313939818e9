#pragma once

#include "questionprogress.h"
#include "topicsfile.h"

#include <QList>
#include <QString>

// How far the learner is with one topic of the database, and the order in
// which its questions are put to them when they choose it.
struct TopicProgress
{
    // A topic is run as attempts of this many questions.
    static constexpr int BatchSize = 20;

    QString name;
    int questionCount = 0; // distinct questions of the topic within 1..800
    int answeredCount = 0; // answered at least once
    int rightCount = 0;    // whose last answer was right
    // All the topic's questions, the ones to work on first:
    //  1. last answered wrong, the one answered longest ago first;
    //  2. never answered, in the topic's own order;
    //  3. last answered right, the one answered longest ago first.
    // The learner works on what they don't know before what they know, and
    // among equals on what they have not seen for longest. Ties keep the
    // topic's order.
    QList<int> runOrder;

    // The questions of the next attempt over the topic: the first BatchSize
    // of runOrder. Once answered they move back in the order, so the next
    // batch goes on with the rest.
    QList<int> nextBatch() const { return runOrder.mid(0, BatchSize); }

    // One entry per topic, in the order of `topics`. A question in several
    // topics counts in each. Numbers outside 1..800 are left out, and a
    // number listed twice in a topic counts once.
    static QList<TopicProgress> compute(const QList<Topic> &topics,
                                        const QuestionProgressTable &table);

    friend bool operator==(const TopicProgress &, const TopicProgress &) = default;
};
