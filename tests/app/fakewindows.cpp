#include "fakewindows.h"

#include "attemptglobals.h"
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
    starts.append({CurrentTicket, AttemptMode, PreparationFlag, pos(), m_hostWidget->isVisible()});
    if (finishAttempts)
        QTimer::singleShot(0, this, &FakeExamWindow::finish);
}

void FakeExamWindow::finish()
{
    if (CurrentTicket >= 1 && CurrentTicket <= 40)
        GlobalStatRecord().setTicketStatus(CurrentTicket, resultStatus);
    SaveStatistics(GlobalStatRecord());
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
