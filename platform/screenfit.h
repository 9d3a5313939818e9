#pragma once

class QWidget;

// Keeps a resizable top-level window on its screen: when it (with the frame
// the desktop adds) is larger than the screen's available area, it is made
// smaller, down to its minimum size; then it is moved to lie inside that
// area. Called as the window is shown, so that at a large interface scale a
// window's buttons are never below the screen's edge.
namespace ScreenFit {

void fitToScreen(QWidget *window);

} // namespace ScreenFit
