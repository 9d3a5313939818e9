#pragma once

#include <QListWidget>

// The list of the 40 tickets, "Билет №01" .. "Билет №40"; row i stands for
// ticket i + 1. One ticket at a time can be selected, and a click on an empty
// spot clears the selection. The entry under the mouse is underlined and the
// pointer becomes a hand over it.
class TicketListView : public QListWidget
{
    Q_OBJECT

public:
    explicit TicketListView(QWidget *parent = nullptr);

    // Where the entry's text is drawn: the part of the entry a click hits.
    QRect textRect(const QModelIndex &index) const;

protected:
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};
