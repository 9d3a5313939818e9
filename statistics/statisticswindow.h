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
class DynamicsPage;
class TabRows;

// The statistics window: a rating of the 40 tickets, the seconds and the
// answers per ticket and, for the ticket chosen in the list, the seconds and
// the answers per question, all summed over the modes of the chosen filter.
// It only reads globalStatRecord().
//
// The window is created once and opened with exec() as often as the user
// asks; the filter survives from one opening to the next. Every opening shows
// the rating page with ticket 1 selected in the list.
class StatisticsWindow : public QDialog
{
    Q_OBJECT

public:
    explicit StatisticsWindow(QWidget *parent = nullptr);
    ~StatisticsWindow() override;

    // Refills the four per-ticket series (rating, seconds, answers) and then
    // the per-question charts of the selected ticket.
    void refreshTicketCharts();
    // Refills the per-question charts for the selected ticket; does nothing
    // while no ticket is selected.
    void refreshQuestionCharts();

    ModeFilter modeFilter() const { return m_filter; }
    // The fifth page, over the answer history (see DynamicsPage).
    DynamicsPage *dynamicsPage() const { return m_dynamics; }

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    void onFirstActivation();
    void onTicketSelected();
    // The four filter buttons: a click that checks one refreshes the charts.
    void onFilterToggled(ModeFilter filter, bool checked);
    // A bar of a per-ticket chart opens the question page for its ticket.
    void onTicketBarClicked(ChartSeries *series, int index);
    void onQuestionTimeBarClicked(ChartSeries *series, int index);
    void onQuestionAnswerBarClicked(ChartSeries *series, int index);
    void onHelpClicked();

    void buildHeading();
    void buildPages();
    void buildFilter();
    void buildCharts();
    void arrangeTabRows();
    void navigateToTicket(int index);
    void centreOnDesktop();

    ModeFilter m_filter = ModeFilter::All;
    bool m_activatedThisOpening = false;

    QLabel *m_heading = nullptr;
    QToolButton *m_helpButton = nullptr;
    QTabWidget *m_pages = nullptr;
    TabRows *m_tabRows = nullptr;
    QListWidget *m_tickets = nullptr;
    QPushButton *m_okButton = nullptr;
    DynamicsPage *m_dynamics = nullptr;

    BarChart *m_ratingChart = nullptr;
    BarChart *m_ticketTimeChart = nullptr;
    BarChart *m_ticketAnswerChart = nullptr;
    BarChart *m_questionTimeChart = nullptr;
    BarChart *m_questionAnswerChart = nullptr;

    ChartSeries *m_ratingSeries = nullptr;
    ChartSeries *m_ticketTimeSeries = nullptr;
    ChartSeries *m_ticketWrongSeries = nullptr;
    ChartSeries *m_ticketCorrectSeries = nullptr;
    ChartSeries *m_questionTimeSeries = nullptr;
    // The per-question answer bars are drawn in the colours of what they
    // count, while the legend keeps the series' own names and colours (the
    // correct counts sit under the legend entry "Неправильно").
    ChartSeries *m_questionCorrectSeries = nullptr;
    ChartSeries *m_questionWrongSeries = nullptr;
};
