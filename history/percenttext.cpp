#include "percenttext.h"

#include <algorithm>
#include <cmath>

QString chanceText(double probability)
{
    const double percent = std::clamp(std::isnan(probability) ? 0.0 : probability, 0.0, 1.0) * 100;
    if (percent > 0 && percent < 1)
        return QStringLiteral("меньше 1 %");
    if (percent > 99 && percent < 100)
        return QStringLiteral("больше 99 %");
    return QStringLiteral("%1 %").arg(std::lround(percent));
}
