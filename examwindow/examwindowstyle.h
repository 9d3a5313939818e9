#pragma once

#include "designwidgets.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <QWidget>

// The look shared by the exam window and its question panel.
namespace ExamWindowStyle {

inline const QString DesignFamily = QStringLiteral("MS Sans Serif");

using DesignWidgets::fromBgr;
using DesignWidgets::setTextColour;

inline QFont pixelFont(const QString &family, int pixels, bool bold, bool underline = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

} // namespace ExamWindowStyle
