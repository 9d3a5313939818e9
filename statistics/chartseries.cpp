#include "chartseries.h"

#include <algorithm>

ChartSeries::ChartSeries(const QString &objectName, const QString &title, const QColor &colour,
                         QObject *parent)
    : QObject(parent), m_title(title), m_colour(colour)
{
    setObjectName(objectName);
}

void ChartSeries::clear()
{
    m_bars.clear();
}

void ChartSeries::add(double value, const QString &label, const QColor &colour)
{
    m_bars.append(Bar{value, label, colour});
}

QColor ChartSeries::barColour(int index) const
{
    const QColor &own = m_bars.at(index).colour;
    return own.isValid() ? own : m_colour;
}

double ChartSeries::maxValue() const
{
    if (m_bars.isEmpty())
        return 0.0;
    const auto largest =
        std::max_element(m_bars.cbegin(), m_bars.cend(),
                         [](const Bar &a, const Bar &b) { return a.value < b.value; });
    return largest->value;
}

double ChartSeries::minValue() const
{
    if (m_bars.isEmpty())
        return 0.0;
    const auto smallest =
        std::min_element(m_bars.cbegin(), m_bars.cend(),
                         [](const Bar &a, const Bar &b) { return a.value < b.value; });
    return smallest->value;
}
