#include "fakewindows.h"

#include "statisticsfile.h"
#include "statrecord.h"

#include <QTimer>

FakeExamWindow::FakeExamWindow(ExamWindowHost *host, QWidget *hostWidget)
    : m_host(host), m_hostWidget(hostWidget)
{
    setObjectName(QStringLiteral("Form1"));
    resize(730, 490);
}

void FakeExamWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    const AttemptSetup &setup = m_attempt->setup();
    starts.append(
        {setup.ticket, int(setup.mode), setup.preparation, pos(), m_hostWidget->isVisible()});
    if (finishAttempts)
        QTimer::singleShot(0, this, &FakeExamWindow::finish);
}

void FakeExamWindow::finish()
{
    const int ticket = m_attempt->setup().ticket;
    if (ticket >= 1 && ticket <= 40)
        globalStatRecord().setTicketStatus(ticket, resultStatus);
    saveStatistics(globalStatRecord());
    hide();
    m_host->examWindowClosed();
}

void FakeStatisticsWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (isModal())
        ++modalShowings;
    QTimer::singleShot(0, this, &QDialog::accept);
}
