#pragma once

#include <QImage>
#include <QString>

// The pictures bundled in the program's resources under ":/main" (drawn at
// build time by resources/main).
namespace ArtResources {

QString speedometer(int k); // k = 1..22
QString banner();
QString splash();
QString statusIcon(int status); // 0..4
QString glyph(const QString &name);
QString aboutPicture();
QString programIcon();

// A bundled JPEG decoded through our codec; a grey placeholder of `fallback`
// size when it is missing or damaged, so a window never shows a hole.
QImage jpeg(const QString &resource, QSize fallback = QSize(16, 16));

} // namespace ArtResources
