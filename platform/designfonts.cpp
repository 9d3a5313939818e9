#include "designfonts.h"

#include <QFontDatabase>
#include <QStringList>

#include <cmath>

namespace DesignFonts {

void installSubstitutions()
{
    const QStringList lookAlikes{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                 QStringLiteral("DejaVu Sans")};
    for (const char *family : {"MS Sans Serif", "Arial", "Tahoma", "MS Shell Dlg 2"}) {
        const QString name = QString::fromLatin1(family);
        QFont::removeSubstitutions(name);
        QFont::insertSubstitutions(name, lookAlikes);
    }
}

int pixelsForPoints(int points)
{
    return int(std::lround(points * 96.0 / 72.0));
}

QFont font(const QString &family, int points, bool bold)
{
    QFont f(family);
    f.setPixelSize(pixelsForPoints(points));
    f.setBold(bold);
    return f;
}

} // namespace DesignFonts
