#include "anchorlayout.h"

#include <QWidget>

#include <cmath>

namespace {

// One axis: returns {position, length}.
std::pair<int, int> anchorAxis(int pos, int len, bool nearEdge, bool farEdge, int designExtent,
                               int extent)
{
    const int delta = extent - designExtent;
    if (nearEdge && farEdge)
        return {pos, std::max(0, len + delta)};
    if (farEdge)
        return {pos + delta, len};
    if (nearEdge)
        return {pos, len};
    // Neither edge: keep the control's centre at the same relative place.
    if (designExtent <= 0)
        return {pos, len};
    const double centre = (pos + len / 2.0) * extent / designExtent;
    return {int(std::lround(centre - len / 2.0)), len};
}

} // namespace

AnchorLayout::AnchorLayout(QSize designClientSize) : m_designSize(designClientSize) {}

void AnchorLayout::add(QWidget *widget, const QRect &designRect, Anchors anchors)
{
    m_items.append({widget, designRect, anchors});
    widget->setGeometry(designRect);
}

void AnchorLayout::setDesignRect(QWidget *widget, const QRect &designRect)
{
    for (Item &item : m_items) {
        if (item.widget == widget)
            item.designRect = designRect;
    }
}

QRect AnchorLayout::anchoredRect(const QRect &designRect, Anchors anchors, QSize designSize,
                                 QSize clientSize)
{
    const auto [x, w] = anchorAxis(designRect.x(), designRect.width(), anchors & Left,
                                   anchors & Right, designSize.width(), clientSize.width());
    const auto [y, h] = anchorAxis(designRect.y(), designRect.height(), anchors & Top,
                                   anchors & Bottom, designSize.height(), clientSize.height());
    return QRect(x, y, w, h);
}

void AnchorLayout::apply(QSize clientSize)
{
    for (const Item &item : std::as_const(m_items)) {
        if (item.widget)
            item.widget->setGeometry(
                anchoredRect(item.designRect, item.anchors, m_designSize, clientSize));
    }
}
