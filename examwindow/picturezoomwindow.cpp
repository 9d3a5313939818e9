#include "picturezoomwindow.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace {
constexpr double ScreenShare = 0.9;
} // namespace

PictureZoomWindow::PictureZoomWindow(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("PictureZoom"));
    setWindowModality(Qt::WindowModal);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Щёлкните или нажмите Esc, чтобы закрыть"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
}

QSize PictureZoomWindow::fittedSize(QSize image, QSize available)
{
    if (image.isEmpty() || available.isEmpty())
        return image;
    return image.scaled((QSizeF(available) * ScreenShare).toSize(), Qt::KeepAspectRatio);
}

void PictureZoomWindow::showImage(const QImage &image, const QString &title)
{
    m_image = image;
    setWindowTitle(title);
    const QWidget *anchor = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen *screen = anchor ? anchor->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize size = fittedSize(image.size(), available.size());
    resize(size);
    move(available.center() - QPoint(size.width() / 2, size.height() / 2));
    open();
    raise();
    activateWindow();
    update();
}

void PictureZoomWindow::paintEvent(QPaintEvent *)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    // Scaled when painted, at the screen's pixel density, so the picture is
    // as sharp as its pixels allow on any display.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize target = m_image.size().scaled(size(), Qt::KeepAspectRatio);
    QRect place(QPoint(0, 0), target);
    place.moveCenter(rect().center());
    painter.drawImage(place, m_image);
}

void PictureZoomWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        accept();
    else
        QDialog::mousePressEvent(event);
}
