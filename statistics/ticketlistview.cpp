#include "ticketlistview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

// Draws an entry, its selection included, over the width of its text only,
// underlined while the mouse is over it.
class TicketDelegate : public QStyledItemDelegate
{
public:
    explicit TicketDelegate(TicketListView *view) : QStyledItemDelegate(view), m_view(view) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem narrowed(option);
        narrowed.rect.setWidth(m_view->textWidth(index));
        QStyledItemDelegate::paint(painter, narrowed, index);
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_MouseOver;
        if (index == m_view->hotIndex())
            option->font.setUnderline(true);
    }

private:
    TicketListView *m_view;
};

} // namespace

TicketListView::TicketListView(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setMouseTracking(true);
    setItemDelegate(new TicketDelegate(this));

    QFont small = font();
    small.setPixelSize(7);
    setFont(small);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor(255, 255, 206));
    setPalette(colours);

    for (int ticket = 1; ticket <= 40; ++ticket)
        addItem(QStringLiteral("Билет №%1").arg(ticket, 2, 10, QLatin1Char('0')));
}

int TicketListView::textWidth(const QModelIndex &index) const
{
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return fontMetrics().horizontalAdvance(index.data().toString()) + 2 * margin;
}

QRect TicketListView::textRect(const QModelIndex &index) const
{
    QRect rect = visualRect(index);
    rect.setWidth(textWidth(index));
    return rect;
}

QModelIndex TicketListView::entryAt(QPoint position) const
{
    const QModelIndex index = indexAt(position);
    return index.isValid() && textRect(index).contains(position) ? index : QModelIndex();
}

void TicketListView::setHotIndex(const QModelIndex &index)
{
    if (index == m_hot)
        return;
    if (m_hot.isValid())
        viewport()->update(visualRect(m_hot));
    m_hot = index;
    if (m_hot.isValid()) {
        viewport()->update(visualRect(m_hot));
        viewport()->setCursor(Qt::PointingHandCursor);
    } else {
        viewport()->unsetCursor();
    }
}

void TicketListView::mousePressEvent(QMouseEvent *event)
{
    if (!entryAt(event->position().toPoint()).isValid()) {
        clearSelection();
        return;
    }
    QListWidget::mousePressEvent(event);
}

void TicketListView::mouseMoveEvent(QMouseEvent *event)
{
    setHotIndex(entryAt(event->position().toPoint()));
    QListWidget::mouseMoveEvent(event);
}

void TicketListView::leaveEvent(QEvent *event)
{
    setHotIndex(QModelIndex());
    QListWidget::leaveEvent(event);
}
