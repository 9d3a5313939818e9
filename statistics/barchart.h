#pragma once

#include <QColor>
#include <QList>
#include <QPoint>
#include <QString>
#include <QWidget>

class ChartSeries;
class QAbstractBarSeries;
class QBarCategoryAxis;
class QBarSet;
class QChart;
class QChartView;
class QGraphicsItem;
class QGraphicsSimpleTextItem;
class QLabel;
class QValueAxis;

// A bar chart of the statistics window with the look all of them share: no
// border, a background gradient from the centre, a white plot area, no zoom
// or scroll, a hand pointer over the bars, the bars' labels on the bottom
// axis, and a "no data" label over the middle that shows exactly when every
// series' largest value is 0. The window creates the series with addSeries(),
// fills them and calls updateBars().
//
// Several series stand side by side in the order they were added. A bar may
// have a colour of its own while the legend keeps the series colour; Qt
// Charts colours a whole bar set at once, so:
//  - a chart with one series is drawn as a stacked series with one bar set
//    per colour, each bar's value in the set of its colour and 0 elsewhere;
//  - in a chart with several series, the bars of another colour are selected
//    bars whose selection colour is that colour (one such colour per series).
class BarChart : public QWidget
{
    Q_OBJECT

public:
    explicit BarChart(QWidget *parent = nullptr);

    void setTitles(const QString &title, const QString &bottomAxisTitle,
                   const QString &leftAxisTitle);
    // A fixed value axis; without one it follows the data.
    void setFixedValueRange(double minimum, double maximum, double step);
    // The legend sits at the bottom when visible.
    void setLegendVisible(bool visible);
    void setGradientEndColour(const QColor &colour);
    // Room on the left for a chart whose left edge lies outside its parent.
    void setHiddenLeftEdge(int pixels);
    // `position` is relative to the chart.
    void setNoDataLabel(const QString &objectName, const QString &text, QPoint position);

    ChartSeries *addSeries(const QString &objectName, const QString &title, const QColor &colour);
    const QList<ChartSeries *> &series() const { return m_series; }

    // Draws the series as they are filled now.
    void updateBars();

    QChart *chart() const { return m_chart; }
    QChartView *view() const { return m_view; }
    QLabel *noDataLabel() const { return m_noData; }
    QAbstractBarSeries *barSeries() const { return m_barSeries; }

signals:
    // A mouse press (any button) on bar `index` of `series`.
    void clickSeries(ChartSeries *series, int index);

private:
    void createBarSeries();
    QBarSet *createBarSet(const QString &label, const QColor &colour, ChartSeries *owner);
    void updateStacked();
    void updateSideBySide();
    void updateCategories();
    void updateValueAxis();
    void setValueRange(double minimum, double maximum, double step);
    void updateMargins();
    void layoutAxisTexts();
    void layoutLegend(double top, double leftBound);

    QChartView *m_view = nullptr;
    QChart *m_chart = nullptr;
    QBarCategoryAxis *m_axisX = nullptr;
    QValueAxis *m_axisY = nullptr;
    QLabel *m_noData = nullptr;
    QAbstractBarSeries *m_barSeries = nullptr;
    bool m_fixedRange = false;
    int m_hiddenLeftEdge = 0;

    // The bottom axis labels and both axis titles are drawn here rather than
    // by Qt Charts: its category axis shortens every label to "..." once the
    // categories are narrower than the label plus a generous padding, and it
    // cuts axis titles to the plot's height. Here the labels that do not fit
    // are left out at a regular step and the titles keep their whole text.
    QList<QGraphicsSimpleTextItem *> m_bottomLabels;
    QGraphicsSimpleTextItem *m_bottomTitle = nullptr;
    QGraphicsSimpleTextItem *m_leftTitle = nullptr;
    // The legend: a coloured box and the title of each series, in the series
    // colour, beside the bottom axis title so that it takes nothing from the
    // plot.
    bool m_legendVisible = false;
    QList<QGraphicsItem *> m_legendItems;

    QList<ChartSeries *> m_series;
    // Stacked drawing: the bar set of each colour, the series colour first.
    QList<QBarSet *> m_colourSets;
};
