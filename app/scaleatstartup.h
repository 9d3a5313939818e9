#pragma once

#include <QByteArray>
#include <QSize>

#include <optional>

// Applies the stored interface scale before the application exists: Qt
// takes its global scale factor (QT_SCALE_FACTOR) only then. A factor the
// user has set in the environment wins, brought into 0.5..4 (and said so on
// the standard error) when it lies outside; one that is no positive number
// is dropped, also with a line on the standard error.
namespace ScaleAtStartup {

// A factor set in the environment is brought into this range.
inline constexpr double SmallestEnvironmentFactor = 0.5;
inline constexpr double LargestEnvironmentFactor = 4.0;

// The factor to use for a QT_SCALE_FACTOR of `value`: the number itself
// within the range above, the nearest end of it outside; none for what is
// not a positive number.
std::optional<double> clampedEnvironmentFactor(const QByteArray &value);

// Reads the stored scale and, for "automatic", measures the primary screen
// with a short-lived QGuiApplication; then sets the factor for the real one.
void apply(int argc, char **argv);

// What apply() found: the scale in effect (percent) and the screen's
// available area in the desktop's own logical pixels. 100 and an empty size
// when apply() did not run (tests).
int appliedPercent();
QSize desktopAvailableSize();
// Sets what apply() would have measured (tests).
void setDesktopAvailableSize(QSize size);

// Whether changing the stored scale to `stored` changes what is drawn.
bool changesScale(int stored);

} // namespace ScaleAtStartup
