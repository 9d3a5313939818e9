#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <QWidget>

// The look shared by the exam window and its question panel.
namespace ExamWindowStyle {

inline const QString DesignFamily = QStringLiteral("MS Sans Serif");

// Colours of the design are 0x00BBGGRR values.
inline QColor fromBgr(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

inline void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

inline QFont pixelFont(const QString &family, int pixels, bool bold, bool underline = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

} // namespace ExamWindowStyle
