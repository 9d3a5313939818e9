#pragma once

#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QString>
#include <QWidget>

// Small helpers for building windows from the design's values, shared by
// the main window, its ticket catalogue and the exam window.
namespace DesignWidgets {

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

// A label with its design name as objectName and its text colour.
inline QLabel *label(QWidget *parent, const char *name, const QString &text, const QColor &colour)
{
    auto *created = new QLabel(text, parent);
    created->setObjectName(QString::fromLatin1(name));
    setTextColour(created, colour);
    return created;
}

} // namespace DesignWidgets
