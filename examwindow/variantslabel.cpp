#include "variantslabel.h"

#include <QPainter>
#include <QStyle>

void VariantsLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QString shown = text();
    shown.remove(QLatin1Char('\r'));
    const int flags = int(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
    style()->drawItemText(&painter, contentsRect(), flags, palette(), isEnabled(), shown,
                          foregroundRole());
}
