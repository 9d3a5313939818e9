#include "svgpicture.h"

#include <QPainter>
#include <QSvgRenderer>

namespace {

QRectF fitted(const QSizeF &picture, const QRectF &into)
{
    if (picture.isEmpty())
        return into;
    const QSizeF size = picture.scaled(into.size(), Qt::KeepAspectRatio);
    return QRectF(into.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

// The picture's proportions: those of its view box, which are exact, where
// the default size is the width and height rounded to whole pixels (a
// 104-unit sign written in millimetres comes back 103 pixels high).
QSizeF proportions(const QSvgRenderer &renderer)
{
    const QSizeF box = renderer.viewBoxF().size();
    return box.isEmpty() ? QSizeF(renderer.defaultSize()) : box;
}

} // namespace

SvgPicture::SvgPicture(QWidget *parent) : QWidget(parent), m_renderer(new QSvgRenderer(this)) {}

SvgPicture::~SvgPicture() = default;

void SvgPicture::setSvg(const QByteArray &svg)
{
    if (svg.isEmpty() || !m_renderer->load(svg))
        m_renderer->load(QByteArray());
    update();
}

bool SvgPicture::hasPicture() const
{
    return m_renderer->isValid();
}

QPixmap SvgPicture::render(const QByteArray &svg, const QSize &size, qreal pixelRatio)
{
    QSvgRenderer renderer(svg);
    if (svg.isEmpty() || !renderer.isValid())
        return {};
    const QSize pixels(qRound(size.width() * pixelRatio), qRound(size.height() * pixelRatio));
    QPixmap pixmap(pixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, fitted(proportions(renderer), QRectF(QPointF(0, 0), pixels)));
    painter.end();
    pixmap.setDevicePixelRatio(pixelRatio);
    return pixmap;
}

void SvgPicture::paintEvent(QPaintEvent *)
{
    if (!m_renderer->isValid())
        return;
    // The painter works in logical pixels on a device of the screen's
    // ratio: the renderer draws vectors at the device's full resolution.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    m_renderer->render(&painter, fitted(proportions(*m_renderer), rect()));
}
