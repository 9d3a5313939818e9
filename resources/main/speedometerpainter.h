#pragma once

#include <QImage>

// The knowledge pictures: a round dial 0..100 headed as the allowed maximum
// speed, 133 x 209 pixels.
namespace SpeedometerPainter {
inline constexpr int Width = 133;
inline constexpr int Height = 209;

// Picture k = 1..22: the needle at 5 * (k - 1); picture 22 stands just past
// the end of the scale.
// `scale`: device pixels per logical pixel (2 for HiDPI screens).
QImage draw(int k, qreal scale = 1);

// The needle's angle in degrees (Qt's convention: counter-clockwise from
// 3 o'clock) for a value; the scale runs from 225 (0) to -45 (100).
double needleAngle(double value);
} // namespace SpeedometerPainter
