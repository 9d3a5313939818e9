#include "ticketlistview.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

class HotTrackDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->state & QStyle::State_MouseOver)
            option->font.setUnderline(true);
    }
};

} // namespace

TicketListView::TicketListView(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_Hover);
    setItemDelegate(new HotTrackDelegate(this));

    QFont small = font();
    small.setPixelSize(7);
    setFont(small);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor(255, 255, 206));
    setPalette(colours);

    for (int ticket = 1; ticket <= 40; ++ticket)
        addItem(QStringLiteral("Билет №%1").arg(ticket, 2, 10, QLatin1Char('0')));

    connect(this, &QListWidget::entered, this,
            [this](const QModelIndex &) { viewport()->setCursor(Qt::PointingHandCursor); });
    connect(this, &QListWidget::viewportEntered, this, [this] { viewport()->unsetCursor(); });
}

QRect TicketListView::textRect(const QModelIndex &index) const
{
    QRect rect = visualRect(index);
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    rect.setWidth(fontMetrics().horizontalAdvance(index.data().toString()) + 2 * margin);
    return rect;
}

void TicketListView::leaveEvent(QEvent *event)
{
    viewport()->unsetCursor();
    QListWidget::leaveEvent(event);
}

void TicketListView::mousePressEvent(QMouseEvent *event)
{
    // An entry is hit on its text only; a press beside it leaves no ticket
    // selected, as in the system's icon views.
    const QPoint at = event->position().toPoint();
    const QModelIndex index = indexAt(at);
    if (!index.isValid() || !textRect(index).contains(at)) {
        clearSelection();
        return;
    }
    QListWidget::mousePressEvent(event);
}
