#pragma once

#include <QList>

#include <cstdint>
#include <random>
#include <utility>

// A fixed-seed generator for laying out the demo. std::mt19937's output is
// fixed by the C++ standard, but the library's distributions and
// std::shuffle are not, so the bounds and the shuffle are done here: the
// same seed gives the same demo with every compiler.
class DemoRandom
{
public:
    explicit DemoRandom(std::uint32_t seed) : m_engine(seed) {}

    // A number in 0..bound-1 (bound > 0). The slight bias of the modulo does
    // not matter for laying out questions.
    int bounded(int bound)
    {
        return static_cast<int>(m_engine() % static_cast<std::uint32_t>(bound));
    }

    template <typename T> void shuffle(QList<T> &list)
    {
        for (qsizetype i = list.size() - 1; i > 0; --i)
            list.swapItemsAt(i, bounded(static_cast<int>(i + 1)));
    }

private:
    std::mt19937 m_engine;
};
