#pragma once

#include <QImage>
#include <QRect>

// The two large pictures of the main window and the splash window.
namespace ScenePainter {

// The banner over the catalogue, 588 x 209: the program's name over a road.
// Its lower band stays light for the launch label drawn over it.
// `scale`: device pixels per logical pixel (2 for HiDPI screens).
QImage banner(qreal scale = 1);

// The splash picture, 300 x 300: greeting, invitation to send comments, the
// project's web site and e-mail, the authors and a start button at
// startButton().
QImage splash(qreal scale = 1);
QRect startButton();

} // namespace ScenePainter
