#include "program.h"

#include "tform2.h"
#include "tform3.h"
#include "tform6.h"
#include "tform7.h"

#include <QApplication>

#ifdef ZELTRAK_HAVE_EXAMWINDOW
#include "examwindow.h"
#include "resultdialog.h"
#endif
#ifdef ZELTRAK_HAVE_STATISTICS
#include "statisticswindow.h"
#endif

ZeltrakProgram::ZeltrakProgram(const ProgramPaths &paths)
{
    m_form2 = std::make_unique<TForm2>(paths);
    if (m_form2->startupFailed())
        return;

#ifdef ZELTRAK_HAVE_EXAMWINDOW
    auto *form1 = new ExamWindow;
    m_form1.reset(form1);
    form1->setHost(m_form2.get());
#endif
    m_form3 = std::make_unique<TForm3>();
#ifdef ZELTRAK_HAVE_EXAMWINDOW
    auto *form4 = new ResultDialog;
    m_form4.reset(form4);
    form1->setResultDialog(form4);
#endif
#ifdef ZELTRAK_HAVE_STATISTICS
    m_form5 = std::make_unique<StatisticsWindow>();
#endif
    m_form6 = std::make_unique<TForm6>();
    m_form7 = std::make_unique<TForm7>();

    m_form2->setCompanions(m_form1.get(), m_form3.get(), m_form5.get(), m_form6.get(),
                           m_form7.get());
    QObject::connect(m_form2.get(), &TForm2::closed, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
}

ZeltrakProgram::~ZeltrakProgram() = default;

bool ZeltrakProgram::startupFailed() const
{
    return m_form2->startupFailed();
}

int ZeltrakProgram::run()
{
    if (startupFailed())
        return 1;
    // The main window alone ends the program; the exam window closing while
    // the main window is still hidden must not.
    QApplication::setQuitOnLastWindowClosed(false);
    m_form2->show();
    return QApplication::exec();
}
