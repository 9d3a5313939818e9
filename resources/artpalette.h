#pragma once

#include <QColor>

// The colours every picture of the program is drawn with.
namespace ArtPalette {
inline const QColor DeepBlue(0x1F, 0x4E, 0x8C);
inline const QColor RoadGrey(0x5A, 0x5F, 0x66);
inline const QColor SignalRed(0xD3, 0x2F, 0x2F);
inline const QColor Green(0x2E, 0x7D, 0x32);
inline const QColor Amber(0xF2, 0xA9, 0x00);
inline const QColor White(0xFF, 0xFF, 0xFF);
} // namespace ArtPalette
