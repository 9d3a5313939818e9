#pragma once

#include "attemptwindow.h"
#include "examwindowhost.h"

#include <QDialog>
#include <QList>
#include <QPoint>
#include <QWidget>

// Stands in for the exam window: each showing is one attempt that records
// the attempt the main window handed over, gives the ticket `resultStatus`,
// saves "stat.dat" and closes, telling its host - as the real window does at
// the end of an attempt.
class FakeExamWindow : public AttemptWindow
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
    void setAttempt(std::unique_ptr<ExamAttempt> attempt) override
    {
        m_attempt = std::move(attempt);
    }

protected:
    void showEvent(QShowEvent *event) override;

private:
    ExamWindowHost *m_host;
    std::unique_ptr<ExamAttempt> m_attempt;
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
