#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// Small pictures with transparency: ticket status icons, button and menu
// glyphs, the program icon.
namespace IconPainter {

// Status 0..4: not passed, exam passed, failed, training passed, learning
// completed; 16 x 16 logical pixels, `scale` device pixels each.
QImage statusIcon(int status, qreal scale = 1);

// The glyph names glyph() knows; each is 16 x 16.
QStringList glyphNames();
QImage glyph(const QString &name, qreal scale = 1);

// The program icon at any square size (the About window uses 32).
QImage programIcon(int size);

} // namespace IconPainter
