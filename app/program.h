#pragma once

#include "attemptwindow.h"
#include "programpaths.h"

#include <QDialog>
#include <QWidget>

#include <memory>

class AttemptWindow;
class TForm2;
class TForm3;
class TForm6;
class TForm7;

// The program's seven windows, created in their fixed order: main window,
// exam window, picture holder, result dialog, statistics window, splash,
// About. Creating the main window runs the start-up sequence; when it stops,
// no other window is created.
class ZeltrakProgram
{
public:
    explicit ZeltrakProgram(const ProgramPaths &paths = ProgramPaths::standard());
    ~ZeltrakProgram();
    ZeltrakProgram(const ZeltrakProgram &) = delete;
    ZeltrakProgram &operator=(const ZeltrakProgram &) = delete;

    bool startupFailed() const;
    TForm2 *mainWindow() const { return m_form2.get(); }
    AttemptWindow *examWindow() const { return m_form1.get(); }

    // Shows the main window and runs the message loop until it closes.
    int run();

private:
    // Destroyed in reverse order: the main window goes last.
    std::unique_ptr<TForm2> m_form2;
    std::unique_ptr<AttemptWindow> m_form1;
    std::unique_ptr<TForm3> m_form3;
    std::unique_ptr<QDialog> m_form4;
    std::unique_ptr<QDialog> m_form5;
    std::unique_ptr<TForm6> m_form6;
    std::unique_ptr<TForm7> m_form7;
};
