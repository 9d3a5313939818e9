#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// Small pictures with transparency: ticket status icons, button and menu
// glyphs, the program icon.
namespace IconPainter {

// Status 0..4: not passed, exam passed, failed, training passed, learning
// completed; 16 x 16.
QImage statusIcon(int status);

// The glyph names glyph() knows; each is 16 x 16.
QStringList glyphNames();
QImage glyph(const QString &name);

// The program icon at any square size (the About window uses 32).
QImage programIcon(int size);

} // namespace IconPainter
