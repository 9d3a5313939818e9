#include "dailychart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

DailyChart::DailyChart(QWidget *parent) : QWidget(parent)
{
    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->setBackgroundRoundness(0);
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    connect(m_chart, &QChart::plotAreaChanged, this, &DailyChart::fitPercentTicks);
    auto *view = new QChartView(m_chart, this);
    view->setRenderHint(QPainter::Antialiasing);
    view->setFrameShape(QFrame::NoFrame);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);

    m_noData = new QLabel(QStringLiteral("Нет данных: ответов в истории пока нет"), this);
    m_noData->setObjectName(QStringLiteral("noDataLabel"));
    m_noData->setAlignment(Qt::AlignCenter);
    m_noData->adjustSize();
}

void DailyChart::setTitle(const QString &title)
{
    m_title = title;
    m_chart->setTitle(title);
}

void DailyChart::clearSeries()
{
    m_chart->removeAllSeries();
    for (QAbstractAxis *axis : m_chart->axes()) {
        m_chart->removeAxis(axis);
        delete axis;
    }
    m_counts = nullptr;
    m_percents.clear();
}

void DailyChart::setData(const Data &data)
{
    clearSeries();
    const bool withCounts = !data.countTitle.isEmpty();
    const bool withPercents = !data.percentTitle.isEmpty();

    QStringList categories;
    for (const QDate &day : data.days)
        categories << day.toString(QStringLiteral("dd.MM"));
    auto *axisX = new QBarCategoryAxis;
    axisX->append(categories);
    // Qt Charts cuts crowded category labels to "..."; beyond a few days the
    // title's range names the span instead.
    if (categories.size() > 10)
        axisX->setLabelsVisible(false);
    m_chart->addAxis(axisX, Qt::AlignBottom);
    m_chart->setTitle(data.days.isEmpty()
                          ? m_title
                          : QStringLiteral("%1 (%2 — %3)")
                                .arg(m_title,
                                     data.days.first().toString(QStringLiteral("dd.MM.yyyy")),
                                     data.days.last().toString(QStringLiteral("dd.MM.yyyy"))));

    int maxCount = 0;
    if (withCounts) {
        auto *set = new QBarSet(data.countTitle);
        for (const int count : data.counts) {
            *set << count;
            maxCount = std::max(maxCount, count);
        }
        m_counts = new QBarSeries;
        m_counts->append(set);
        m_chart->addSeries(m_counts);
        auto *axisCounts = new QValueAxis;
        axisCounts->setLabelFormat(QStringLiteral("%d"));
        // Whole answers on the ticks: one tick per answer while they are few.
        const int top = std::max(maxCount, 1);
        axisCounts->setRange(0, top);
        if (top <= 4)
            axisCounts->setTickCount(top + 1);
        else
            axisCounts->applyNiceNumbers();
        m_chart->addAxis(axisCounts, Qt::AlignLeft);
        m_counts->attachAxis(axisX);
        m_counts->attachAxis(axisCounts);
    }

    bool anyPercent = false;
    if (withPercents) {
        auto *axisPercent = new QValueAxis;
        axisPercent->setRange(0, 100);
        axisPercent->setLabelFormat(QStringLiteral("%d %%"));
        m_chart->addAxis(axisPercent, withCounts ? Qt::AlignRight : Qt::AlignLeft);
        fitPercentTicks();
        // One line per run of days with a value, so a day without answers is
        // a gap rather than a fall to zero.
        QLineSeries *line = nullptr;
        for (int i = 0; i < data.percents.size(); ++i) {
            if (!data.percents[i]) {
                line = nullptr;
                continue;
            }
            if (!line) {
                line = new QLineSeries;
                line->setName(data.percentTitle);
                line->setPointsVisible(true);
                m_chart->addSeries(line);
                line->attachAxis(axisX);
                line->attachAxis(axisPercent);
                if (!m_percents.isEmpty()) {
                    // Only the first piece names the line in the legend.
                    line->setColor(m_percents.first()->color());
                    const auto markers = m_chart->legend()->markers(line);
                    for (auto *marker : markers)
                        marker->setVisible(false);
                }
                m_percents << line;
            }
            line->append(i, *data.percents[i]);
            anyPercent = true;
        }
    }

    m_hasData = maxCount > 0 || anyPercent;
    m_noData->setVisible(!m_hasData);
    placeNoDataLabel();
}

void DailyChart::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeNoDataLabel();
}

void DailyChart::fitPercentTicks()
{
    // Five labels (0, 25 … 100 %) need room; in a low plot they would all be
    // elided to "…", so it shows 0, 50 and 100 % only.
    const bool roomForFive = m_chart->plotArea().height() >= 5 * 1.5 * fontMetrics().height();
    for (QAbstractAxis *axis : m_chart->axes(Qt::Vertical)) {
        if (auto *percent = qobject_cast<QValueAxis *>(axis); percent && percent->max() == 100)
            percent->setTickCount(roomForFive ? 5 : 3);
    }
}

void DailyChart::placeNoDataLabel()
{
    m_noData->adjustSize();
    m_noData->move((width() - m_noData->width()) / 2, (height() - m_noData->height()) / 2);
    m_noData->raise();
}
