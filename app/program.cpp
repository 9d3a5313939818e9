#include "program.h"

#include "aboutwindow.h"
#include "knowledgegauge.h"
#include "mainwindow.h"
#include "quitonfirstpaint.h"
#include "splashwindow.h"

#include <QApplication>

#ifdef ZELTRAK_HAVE_EXAMWINDOW
#include "examwindow.h"
#include "resultdialog.h"
#endif
#ifdef ZELTRAK_HAVE_STATISTICS
#include "dynamicspage.h"
#include "learnerhistory.h"
#include "statisticswindow.h"
#endif

ZeltrakProgram::ZeltrakProgram(const ProgramPaths &paths)
{
    m_mainWindow = std::make_unique<MainWindow>(paths);
    if (m_mainWindow->startupFailed())
        return;

#ifdef ZELTRAK_HAVE_EXAMWINDOW
    // Made for the first attempt, with its result dialog: the first paint
    // needs neither (their chart and fonts cost the start-up a few ms).
    m_mainWindow->setExamWindowFactory([this]() -> AttemptWindow * {
        auto *examWindow = new ExamWindow;
        m_examWindow.reset(examWindow);
        examWindow->setHost(m_mainWindow.get());
        auto *resultDialog = new ResultDialog;
        m_resultDialog.reset(resultDialog);
        examWindow->setResultDialog(resultDialog);
        return examWindow;
    });
#endif
    m_gauge = std::make_unique<KnowledgeGauge>();
#ifdef ZELTRAK_HAVE_STATISTICS
    // Made when the learner first opens it: its charts cost more at start-up
    // than the main window itself.
    m_mainWindow->setStatisticsWindowFactory([this]() -> QDialog * {
        auto *statisticsWindow = new StatisticsWindow;
        m_statisticsWindow.reset(statisticsWindow);
        MainWindow *main = m_mainWindow.get();
        statisticsWindow->dynamicsPage()->setAnswerSource(
            [main] { return main->history().outcomes(); });
        statisticsWindow->dynamicsPage()->setModelSource(
            [main] { return main->history().model(); });
        statisticsWindow->dynamicsPage()->setNoteSource(
            [main] { return main->history().statusNote(); });
        return statisticsWindow;
    });
#endif
    m_splash = std::make_unique<SplashWindow>();
    // Made when first asked for: its fonts and text cost the start-up time.
    m_mainWindow->setAboutWindowFactory([this] {
        m_about = std::make_unique<AboutWindow>();
        return m_about.get();
    });

    m_mainWindow->setCompanions(nullptr, m_gauge.get(), nullptr, m_splash.get(), nullptr);
    QObject::connect(m_mainWindow.get(), &MainWindow::closed, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
}

ZeltrakProgram::~ZeltrakProgram() = default;

AttemptWindow *ZeltrakProgram::examWindow()
{
    return m_mainWindow->examWindow();
}

bool ZeltrakProgram::restartRequested() const
{
    return m_mainWindow && m_mainWindow->restartRequested();
}

bool ZeltrakProgram::startupFailed() const
{
    return m_mainWindow->startupFailed();
}

int ZeltrakProgram::run()
{
    if (startupFailed())
        return 1;
    // The main window alone ends the program; the exam window closing while
    // the main window is still hidden must not.
    QApplication::setQuitOnLastWindowClosed(false);
    QuitOnFirstPaint::installIfRequested(m_mainWindow.get());
    m_mainWindow->show();
    return QApplication::exec();
}
