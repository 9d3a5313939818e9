#pragma once

#include "artpalette.h"

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

// The program's palette, plus the shades road scenes need.
using namespace ArtPalette;
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
