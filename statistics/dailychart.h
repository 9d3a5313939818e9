#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QWidget>

#include <optional>

class QBarSeries;
class QChart;
class QLabel;
class QLineSeries;

// A chart over calendar days from the answer history: a count per day as
// bars on the left axis and a share per day (0..100 %) as a line on the
// right axis, either or both. Days without a share leave a gap in the line.
// A "no data" label covers the middle while there is nothing to show.
class DailyChart : public QWidget
{
    Q_OBJECT
public:
    struct Data
    {
        QList<QDate> days;
        QString countTitle;                    // empty: no bars
        QList<int> counts;                     // one per day
        QString percentTitle;                  // empty: no line
        QList<std::optional<double>> percents; // one per day, 0..100
    };

    explicit DailyChart(QWidget *parent = nullptr);

    void setTitle(const QString &title);
    void setData(const Data &data);

    QChart *chart() const { return m_chart; }
    QLabel *noDataLabel() const { return m_noData; }
    // Null while the data has none.
    QBarSeries *countSeries() const { return m_counts; }
    // The line's points; a gap in the days splits it into several series.
    const QList<QLineSeries *> &percentSeries() const { return m_percents; }
    bool hasData() const { return m_hasData; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitPercentTicks();
    void clearSeries();
    void placeNoDataLabel();

    QString m_title;
    QChart *m_chart = nullptr;
    QLabel *m_noData = nullptr;
    QBarSeries *m_counts = nullptr;
    QList<QLineSeries *> m_percents;
    bool m_hasData = false;
};
