#include "barchart.h"

#include "chartseries.h"
#include "designfonts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QLabel>
#include <QMouseEvent>
#include <QRadialGradient>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>

namespace {

// Bars in Qt Charts take the left and the right button only; a press of any
// other button is handed on as a left press so that every mouse button picks
// a bar.
class AnyButtonChartView : public QChartView
{
public:
    using QChartView::QChartView;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (isHandledByBars(event->button())) {
            QChartView::mousePressEvent(event);
            return;
        }
        QMouseEvent left = asLeft(*event);
        QChartView::mousePressEvent(&left);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (isHandledByBars(event->button())) {
            QChartView::mouseReleaseEvent(event);
            return;
        }
        QMouseEvent left = asLeft(*event);
        QChartView::mouseReleaseEvent(&left);
    }

private:
    static bool isHandledByBars(Qt::MouseButton button)
    {
        return button == Qt::LeftButton || button == Qt::RightButton;
    }
    static QMouseEvent asLeft(const QMouseEvent &event)
    {
        const Qt::MouseButtons held = event.type() == QEvent::MouseButtonPress
                                          ? Qt::MouseButtons(Qt::LeftButton)
                                          : Qt::MouseButtons(Qt::NoButton);
        return QMouseEvent(event.type(), event.position(), event.scenePosition(),
                           event.globalPosition(), Qt::LeftButton, held, event.modifiers(),
                           event.pointingDevice());
    }
};

// A step of 1, 2 or 5 times a power of ten giving at most `intervals`
// intervals. QValueAxis::applyNiceNumbers() may choose fractional steps,
// which make no sense for counts and whole seconds.
double niceStep(double maximum, int intervals)
{
    const double raw = maximum / intervals;
    if (raw <= 1.0)
        return 1.0;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * magnitude >= raw)
            return factor * magnitude;
    }
    return 10.0 * magnitude;
}

QFont axisFont()
{
    return DesignFonts::font(QStringLiteral("Arial"), 8);
}

constexpr double TextGap = 3.0;

} // namespace

