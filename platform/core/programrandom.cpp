#include "programrandom.h"

#include <QDateTime>

#include <random>

namespace {

struct RandomState
{
    std::mt19937 engine{std::random_device{}()};
    QList<int> script;
    bool scripted = false;
};

RandomState &state()
{
    static RandomState s;
    return s;
}

} // namespace

namespace ProgramRandom {

void randomize()
{
    const auto seed = QDateTime::currentMSecsSinceEpoch();
    state().engine.seed(static_cast<std::mt19937::result_type>(seed ^ (seed >> 32)));
}

int random(int n)
{
    if (n <= 0)
        return 0;
    RandomState &s = state();
    if (s.scripted && !s.script.isEmpty()) {
        const int value = s.script.takeFirst();
        return ((value % n) + n) % n;
    }
    std::uniform_int_distribution<int> draw(0, n - 1);
    return draw(s.engine);
}

void setScript(const QList<int> &values)
{
    state().script = values;
    state().scripted = true;
}

void clearScript()
{
    state().script.clear();
    state().scripted = false;
}

} // namespace ProgramRandom
