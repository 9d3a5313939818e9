// Feeds arbitrary bytes to the topics file reader. Parsing must not crash
// or hang, what it accepts must be within the file's limits, and writing the
// accepted topics out and reading them back must give the same topics.
#include "topicsfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList problems;
    TopicsFile::Excess excess;
    const auto topics = TopicsFile::parse(json, &problems, &excess);
    if (problems.size() > TopicsFile::MaxProblems + 1)
        std::abort();
    if (!topics) {
        if (problems.isEmpty())
            std::abort();
        return 0;
    }
    if (excess.limit != TopicsFile::Excess::Limit::None || topics->size() > TopicsFile::MaxTopics)
        std::abort();
    for (const Topic &topic : *topics) {
        if (topic.name.isEmpty() || topic.name.size() > TopicsFile::MaxNameLength ||
            topic.questions.isEmpty())
            std::abort();
        for (const int a : topic.questions) {
            if (a < 1 || a > 800)
                std::abort();
        }
    }
    if (TopicsFile::parse(TopicsFile::toJson(*topics)) != topics)
        std::abort();
    return 0;
}
