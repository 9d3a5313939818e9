#include "piechartview.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QMouseEvent>
#include <QPieSeries>
#include <QPieSlice>

#include <algorithm>

namespace {
// 0x00BBGGRR 32768 and 255 of the design.
const QColor CorrectColour(0, 0x80, 0);
const QColor WrongColour(0xFF, 0, 0);
} // namespace

// The chart is handed to the base constructor: a QChartView built without
// one creates a default chart, and setChart() later only releases it.
PieChartView::PieChartView(QWidget *parent) : QChartView(new QChart, parent)
{
    QChart *chart = this->chart();
    chart->legend()->hide();
    chart->setMargins(QMargins());
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setBackgroundRoundness(0);
    chart->setBackgroundBrush(Qt::white);
    chart->setBackgroundPen(Qt::NoPen);

    m_series = new QPieSeries(chart);
    m_series->setObjectName(QStringLiteral("Series1"));
    m_series->setPieSize(0.9);
    chart->addSeries(m_series);

    setFrameShape(QFrame::NoFrame);
    setRenderHint(QPainter::Antialiasing);
    setBackgroundBrush(Qt::white);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void PieChartView::setCounts(int correct, int wrong)
{
    m_series->clear();
    const auto add = [this](const QString &label, int value, const QColor &colour) {
        auto *slice = m_series->append(label, value);
        slice->setColor(colour);
        // No outline: an empty slice would still draw its edge as a line.
        slice->setPen(Qt::NoPen);
        slice->setLabelVisible(false);
    };
    add(QStringLiteral("П"), correct, CorrectColour);
    add(QStringLiteral("Н"), wrong, WrongColour);
    m_empty = correct <= 0 && wrong <= 0;
    viewport()->update();
}

void PieChartView::drawForeground(QPainter *painter, const QRectF &rect)
{
    QChartView::drawForeground(painter, rect);
    if (!m_empty)
        return;
    // Where the pie would be: a circle of the series' size, centred in the
    // plot area.
    const QRectF plot = chart()->plotArea();
    const qreal diameter = std::min(plot.width(), plot.height()) * m_series->pieSize();
    QRectF disc(0, 0, diameter, diameter);
    disc.moveCenter(plot.center());
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(emptyColour());
    painter->drawEllipse(disc);
    painter->restore();
}

void PieChartView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QChartView::mousePressEvent(event);
}
