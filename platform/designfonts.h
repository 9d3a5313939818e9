#pragma once

#include <QFont>
#include <QString>

// Fonts as the windows were designed: family names of the original desktop
// ("MS Sans Serif", "Arial") and sizes in points at 96 dots per inch.
namespace DesignFonts {

// Maps the design families to installed look-alikes (Liberation Sans, else
// DejaVu Sans) through QFont's substitution table. Call once after the
// QApplication exists; safe to call again.
void installSubstitutions();

// A font of `family` at `points` design points. The size is set in pixels
// (points * 96 / 72) so that windows look the same whatever the screen's DPI,
// as the design geometry is in pixels too.
QFont font(const QString &family, int points, bool bold = false);

int pixelsForPoints(int points);

} // namespace DesignFonts
