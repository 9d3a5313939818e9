#pragma once

#include <QString>

// A chance (0..1) as the learner reads it, the same way wherever it is
// shown: whole percent, rounded half up; a chance above 0 that rounds to 0
// reads "меньше 1 %" and one below 1 that rounds to 100 reads "больше 99 %",
// so a figure never claims a certainty the chance does not have.
QString chanceText(double probability);
