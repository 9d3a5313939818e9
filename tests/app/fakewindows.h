#pragma once

#include "examwindowhost.h"

#include <QDialog>
#include <QList>
#include <QPoint>
#include <QWidget>

// Stands in for the exam window: each showing is one attempt that records
// what the main window set up, gives the ticket `resultStatus`, saves
// "stat.dat" and closes, telling its host - as the real window does at the
// end of an attempt.
class FakeExamWindow : public QWidget
{
    Q_OBJECT
public:
    struct Start
    {
        int ticket;
        int mode;
        bool preparation;
        QPoint position;
        bool hostVisible;
    };

    explicit FakeExamWindow(ExamWindowHost *host, QWidget *hostWidget);

    int resultStatus = 1;
    bool finishAttempts = true;
    QList<Start> starts;

    void finish();

protected:
    void showEvent(QShowEvent *event) override;

private:
    ExamWindowHost *m_host;
    QWidget *m_hostWidget;
};

// Stands in for the statistics window: counts its modal showings and closes.
class FakeStatisticsWindow : public QDialog
{
    Q_OBJECT
public:
    using QDialog::QDialog;
    int modalShowings = 0;

protected:
    void showEvent(QShowEvent *event) override;
};
