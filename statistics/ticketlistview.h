#pragma once

#include <QListWidget>
#include <QPersistentModelIndex>

// The list of the 40 tickets, "Билет №01" .. "Билет №40"; row i stands for
// ticket i + 1. One ticket at a time can be selected. As in an icon view, an
// entry is its text: the selection is drawn behind the text, a click beside
// it clears the selection, and the entry under the mouse is underlined with
// the pointer turned into a hand.
class TicketListView : public QListWidget
{
    Q_OBJECT

public:
    explicit TicketListView(QWidget *parent = nullptr);

    // Where the entry's text is drawn: the part of the entry a click hits.
    QRect textRect(const QModelIndex &index) const;
    int textWidth(const QModelIndex &index) const;
    QModelIndex hotIndex() const { return m_hot; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QModelIndex entryAt(QPoint position) const;
    void setHotIndex(const QModelIndex &index);

    QPersistentModelIndex m_hot;
};
