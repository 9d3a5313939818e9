#include "ticketlistview.h"

#include <QMouseEvent>
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

void TicketListView::leaveEvent(QEvent *event)
{
    viewport()->unsetCursor();
    QListWidget::leaveEvent(event);
}

void TicketListView::mousePressEvent(QMouseEvent *event)
{
    // A press beside the entries leaves no ticket selected, as in the
    // system's own list views.
    if (!indexAt(event->position().toPoint()).isValid()) {
        clearSelection();
        return;
    }
    QListWidget::mousePressEvent(event);
}
