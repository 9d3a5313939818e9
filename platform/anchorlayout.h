#pragma once

#include <QFlags>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

// Design-time geometry with anchors, as the windows were laid out: every
// control has a rectangle at the parent's design client size and is anchored
// to some of the parent's edges. On resize, an edge anchored on both sides
// stretches, an edge anchored on the far side moves with it, and a control
// anchored on neither side keeps its relative centre.
class AnchorLayout
{
public:
    enum Anchor
    {
        Left = 0x1,
        Top = 0x2,
        Right = 0x4,
        Bottom = 0x8
    };
    Q_DECLARE_FLAGS(Anchors, Anchor)
    static constexpr Anchors TopLeft{Left | Top};
    static constexpr Anchors All{Left | Top | Right | Bottom};

    // `designClientSize`: the parent's client size the rectangles refer to.
    explicit AnchorLayout(QSize designClientSize);

    // Places `widget` at `designRect` now and keeps it anchored on apply().
    void add(QWidget *widget, const QRect &designRect, Anchors anchors = TopLeft);
    // Changes a control's design rectangle (for controls moved by code).
    void setDesignRect(QWidget *widget, const QRect &designRect);

    // Lays every control out for the parent's current client size.
    void apply(QSize clientSize);

    static QRect anchoredRect(const QRect &designRect, Anchors anchors, QSize designSize,
                              QSize clientSize);

private:
    struct Item
    {
        QPointer<QWidget> widget;
        QRect designRect;
        Anchors anchors;
    };
    QSize m_designSize;
    QList<Item> m_items;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(AnchorLayout::Anchors)
