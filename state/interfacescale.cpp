#include "interfacescale.h"

namespace InterfaceScale {

const QList<int> &choices()
{
    static const QList<int> all{100, 125, 150, 175, 200};
    return all;
}

bool isValid(int percent)
{
    return percent == Automatic || choices().contains(percent);
}

int automaticPercent(int availableHeight)
{
    int best = choices().first();
    for (const int percent : choices()) {
        if (MainWindowHeight * percent / 100.0 <= availableHeight * ScreenShare)
            best = percent;
    }
    return best;
}

int effectivePercent(int stored, int availableHeight)
{
    if (stored != Automatic && choices().contains(stored))
        return stored;
    return automaticPercent(availableHeight);
}

} // namespace InterfaceScale
