#include "everywindow.h"

#include "examattempt.h"
#include "helpviewer.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "mistakereviewwindow.h"
#include "officialresultdialog.h"
#include "program.h"
#include "programrandom.h"
#include "questiondatabase.h"
#include "resultdialog.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

EveryWindow::EveryWindow()
{
    const QString db = m_sandbox.writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    m_sandbox.writeSettings(QStringLiteral("Kol=2\nRnd=1\nSta=1\nTim=4\nBas=") + db);
    m_program = std::make_unique<ZeltrakProgram>(m_sandbox.paths);
    if (m_program->startupFailed()) {
        m_program.reset();
        return;
    }
    MainWindow *main = m_program->mainWindow();
    main->show();
    // The exam window with an exam running; the main window hides meanwhile
    // and is shown again to be looked at as well.
    ProgramRandom::setScript({0});
    QTest::mouseClick(main->findChild<QPushButton *>(QStringLiteral("BitBtn3")), Qt::LeftButton);
    ProgramRandom::clearScript();
    main->show();
    QTest::mouseClick(main->findChild<QToolButton *>(QStringLiteral("learnerButton")),
                      Qt::LeftButton);
    // The statistics and About windows are made when first opened: open
    // each once through its button or command.
    for (const char *opener : {"SpeedButton2", "N4"}) {
        QTimer::singleShot(0, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        if (auto *button = main->findChild<QToolButton *>(QString::fromLatin1(opener)))
            QTest::mouseClick(button, Qt::LeftButton);
        else
            main->findChild<QAction *>(QString::fromLatin1(opener))->trigger();
    }
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        // These open modally from a click; shown here without their modal
        // loops.
        const QString name = widget->objectName();
        if (name == QLatin1String("Form5") || name == QLatin1String("Form7") ||
            name == QLatin1String("Form6"))
            widget->show();
    }
    HelpViewer::install();
    Help::showTopic(main, QStringLiteral("glavn"));

    QWidget *exam = m_program->examWindow();
    auto *result = new ResultDialog(exam);
    auto *official = new OfficialResultDialog(exam);
    auto *review = new MistakeReviewWindow(globalQuestionDatabase(), {{1, 1, 1, 0}}, exam);
    for (QWidget *window : {static_cast<QWidget *>(result), static_cast<QWidget *>(official),
                            static_cast<QWidget *>(review)}) {
        window->show();
        m_own.append(window);
    }
}

EveryWindow::~EveryWindow()
{
    for (const QPointer<QWidget> &window : m_own)
        delete window.data();
    if (HelpViewer *viewer = HelpViewer::instance())
        delete viewer;
}

QList<QWidget *> EveryWindow::windows() const
{
    QList<QWidget *> shown;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && !widget->inherits("QMenu"))
            shown.append(widget);
    }
    return shown;
}
