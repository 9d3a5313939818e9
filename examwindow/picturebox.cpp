#include "picturebox.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {}

void PictureBox::setImage(const QImage &image)
{
    m_image = image;
    update();
}

void PictureBox::clear()
{
    m_image = QImage();
    update();
}

void PictureBox::setProportional(bool proportional)
{
    m_proportional = proportional;
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    if (m_image.isNull() || width() <= 0 || height() <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QSize target = size();
    if (m_proportional)
        target = m_image.size().scaled(size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(QPoint(0, 0), target), m_image);
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && !m_image.isNull())
        emit clicked();
    QWidget::mousePressEvent(event);
}
