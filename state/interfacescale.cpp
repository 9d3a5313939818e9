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

bool fits(int percent, QSize available)
{
    const double factor = percent / 100.0;
    return LargestWindow.width() * factor + FrameAllowance.width() <= available.width() &&
           LargestWindow.height() * factor + FrameAllowance.height() <= available.height();
}

int automaticPercent(QSize available)
{
    int best = choices().first();
    for (const int percent : choices()) {
        if (MainWindowHeight * percent / 100.0 <= available.height() * ScreenShare &&
            fits(percent, available))
            best = percent;
    }
    return best;
}

int effectivePercent(int stored, QSize available)
{
    if (stored == Automatic || !choices().contains(stored))
        return automaticPercent(available);
    if (available.isEmpty() || fits(stored, available))
        return stored;
    int best = choices().first();
    for (const int percent : choices()) {
        if (percent <= stored && fits(percent, available))
            best = percent;
    }
    return best;
}

} // namespace InterfaceScale
