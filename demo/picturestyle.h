#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>

// The look shared by every demo picture: flat shapes in a small palette,
// drawn at twice the exam window's picture size so they stay sharp when the
// window is maximised.
namespace PictureStyle {

inline constexpr int Width = 706;
inline constexpr int Height = 274;
// Every picture must fit the database's 30000-byte block with room to spare.
inline constexpr int MaxJpegBytes = 24000;

inline const QColor DeepBlue{0x1F, 0x4E, 0x8C};
inline const QColor RoadGrey{0x5A, 0x5F, 0x66};
inline const QColor SignalRed{0xD3, 0x2F, 0x2F};
inline const QColor Green{0x2E, 0x7D, 0x32};
inline const QColor Amber{0xF2, 0xA9, 0x00};
inline const QColor White{0xFF, 0xFF, 0xFF};
inline const QColor Black{0x1A, 0x1A, 0x1A};
inline const QColor Sky{0xDD, 0xE8, 0xF4};
inline const QColor Grass{0xC9, 0xDF, 0xC3};
inline const QColor Pavement{0xD9, 0xDA, 0xD6};
inline const QColor LightOff{0x3A, 0x3D, 0x42};
inline const QColor EndGrey{0x8A, 0x8F, 0x96};

// A blank picture of the standard size.
QImage canvas(const QColor &background = Sky);
// A font for the few texts a picture needs (sign numbers, town names).
QFont font(double pixelSize, bool bold = true);
// JPEG bytes of `image`, at the best quality that keeps it under
// MaxJpegBytes (softened first if no quality would).
QByteArray encode(const QImage &image);

} // namespace PictureStyle
