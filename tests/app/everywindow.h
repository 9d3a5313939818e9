#pragma once

#include "appsandbox.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <memory>

class ZeltrakProgram;

// Every window of the program open at once, as a learner reaches them: the
// main window, an exam in the exam window, "Моя подготовка", the statistics,
// the help, the About and splash windows, the result dialogs and the review
// of mistakes. For tests that look at all of them.
class EveryWindow
{
public:
    EveryWindow();
    ~EveryWindow();

    bool started() const { return m_program != nullptr; }
    // The top-level windows, shown.
    QList<QWidget *> windows() const;

private:
    AppSandbox m_sandbox;
    std::unique_ptr<ZeltrakProgram> m_program;
    QList<QPointer<QWidget>> m_own;
};
