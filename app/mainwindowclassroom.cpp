// The main window's part of the classroom: the sign-in of a classroom PC at
// start, the background sync it starts, and «Класс…» in the settings menu.
#include "mainwindow.h"

#include "classroomdialog.h"
#include "classroomsettings.h"
#include "classroomsignin.h"
#include "instructorwindow.h"
#include "learnerhistory.h"
#include "learnerwindow.h"
#include "messageboxes.h"
#include "programinfo.h"
#include "settingsstore.h"
#include "signindialog.h"
#include "syncengine.h"
#include "topicsource.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

namespace {

ServerAddress learnerPcAddress(const ClassroomSettings &classroom)
{
    return {classroom.host, classroom.port, classroom.database, classroom.role};
}

} // namespace

QString MainWindow::signInToClassroom(const ClassroomSettings &classroom, const QString &statFolder)
{
    const ServerAddress address = learnerPcAddress(classroom);
    const QString root = ClassroomLearners::rootIn(statFolder);
    const ClassroomSignIn::ClassList list = ClassroomSignIn::fetchClassList(address, root);
    SignInDialog dialog(list.learners, list.error, this);
    if (dialog.exec() != QDialog::Accepted)
        return statFolder;
    const ClassroomLearner learner = dialog.learner();
    if (learner.id.isEmpty())
        return statFolder;
    const ClassroomSignIn::Result signedIn = ClassroomSignIn::signIn(address, root, learner);
    if (!signedIn.ok) {
        MessageBoxes::warning(this, QString::fromUtf8(ProgramInfo::MainCaption), signedIn.note);
        return statFolder;
    }
    m_learnerName = learner.name;
    setWindowTitle(
        QStringLiteral("%1 — %2").arg(QString::fromUtf8(ProgramInfo::MainCaption), m_learnerName));
    // Every learner who signed in on this PC is synced, not only this one:
    // what an earlier learner answered offline goes as soon as it can.
    m_sync = std::make_unique<SyncEngine>(address, root);
    m_sync->start();
    return ClassroomLearners::folderOf(root, learner.id);
}

void MainWindow::onClassroomChosen()
{
    const ClassroomSettings before = m_settings->classroom();
    ClassroomDialog dialog(before, this);
    connect(&dialog, &ClassroomDialog::instructorChosen, this, &MainWindow::openInstructorWindow);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const ClassroomSettings after = dialog.settings();
    if (after == before)
        return;
    try {
        m_settings->setClassroom(after);
    } catch (const SettingsError &error) {
        MessageBoxes::warning(this, QString::fromUtf8(ProgramInfo::MainCaption), error.message());
        return;
    }
    MessageBoxes::information(this, QString::fromUtf8(ProgramInfo::MainCaption),
                              QStringLiteral("Настройки класса сохранены. Они вступят в силу "
                                             "при следующем запуске программы."));
}

InstructorWindow *MainWindow::instructorWindow() const
{
    return m_instructorWindow;
}

LearnerWindow *MainWindow::viewedLearnerWindow() const
{
    return m_viewedWindow;
}

void MainWindow::openInstructorWindow(const ClassroomSettings &classroom)
{
    if (classroom.host.isEmpty() || classroom.database.isEmpty() ||
        classroom.instructorRole.isEmpty()) {
        MessageBoxes::information(
            this, QString::fromUtf8(ProgramInfo::MainCaption),
            QStringLiteral("Укажите сервер, базу данных и роль инструктора."));
        return;
    }
    m_instructorSettings = std::make_unique<ClassroomSettings>(classroom);
    if (!m_instructorWindow) {
        m_instructorWindow = new InstructorWindow(this);
        m_instructorWindow->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_instructorWindow, &InstructorWindow::refreshRequested, this,
                &MainWindow::refreshInstructorWindow);
        connect(m_instructorWindow, &InstructorWindow::learnerOpened, this,
                &MainWindow::openViewedLearner);
        connect(m_instructorWindow, &QObject::destroyed, this, [this] {
            if (m_viewedWindow)
                m_viewedWindow->deleteLater();
            m_viewedHistory.reset();
            m_instructorFolder.reset();
        });
    }
    refreshInstructorWindow();
    m_instructorWindow->show();
    m_instructorWindow->raise();
}

void MainWindow::refreshInstructorWindow()
{
    if (!m_instructorWindow || !m_instructorSettings)
        return;
    if (m_viewedWindow)
        m_viewedWindow->close();
    m_viewedHistory.reset();
    // Pulled afresh each time: the folder holds only what the server said now.
    m_instructorFolder = std::make_unique<QTemporaryDir>();
    const ClassroomSettings &classroom = *m_instructorSettings;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const InstructorReport::Result report = InstructorReport::build(
        {classroom.host, classroom.port, classroom.database, classroom.instructorRole},
        m_instructorFolder->path(), m_databasePath, history().model(),
        loadTopicsFor(m_databasePath).topics, QDateTime::currentDateTimeUtc());
    QGuiApplication::restoreOverrideCursor();
    m_instructorWindow->setRows(report.rows, report.error);
}

void MainWindow::openViewedLearner(const InstructorRow &row)
{
    if (m_viewedWindow)
        delete m_viewedWindow;
    m_viewedHistory = std::make_unique<LearnerHistory>();
    m_viewedHistory->open(QFileInfo(row.historyPath).path(), m_databasePath);
    m_viewedWindow = new LearnerWindow(*m_viewedHistory, m_instructorWindow);
    m_viewedWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_viewedWindow->setWindowTitle(QStringLiteral("%1 — %2 (только просмотр)")
                                       .arg(m_viewedWindow->windowTitle(), row.learner.name));
    m_viewedWindow->setReadOnly(true);
    m_viewedWindow->show();
}