BarChart::BarChart(QWidget *parent) : QWidget(parent)
{
    m_chart = new QChart;
    m_chart->setBackgroundRoundness(0);
    m_chart->setBackgroundPen(Qt::NoPen);
    m_chart->setDropShadowEnabled(false);
    m_chart->setPlotAreaBackgroundBrush(Qt::white);
    m_chart->setPlotAreaBackgroundPen(QPen(QColor(0x80, 0x80, 0x80)));
    m_chart->setPlotAreaBackgroundVisible(true);
    m_chart->layout()->setContentsMargins(0, 0, 0, 0);
    m_chart->setAnimationOptions(QChart::NoAnimation);
    m_chart->setTitleFont(DesignFonts::font(QStringLiteral("Arial"), 8, true));
    m_chart->setTitleBrush(Qt::black);
    m_chart->legend()->setVisible(false);
    setGradientEndColour(Qt::white);

    m_axisX = new QBarCategoryAxis(m_chart);
    m_axisY = new QValueAxis(m_chart);
    for (QAbstractAxis *axis :
         {static_cast<QAbstractAxis *>(m_axisX), static_cast<QAbstractAxis *>(m_axisY)}) {
        axis->setLabelsFont(axisFont());
        axis->setLabelsBrush(Qt::black);
        axis->setTitleVisible(false);
        axis->setLinePen(QPen(Qt::black));
    }
    m_axisX->setLabelsVisible(false);
    m_axisX->setGridLineVisible(false);
    m_axisY->setGridLinePen(QPen(QColor(0xC0, 0xC0, 0xC0), 1, Qt::DotLine));
    m_axisY->setMinorTickCount(0);
    m_axisY->setLabelFormat(QStringLiteral("%.0f"));
    m_axisY->setTickType(QValueAxis::TicksDynamic);
    m_axisY->setTickAnchor(0.0);
    m_axisY->setRange(0.0, 1.0);
    m_axisY->setTickInterval(1.0);
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_chart->addAxis(m_axisY, Qt::AlignLeft);

    m_bottomTitle = new QGraphicsSimpleTextItem(m_chart);
    m_bottomTitle->setFont(axisFont());
    m_leftTitle = new QGraphicsSimpleTextItem(m_chart);
    m_leftTitle->setFont(axisFont());
    m_leftTitle->setRotation(-90);
    connect(m_chart, &QChart::plotAreaChanged, this, &BarChart::layoutAxisTexts);
    updateMargins();

    m_view = new AnyButtonChartView(m_chart, this);
    m_view->setObjectName(QStringLiteral("ChartView"));
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setRubberBand(QChartView::NoRubberBand);
    m_view->setStyleSheet(QStringLiteral("background: transparent"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    m_noData = new QLabel(m_view);
    m_noData->setFont(DesignFonts::font(QStringLiteral("MS Sans Serif"), 24, true));
    m_noData->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0); background: transparent"));
    m_noData->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_noData->setVisible(true);
}

void BarChart::setTitles(const QString &title, const QString &bottomAxisTitle,
                         const QString &leftAxisTitle)
{
    m_chart->setTitle(title);
    m_bottomTitle->setText(bottomAxisTitle);
    m_leftTitle->setText(leftAxisTitle);
    updateMargins();
}

void BarChart::setHiddenLeftEdge(int pixels)
{
    m_hiddenLeftEdge = pixels;
    updateMargins();
}

void BarChart::updateMargins()
{
    const QFontMetrics metrics(axisFont());
    const int left = m_hiddenLeftEdge + 2 + (m_leftTitle->text().isEmpty() ? 0 : metrics.height());
    const int bottom = 2 * metrics.height() + 2;
    m_chart->setMargins(QMargins(left, 2, 8, bottom));
}

void BarChart::layoutAxisTexts()
{
    const QRectF plot = m_chart->plotArea();
    const QFontMetricsF metrics(axisFont());
    const double labelTop = plot.bottom() + TextGap + 1;

    const QStringList categories = m_axisX->categories();
    while (m_bottomLabels.size() < categories.size()) {
        auto *label = new QGraphicsSimpleTextItem(m_chart);
        label->setFont(axisFont());
        m_bottomLabels.append(label);
    }
    const double slot = categories.isEmpty() ? 0.0 : plot.width() / categories.size();
    double widest = 0.0;
    for (const QString &category : categories)
        widest = std::max(widest, metrics.horizontalAdvance(category));
    // Every label, or every second, fifth, tenth... so that they never touch.
    int step = 1;
    for (int candidate : {1, 2, 5, 10, 20, 50}) {
        step = candidate;
        if (slot * candidate >= widest + TextGap)
            break;
    }
    for (qsizetype i = 0; i < m_bottomLabels.size(); ++i) {
        QGraphicsSimpleTextItem *label = m_bottomLabels.at(i);
        const bool shown = i < categories.size() && i % step == 0;
        label->setVisible(shown);
        if (!shown)
            continue;
        label->setText(categories.at(i));
        const double centre = plot.left() + (i + 0.5) * slot;
        label->setPos(centre - metrics.horizontalAdvance(label->text()) / 2.0, labelTop);
    }

    const double titleTop = labelTop + metrics.height();
    const double titleWidth = metrics.horizontalAdvance(m_bottomTitle->text());
    m_bottomTitle->setPos(plot.center().x() - titleWidth / 2.0, titleTop);

    const double leftTitleWidth = metrics.horizontalAdvance(m_leftTitle->text());
    m_leftTitle->setPos(m_hiddenLeftEdge + 1.0, plot.center().y() + leftTitleWidth / 2.0);

    // The legend shares the line of the bottom axis title, to its right, so
    // that it takes nothing from the plot.
    layoutLegend(titleTop, plot.center().x() + titleWidth / 2.0);
    updateValueAxis();
}

void BarChart::setFixedValueRange(double minimum, double maximum, double step)
{
    m_fixedRange = true;
    m_axisY->setTickAnchor(minimum);
    setValueRange(minimum, maximum, step);
}

void BarChart::setLegendVisible(bool visible)
{
    m_legendVisible = visible;
    for (QGraphicsItem *item : std::as_const(m_legendItems))
        item->setVisible(visible);
    layoutAxisTexts();
}

void BarChart::layoutLegend(double top, double leftBound)
{
    if (!m_legendVisible)
        return;
    const QFontMetricsF metrics(axisFont());
    const double box = metrics.ascent() * 0.8;
    double width = 0.0;
    for (const ChartSeries *series : std::as_const(m_series))
        width += box + TextGap + metrics.horizontalAdvance(series->title()) + 3 * TextGap;
    double x = std::max(leftBound + 12.0, m_chart->size().width() - 8.0 - width);
    for (qsizetype i = 0; i + 1 < m_legendItems.size(); i += 2) {
        auto *marker = static_cast<QGraphicsRectItem *>(m_legendItems.at(i));
        auto *title = static_cast<QGraphicsSimpleTextItem *>(m_legendItems.at(i + 1));
        marker->setRect(0, 0, box, box);
        marker->setPos(x, top + (metrics.height() - box) / 2.0);
        x += box + TextGap;
        title->setPos(x, top);
        x += metrics.horizontalAdvance(title->text()) + 3 * TextGap;
    }
}

void BarChart::setGradientEndColour(const QColor &colour)
{
    QRadialGradient gradient(QPointF(0.5, 0.5), 0.75);
    gradient.setCoordinateMode(QGradient::ObjectMode);
    gradient.setColorAt(0.0, palette().color(QPalette::Button));
    gradient.setColorAt(1.0, colour);
    m_chart->setBackgroundBrush(gradient);
}

void BarChart::setNoDataLabel(const QString &objectName, const QString &text, QPoint position)
{
    m_noData->setObjectName(objectName);
    m_noData->setText(text);
    m_noData->adjustSize();
    m_noData->move(position);
}

ChartSeries *BarChart::addSeries(const QString &objectName, const QString &title,
                                 const QColor &colour)
{
    Q_ASSERT(!m_barSeries);
    auto *series = new ChartSeries(objectName, title, colour, this);
    m_series.append(series);

    auto *marker = new QGraphicsRectItem(m_chart);
    marker->setBrush(colour);
    marker->setPen(QPen(Qt::black, 0));
    auto *text = new QGraphicsSimpleTextItem(title, m_chart);
    text->setFont(axisFont());
    text->setBrush(colour);
    for (QGraphicsItem *item :
         {static_cast<QGraphicsItem *>(marker), static_cast<QGraphicsItem *>(text)}) {
        item->setVisible(m_legendVisible);
        m_legendItems.append(item);
    }
    layoutAxisTexts();
    return series;
}

void BarChart::createBarSeries()
{
    if (m_series.size() == 1) {
        m_barSeries = new QStackedBarSeries(m_chart);
        m_colourSets.append(
            createBarSet(m_series.first()->title(), m_series.first()->colour(), m_series.first()));
    } else {
        m_barSeries = new QBarSeries(m_chart);
        for (ChartSeries *series : std::as_const(m_series))
            createBarSet(series->title(), series->colour(), series);
    }
    m_barSeries->setBarWidth(0.7);
    m_barSeries->setLabelsVisible(false);
    m_chart->addSeries(m_barSeries);
    m_barSeries->attachAxis(m_axisX);
    m_barSeries->attachAxis(m_axisY);
}

QBarSet *BarChart::createBarSet(const QString &label, const QColor &colour, ChartSeries *owner)
{
    auto *set = new QBarSet(label);
    set->setColor(colour);
    set->setBorderColor(Qt::black);
    connect(set, &QBarSet::pressed, this, [this, owner](int index) {
        if (index >= 0 && index < owner->count())
            emit clickSeries(owner, index);
    });
    connect(set, &QBarSet::hovered, this, [this](bool entered, int) {
        if (entered)
            m_view->viewport()->setCursor(Qt::PointingHandCursor);
        else
            m_view->viewport()->unsetCursor();
    });
    m_barSeries->append(set);
    return set;
}

void BarChart::updateBars()
{
    if (!m_barSeries)
        createBarSeries();
    updateCategories();
    if (m_series.size() == 1)
        updateStacked();
    else
        updateSideBySide();
    updateValueAxis();

    bool anyData = false;
    for (const ChartSeries *series : std::as_const(m_series))
        anyData = anyData || series->maxValue() != 0.0;
    m_noData->setVisible(!anyData);
}

void BarChart::updateStacked()
{
    ChartSeries *series = m_series.first();
    const int count = series->count();
    // Make sure every colour in use has its set.
    for (int i = 0; i < count; ++i) {
        const QColor colour = series->barColour(i);
        const bool known = std::any_of(m_colourSets.cbegin(), m_colourSets.cend(),
                                       [&](QBarSet *set) { return set->color() == colour; });
        if (!known)
            m_colourSets.append(createBarSet(series->title(), colour, series));
    }
    for (QBarSet *set : std::as_const(m_colourSets)) {
        QList<qreal> values(count, 0.0);
        for (int i = 0; i < count; ++i) {
            if (series->barColour(i) == set->color())
                values[i] = series->value(i);
        }
        set->remove(0, set->count());
        set->append(values);
    }
}

void BarChart::updateSideBySide()
{
    const QList<QBarSet *> sets = m_barSeries->barSets();
    for (qsizetype s = 0; s < sets.size(); ++s) {
        QBarSet *set = sets.at(s);
        const ChartSeries *series = m_series.at(s);
        QList<qreal> values;
        QList<int> ownColour;
        values.reserve(series->count());
        for (int i = 0; i < series->count(); ++i) {
            values.append(series->value(i));
            if (series->barColour(i) != series->colour()) {
                // One selection colour per set: the first own colour wins.
                if (ownColour.isEmpty())
                    set->setSelectedColor(series->barColour(i));
                Q_ASSERT(series->barColour(i) == set->selectedColor());
                ownColour.append(i);
            }
        }
        set->deselectAllBars();
        set->remove(0, set->count());
        set->append(values);
        set->selectBars(ownColour);
    }
}

void BarChart::updateCategories()
{
    const ChartSeries *longest = nullptr;
    for (const ChartSeries *series : std::as_const(m_series)) {
        if (!longest || series->count() > longest->count())
            longest = series;
    }
    QStringList labels;
    if (longest) {
        labels.reserve(longest->count());
        for (int i = 0; i < longest->count(); ++i)
            labels.append(longest->label(i));
    }
    if (labels != m_axisX->categories()) {
        if (labels.isEmpty())
            m_axisX->clear();
        else
            m_axisX->setCategories(labels);
        layoutAxisTexts();
    }
}

void BarChart::updateValueAxis()
{
    if (m_fixedRange)
        return;
    // The range always holds 0 and every value. Negative values only come
    // from a damaged progress file, but their bars must still be seen.
    double minimum = 0.0;
    double maximum = 0.0;
    for (const ChartSeries *series : std::as_const(m_series)) {
        minimum = std::min(minimum, series->minValue());
        maximum = std::max(maximum, series->maxValue());
    }
    // Qt Charts shortens the value labels to "..." when they stand closer
    // than about twice their height, so low charts get fewer intervals.
    const double labelSpacing = 2.0 * QFontMetricsF(axisFont()).height();
    const int intervals = std::clamp(int(m_chart->plotArea().height() / labelSpacing), 1, 8);
    const double step = niceStep(maximum - minimum, intervals);
    const double bottom = std::floor(minimum / step) * step;
    const double top = maximum > 0.0   ? std::ceil(maximum / step) * step
                       : minimum < 0.0 ? 0.0
                                       : step;
    setValueRange(bottom, top, step);
}

void BarChart::setValueRange(double minimum, double maximum, double step)
{
    // Qt Charts lays out the ticks of every intermediate state, so the step
    // grows before the range and the range shrinks before the step: a large
    // range never meets a small step.
    if (step > m_axisY->tickInterval()) {
        m_axisY->setTickInterval(step);
        m_axisY->setRange(minimum, maximum);
    } else {
        m_axisY->setRange(minimum, maximum);
        m_axisY->setTickInterval(step);
    }
}
