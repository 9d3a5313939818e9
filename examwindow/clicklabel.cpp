#include "clicklabel.h"

#include <QMouseEvent>

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        event->accept();
        emit clicked();
        return;
    }
    QLabel::mousePressEvent(event);
}
