#include "tabrows.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QTabWidget>

TabRows::TabRows(QTabWidget *pages, QWidget *parent) : QWidget(parent), m_pages(pages)
{
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    m_pages->tabBar()->hide();
    connect(m_pages, &QTabWidget::currentChanged, this, [this] {
        relayout();
        update();
    });
}

QSize TabRows::tabSize(int index) const
{
    // The same measure QTabBar takes for a tab, so the style's own
    // drawing fits the caption it is given.
    QStyleOptionTab option;
    option.initFrom(this);
    option.shape = QTabBar::RoundedNorth;
    option.text = m_pages->tabText(index);
    option.icon = m_pages->tabIcon(index);
    option.iconSize = m_pages->iconSize();
    const QSize icon = option.icon.isNull() ? QSize(0, 0) : option.iconSize;
    const int hframe = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this);
    const int vframe = style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, this);
    const int padding = icon.width() > 0 ? 4 : 0;
    const QSize contents(fontMetrics().size(Qt::TextShowMnemonic, option.text).width() +
                             icon.width() + hframe + padding,
                         qMax(fontMetrics().height(), icon.height()) + vframe);
    return style()->sizeFromContents(QStyle::CT_TabBarTab, &option, contents, this);
}

int TabRows::neededWidth(int index) const
{
    return tabSize(index).width();
}

void TabRows::relayout()
{
    const int count = m_pages->count();
    QList<QList<int>> rows{{}};
    QList<int> used{0};
    m_rowHeight = 0;
    for (int i = 0; i < count; ++i) {
        const QSize size = tabSize(i);
        m_rowHeight = qMax(m_rowHeight, size.height());
        if (!rows.last().isEmpty() && used.last() + size.width() > width()) {
            rows.append(QList<int>());
            used.append(0);
        }
        rows.last().append(i);
        used.last() += size.width();
    }
    m_rowCount = int(rows.size());

    // The row of the current tab is drawn last, next to the pages.
    QList<int> order;
    int currentRow = 0;
    for (int r = 0; r < rows.size(); ++r) {
        if (rows[r].contains(m_pages->currentIndex()))
            currentRow = r;
    }
    for (int r = 0; r < rows.size(); ++r) {
        if (r != currentRow)
            order.append(r);
    }
    order.append(currentRow);

    m_rects = QList<QRect>(count);
    m_rowOf = QList<int>(count);
    for (int line = 0; line < order.size(); ++line) {
        const QList<int> &row = rows[order[line]];
        // Stretched to the full width when there is more than one row.
        const int spare = m_rowCount > 1 ? qMax(0, width() - used[order[line]]) : 0;
        int x = 0;
        for (int k = 0; k < row.size(); ++k) {
            const int extra = spare / int(row.size()) + (k < spare % row.size() ? 1 : 0);
            const int w = tabSize(row[k]).width() + extra;
            m_rects[row[k]] = QRect(x, line * m_rowHeight, w, m_rowHeight);
            m_rowOf[row[k]] = line;
            x += w;
        }
    }
    updateGeometry();
}

QSize TabRows::sizeHint() const
{
    return QSize(width(), m_rowCount * m_rowHeight);
}

int TabRows::tabAt(const QPoint &point) const
{
    for (int i = 0; i < m_rects.size(); ++i) {
        if (m_rects[i].contains(point))
            return i;
    }
    return -1;
}

void TabRows::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int current = m_pages->currentIndex();
    // The current tab last, so that its raised shape lies over its
    // neighbours.
    QList<int> order;
    for (int i = 0; i < m_rects.size(); ++i) {
        if (i != current)
            order.append(i);
    }
    if (current >= 0 && current < m_rects.size())
        order.append(current);
    for (const int i : order) {
        QStyleOptionTab option;
        option.initFrom(this);
        option.shape = QTabBar::RoundedNorth;
        option.rect = m_rects[i];
        option.text = m_pages->tabText(i);
        option.icon = m_pages->tabIcon(i);
        option.iconSize = m_pages->iconSize();
        option.row = m_rowOf[i];
        const bool first = m_rects[i].left() == 0;
        const bool last = m_rects[i].right() >= width() - 1 ||
                          (i + 1 < m_rects.size() && m_rowOf[i + 1] != m_rowOf[i]) ||
                          i + 1 == m_rects.size();
        option.position = first && last ? QStyleOptionTab::OnlyOneTab
                          : first       ? QStyleOptionTab::Beginning
                          : last        ? QStyleOptionTab::End
                                        : QStyleOptionTab::Middle;
        option.state &= ~(QStyle::State_MouseOver | QStyle::State_HasFocus);
        if (i == current) {
            option.state |= QStyle::State_Selected;
            if (hasFocus())
                option.state |= QStyle::State_HasFocus;
        }
        if (i == m_hovered)
            option.state |= QStyle::State_MouseOver;
        style()->drawControl(QStyle::CE_TabBarTab, &option, &painter, this);
    }
}

void TabRows::mousePressEvent(QMouseEvent *event)
{
    const int index = tabAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index >= 0)
        m_pages->setCurrentIndex(index);
}

void TabRows::mouseMoveEvent(QMouseEvent *event)
{
    const int index = tabAt(event->position().toPoint());
    if (index != m_hovered) {
        m_hovered = index;
        update();
    }
}

void TabRows::leaveEvent(QEvent *)
{
    m_hovered = -1;
    update();
}

void TabRows::keyPressEvent(QKeyEvent *event)
{
    const int step = event->key() == Qt::Key_Right ? 1 : event->key() == Qt::Key_Left ? -1 : 0;
    if (step == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int next = m_pages->currentIndex() + step;
    if (next >= 0 && next < m_pages->count())
        m_pages->setCurrentIndex(next);
}

void TabRows::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}
