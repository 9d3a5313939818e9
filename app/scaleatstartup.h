#pragma once

// Applies the stored interface scale before the application exists: Qt
// takes its global scale factor (QT_SCALE_FACTOR) only then. A factor the
// user has set in the environment is left alone.
namespace ScaleAtStartup {

// Reads the stored scale and, for "automatic", measures the primary screen
// with a short-lived QGuiApplication; then sets the factor for the real one.
void apply(int argc, char **argv);

// What apply() found: the scale in effect (percent) and the screen's
// available height in the desktop's own logical pixels. 100 and 0 when
// apply() did not run (tests).
int appliedPercent();
int desktopAvailableHeight();

// Whether changing the stored scale to `stored` changes what is drawn.
bool changesScale(int stored);

} // namespace ScaleAtStartup
