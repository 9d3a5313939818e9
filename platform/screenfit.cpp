#include "screenfit.h"

#include <QRect>
#include <QScreen>
#include <QWidget>

namespace ScreenFit {

void fitToScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // The frame is known once the window has been shown; before, allow for a
    // title bar of 40 desktop pixels and thin borders.
    QSize frame = window->frameGeometry().size() - window->geometry().size();
    if (frame.isEmpty() || !window->testAttribute(Qt::WA_WState_Created)) {
        const double ratio = window->devicePixelRatioF();
        frame = QSize(qRound(16 / ratio), qRound(40 / ratio));
    }
    const QSize room = (available.size() - frame).expandedTo(window->minimumSize());
    const QSize size = window->size().boundedTo(room);
    if (size != window->size())
        window->resize(size);

    QRect placed(window->pos(), size + frame);
    if (placed.right() > available.right())
        placed.moveRight(available.right());
    if (placed.bottom() > available.bottom())
        placed.moveBottom(available.bottom());
    if (placed.left() < available.left())
        placed.moveLeft(available.left());
    if (placed.top() < available.top())
        placed.moveTop(available.top());
    if (placed.topLeft() != window->pos())
        window->move(placed.topLeft());
}

} // namespace ScreenFit
