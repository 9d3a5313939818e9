#include "topicprogress.h"

#include <QSet>

#include <algorithm>

namespace {

// The group of a question in the run order; lower runs first.
int runGroup(const QuestionProgress &progress)
{
    if (!progress.isAnswered())
        return 1;
    return progress.lastRight ? 2 : 0;
}

TopicProgress progressOf(const Topic &topic, const QuestionProgressTable &table)
{
    TopicProgress result;
    result.name = topic.name;
    QSet<int> seen;
    for (const int question : topic.questions) {
        if (question < 1 || question > QuestionProgressTable::QuestionCount ||
            seen.contains(question)) {
            continue;
        }
        seen.insert(question);
        result.runOrder.append(question);
        const QuestionProgress &progress = table.question(question);
        result.answeredCount += progress.isAnswered() ? 1 : 0;
        result.rightCount += progress.isAnswered() && progress.lastRight ? 1 : 0;
    }
    result.questionCount = int(result.runOrder.size());

    // Never-answered questions all have lastAnsweredMs 0, so the stable sort
    // keeps them in the topic's order.
    std::stable_sort(result.runOrder.begin(), result.runOrder.end(), [&table](int a, int b) {
        const QuestionProgress &pa = table.question(a);
        const QuestionProgress &pb = table.question(b);
        const int groupA = runGroup(pa);
        const int groupB = runGroup(pb);
        if (groupA != groupB)
            return groupA < groupB;
        return pa.lastAnsweredMs < pb.lastAnsweredMs;
    });
    return result;
}

} // namespace

QList<TopicProgress> TopicProgress::compute(const QList<Topic> &topics,
                                            const QuestionProgressTable &table)
{
    QList<TopicProgress> result;
    result.reserve(topics.size());
    for (const Topic &topic : topics)
        result.append(progressOf(topic, table));
    return result;
}
