#pragma once

#include "attemptwindow.h"
#include "programpaths.h"

#include <QDialog>
#include <QWidget>

#include <memory>

class AboutWindow;
class KnowledgeGauge;
class MainWindow;
class SplashWindow;

// The program's seven windows: main window, knowledge gauge and splash at
// start, in that order; the exam window with its result dialog for the first
// attempt; the statistics window, the heaviest to build, and About when the
// learner first opens them. Creating
// the main window runs the start-up sequence; when it stops, no other window
// is created.
class ZeltrakProgram
{
public:
    explicit ZeltrakProgram(const ProgramPaths &paths = ProgramPaths::standard());
    ~ZeltrakProgram();
    ZeltrakProgram(const ZeltrakProgram &) = delete;
    ZeltrakProgram &operator=(const ZeltrakProgram &) = delete;

    bool startupFailed() const;
    // The learner chose to restart the program (for a new interface scale).
    bool restartRequested() const;
    MainWindow *mainWindow() const { return m_mainWindow.get(); }
    // Made for the first attempt, or now when it has not been made yet.
    AttemptWindow *examWindow();

    // Shows the main window and runs the message loop until it closes.
    int run();

private:
    // Destroyed in reverse order: the main window goes last.
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<AttemptWindow> m_examWindow;
    std::unique_ptr<KnowledgeGauge> m_gauge;
    std::unique_ptr<QDialog> m_resultDialog;
    std::unique_ptr<QDialog> m_statisticsWindow;
    std::unique_ptr<SplashWindow> m_splash;
    std::unique_ptr<AboutWindow> m_about;
};
