#pragma once

#include <QChartView>

class QPieSeries;

// The small statistics pie of the exam window: one pie series without axes,
// legend, title or frame on a white background, reporting clicks.
class PieChartView : public QChartView
{
    Q_OBJECT

public:
    explicit PieChartView(QWidget *parent = nullptr);

    QPieSeries *series() const { return m_series; }

    // Replaces the slices by `correct` (label "П", green) and `wrong`
    // (label "Н", red).
    void setCounts(int correct, int wrong);

    // The disc drawn while the question has no answers yet, so that the
    // yellow seconds counter over the pie stays readable.
    static QColor emptyColour() { return QColor(0x6E, 0x6E, 0x6E); }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;

private:
    QPieSeries *m_series = nullptr;
    bool m_empty = true;
};
