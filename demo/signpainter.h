#pragma once

#include <QPainter>
#include <QPointF>
#include <QString>
#include <QStringList>

// Draws road signs by their number ("2.4", "3.24"...) in flat colours. Each
// sign is drawn in a 100-unit-high box scaled to the requested height; the
// plate's width follows its shape (round and triangular signs are square).
namespace SignPainter {

// Every sign number this painter can draw.
QStringList numbers();
bool canPaint(const QString &number);
// Plate width divided by height.
double aspect(const QString &number);
// Paints the sign centred on `center`, `height` pixels high.
void paint(QPainter &painter, const QString &number, const QPointF &center, double height);

} // namespace SignPainter
