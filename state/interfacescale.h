#pragma once

#include <QList>
#include <QSize>

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
// No window of the program needs more than this at 100 % (the exam
// window's design size, the largest of all; a test holds every window to
// it), in logical pixels without the frame.
inline constexpr QSize LargestWindow{730, 490};
// What the desktop adds around a window (title bar and borders), in its
// own pixels, which our scale does not enlarge.
inline constexpr QSize FrameAllowance{16, 40};

// 100, 125, 150, 175, 200.
const QList<int> &choices();

// Whether `percent` is Automatic or one of the choices.
bool isValid(int percent);

// Whether every window, drawn at `percent`, fits into `available` (the
// screen's available area in the desktop's logical pixels) with its frame.
bool fits(int percent, QSize available);

// The largest choice at which the main window takes no more than
// ScreenShare of the available height and every window fits (`available`
// in the desktop's logical pixels, so a desktop that already doubles
// everything is not doubled again); 100 when even that does not fit or the
// screen is not known.
int automaticPercent(QSize available);

// The scale to draw at: `stored` itself when the windows fit at it (or the
// screen is not known), else the largest choice at which they do; the
// automatic choice for Automatic.
int effectivePercent(int stored, QSize available);

} // namespace InterfaceScale
