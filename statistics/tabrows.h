#pragma once

#include <QList>
#include <QRect>
#include <QWidget>

class QTabWidget;

// The tabs of a QTabWidget in as many rows as their captions need, every
// caption whole: QTabBar keeps one row and hides what does not fit behind
// scroll arrows. It stands in for the tab widget's own bar (which it hides),
// takes the tabs' captions and icons from it, and sets its current page.
// As in a multi-row tab control, every row is stretched to the full width
// and the row of the current tab lies next to the pages. Tabs light up
// under the mouse; Left and Right move between pages.
class TabRows : public QWidget
{
    Q_OBJECT
public:
    explicit TabRows(QTabWidget *pages, QWidget *parent = nullptr);

    // Lays the tabs out again for the width (after tabs were added).
    void relayout();
    int rowCount() const { return m_rowCount; }
    // Where tab `index` is drawn, in this widget's coordinates.
    QRect tabRect(int index) const { return m_rects.value(index); }
    // The width tab `index` needs to show its caption and icon whole.
    int neededWidth(int index) const;
    // The height of the rows for the current width.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QSize tabSize(int index) const;
    int tabAt(const QPoint &point) const;

    QTabWidget *m_pages;
    QList<QRect> m_rects;
    QList<int> m_rowOf;
    int m_rowCount = 1;
    int m_rowHeight = 0;
    int m_hovered = -1;
};
