#pragma once

#include "examwindow.h"
#include "examwindowhost.h"
#include "resultdialog.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

// The main window's side of the exam window, as tests play it.
class FakeHost : public ExamWindowHost
{
public:
    bool showStatistics = false;
    bool shuffleAnswers = false; // handed to the attempt at its start
    int closedCount = 0;

    bool showStatisticsChecked() const override { return showStatistics; }
    void examWindowClosed() override { ++closedCount; }
};

// Answers modal windows as they appear: the result dialog is read and closed
// with its OK button; any message box that a test did not answer in advance is
// recorded and closed, so that a faulty test fails instead of hanging.
class ModalWatcher : public QObject
{
    Q_OBJECT

public:
    ModalWatcher();

    // Called for a modal message box instead of closing it.
    std::function<void(QWidget *box)> onMessageBox;

    QList<QStringList> resultDialogs; // the four lines of every showing
    QStringList unexpectedBoxes;      // texts of boxes closed unanswered

private:
    void poll();
    QTimer m_timer;
};

// One exam window over a synthetic database in a temporary folder that is
// also the current folder, so "stat.dat" lands there.
class ExamTestBench
{
public:
    ExamTestBench();
    ~ExamTestBench();

    // Hands the window an attempt, as the main window does, and shows it.
    void start(int mode, int ticket, bool preparation = false, int limitSeconds = 1200);
    ExamAttempt &attempt() const { return *form.attempt(); }

    QLabel *label(const char *name) const;
    QPushButton *button(int n) const;
    QListWidget *list() const;
    int itemIcon(int position) const;
    // Visible answer buttons, as digits "1".."5".
    QString visibleButtons() const;
    QString enabledButtons() const;

    // Clicks the correct / a wrong answer button, or presses its digit key.
    void answerCorrect(bool byKey = false);
    void answerWrong(bool byKey = false);
    void pressDigit(int n);
    void selectPosition(int position);

    void tick(int seconds); // SpTimer, then Timer1 in the exam, per second
    QByteArray statFile() const;
    QString dir() const { return m_dir.path(); }

    FakeHost host;
    ResultDialog dialog;
    ExamWindow form;
    ModalWatcher watcher;

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
};
