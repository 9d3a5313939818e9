#pragma once

#include "statisticsmodel.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QTabWidget;
class QToolButton;
class QPushButton;
class BarChart;
class ChartSeries;

// The statistics window: a rating of the 40 tickets, the seconds and the
// answers per ticket and, for the ticket chosen in the list, the seconds and
// the answers per question, all summed over the modes of the chosen filter.
// It only reads GlobalStatRecord().
//
// The window is created once and opened with exec() as often as the user
// asks; the filter survives from one opening to the next. Every opening shows
// the rating page with ticket 1 selected in the list.
class TForm5 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm5(QWidget *parent = nullptr);
    ~TForm5() override;

    // Refills the four per-ticket series (rating, seconds, answers) and then
    // the per-question charts of the selected ticket.
    void RefreshTicketCharts();
    // Refills the per-question charts for the selected ticket; does nothing
    // while no ticket is selected.
    void RefreshQuestionCharts();

    ModeFilter modeFilter() const { return m_filter; }

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    void FormShow();
    void FormActivate();
    void ListView1SelectItem();
    // The four filter buttons: a click that checks one refreshes the charts.
    void filterClicked(ModeFilter filter, bool checked);
    void Chart2ClickSeries(ChartSeries *series, int index);
    void Chart3ClickSeries(ChartSeries *series, int index);
    void Chart5ClickSeries(ChartSeries *series, int index);
    void Chart6ClickSeries(ChartSeries *series, int index);
    void SpeedButton1Click();

    void buildHeading();
    void buildPages();
    void buildFilter();
    void buildCharts();
    void navigateToTicket(int index);
    void centreOnDesktop();

    ModeFilter m_filter = ModeFilter::All;
    bool m_activatedThisOpening = false;

    QLabel *m_heading = nullptr;
    QToolButton *m_helpButton = nullptr;
    QTabWidget *m_pages = nullptr;
    QListWidget *m_tickets = nullptr;
    QPushButton *m_ok = nullptr;

    BarChart *m_chart4 = nullptr; // rating
    BarChart *m_chart2 = nullptr; // seconds per ticket
    BarChart *m_chart3 = nullptr; // answers per ticket
    BarChart *m_chart5 = nullptr; // seconds per question
    BarChart *m_chart1 = nullptr; // answers per question

    ChartSeries *m_barSeries2 = nullptr; // rating
    ChartSeries *m_series1 = nullptr;    // seconds per ticket
    ChartSeries *m_barSeries1 = nullptr; // wrong answers per ticket
    ChartSeries *m_series2 = nullptr;    // correct answers per ticket
    ChartSeries *m_barSeries4 = nullptr; // seconds per question
    ChartSeries *m_barSeries3 = nullptr; // correct answers per question (drawn green)
    ChartSeries *m_barSeries7 = nullptr; // wrong answers per question (drawn red)
};
