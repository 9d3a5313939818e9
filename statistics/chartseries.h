#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>

// One series of bars as the statistics window fills it: every bar has a
// value, a text label and, optionally, a colour of its own. A bar added
// without a colour is drawn in the series colour, which is also the colour
// the legend shows for the series.
//
// A series only holds data; the BarChart that owns it draws it.
class ChartSeries : public QObject
{
    Q_OBJECT

public:
    ChartSeries(const QString &objectName, const QString &title, const QColor &colour,
                QObject *parent = nullptr);

    QString title() const { return m_title; }
    QColor colour() const { return m_colour; }

    void clear();
    void add(double value, const QString &label, const QColor &colour = QColor());

    int count() const { return int(m_bars.size()); }
    double value(int index) const { return m_bars.at(index).value; }
    QString label(int index) const { return m_bars.at(index).label; }
    // The colour the bar is drawn in.
    QColor barColour(int index) const;
    bool hasOwnColour(int index) const { return m_bars.at(index).colour.isValid(); }

    // The largest and the smallest value; 0 for a series without bars.
    double maxValue() const;
    double minValue() const;

private:
    struct Bar
    {
        double value = 0.0;
        QString label;
        QColor colour;
    };

    QString m_title;
    QColor m_colour;
    QList<Bar> m_bars;
};
