#pragma once

#include <QList>

// How large the windows are drawn: a percentage of their design size, on top
// of whatever the desktop itself scales by (its HiDPI factor). Stored as the
// settings value "Mas": 0 for automatic, or one of the choices.
namespace InterfaceScale {

inline constexpr int Automatic = 0;
// The main window's design height in logical pixels, title bar excluded.
inline constexpr int MainWindowHeight = 490;
// "About half of the screen": the main window may take this share of the
// screen's available height.
inline constexpr double ScreenShare = 0.6;

// 100, 125, 150, 175, 200.
const QList<int> &choices();

// Whether `percent` is Automatic or one of the choices.
bool isValid(int percent);

// The largest choice at which the main window takes no more than
// ScreenShare of `availableHeight`, given in the desktop's logical pixels
// (so a desktop that already doubles everything is not doubled again);
// 100 when even that does not fit.
int automaticPercent(int availableHeight);

// The scale to draw at: `stored` itself, or the automatic choice for the
// screen.
int effectivePercent(int stored, int availableHeight);

} // namespace InterfaceScale
