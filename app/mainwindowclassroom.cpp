// The main window's part of the classroom: the sign-in of a classroom PC at
// start and by «Сменить ученика…», the background sync it starts, and
// «Класс…» in the settings menu, whose changes take effect at once.
#include "mainwindow.h"

#include "answerhistory.h"
#include "attemptwindow.h"
#include "classroomdialog.h"
#include "classroomsettings.h"
#include "classroomsignin.h"
#include "instructorwindow.h"
#include "learnerhistory.h"
#include "learnerwindow.h"
#include "messageboxes.h"
#include "programinfo.h"
#include "settingsmenu.h"
#include "settingsstore.h"
#include "signindialog.h"
#include "syncengine.h"
#include "topicsource.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

namespace {

const QString AttemptUnderWay =
    QStringLiteral("Сначала закончите попытку в окне экзамена: её ответы записываются в "
                   "историю того, кто её начал.");

ServerAddress learnerPcAddress(const ClassroomSettings &classroom)
{
    return {classroom.host, classroom.port, classroom.database, classroom.role};
}

// The classroom is on for this PC: learners sign in and their rows are synced.
bool isLearnerPc(const ClassroomSettings &classroom)
{
    return classroom.learnerPc && classroom.isComplete();
}

} // namespace

QString MainWindow::signInToClassroom(const ClassroomSettings &classroom)
{
    m_learnerName.clear();
    showLearnerInTitle();
    const ServerAddress address = learnerPcAddress(classroom);
    const QString root = ClassroomLearners::rootIn(m_statFolder);
    const ClassroomSignIn::ClassList list = ClassroomSignIn::fetchClassList(address, root);
    SignInDialog dialog(list.learners, list.error, this);
    if (dialog.exec() != QDialog::Accepted)
        return m_statFolder;
    const ClassroomLearner learner = dialog.learner();
    if (learner.id.isEmpty())
        return m_statFolder;
    const ClassroomSignIn::Result signedIn = ClassroomSignIn::signIn(address, root, learner);
    if (!signedIn.ok) {
        MessageBoxes::warning(this, QString::fromUtf8(ProgramInfo::MainCaption), signedIn.note);
        return m_statFolder;
    }
    m_learnerName = learner.name;
    showLearnerInTitle();
    // Every learner who signed in on this PC is synced, not only this one:
    // what an earlier learner answered offline goes as soon as it can. A
    // sync already running (the learner before) goes on as it is.
    if (!m_sync)
        startClassroomSync(classroom);
    return ClassroomLearners::folderOf(root, learner.id);
}

void MainWindow::startClassroomSync(const ClassroomSettings &classroom)
{
    // The engine under way, if any, finishes its round in the background.
    SyncEngine::retire(std::move(m_sync));
    m_sync = std::make_unique<SyncEngine>(learnerPcAddress(classroom),
                                          ClassroomLearners::rootIn(m_statFolder));
    m_sync->start();
}

void MainWindow::showLearnerInTitle()
{
    const QString caption = QString::fromUtf8(ProgramInfo::MainCaption);
    setWindowTitle(m_learnerName.isEmpty() ? caption
                                           : QStringLiteral("%1 — %2").arg(caption, m_learnerName));
}

bool MainWindow::refuseDuringAttempt()
{
    if (!m_examWindow || !m_examWindow->isVisible())
        return false;
    MessageBoxes::warning(this, QString::fromUtf8(ProgramInfo::MainCaption), AttemptUnderWay);
    return true;
}

void MainWindow::useHistoryIn(const QString &folder)
{
    // Not opened yet (the window has not painted): it opens there.
    if (!m_pendingHistoryFolder.isEmpty()) {
        m_pendingHistoryFolder = folder;
        return;
    }
    if (m_history->store() && m_history->store()->filePath() == AnswerHistory::filePathIn(folder))
        return;
    // The learner window holds what it read and fits memory weights for
    // the history it was made for: a new one is made for the next learner.
    const bool learnerWindowShown = m_learnerWindow && m_learnerWindow->isVisible();
    delete m_learnerWindow;
    m_learnerWindow = nullptr;
    m_returnToLearner = false;
    // The writes still waiting go into the learner's file before it closes.
    m_history->open(folder, m_databasePath);
    showHistoryMessage();
    if (learnerWindowShown)
        onLearnerClicked();
}

void MainWindow::onLearnerSwitchChosen()
{
    const ClassroomSettings classroom = m_settings->classroom();
    if (!isLearnerPc(classroom) || refuseDuringAttempt())
        return;
    // The learner who leaves is signed out whatever the next one chooses;
    // their rows not yet on the server stay queued and go with the next round.
    useHistoryIn(signInToClassroom(classroom));
    if (m_sync)
        m_sync->syncNow();
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
    const bool wasOn = isLearnerPc(before);
    const bool isOn = isLearnerPc(after);
    // Turning the classroom on or off changes whose history is recorded.
    if (wasOn != isOn && refuseDuringAttempt())
        return;
    try {
        m_settings->setClassroom(after);
    } catch (const SettingsError &error) {
        MessageBoxes::warning(this, QString::fromUtf8(ProgramInfo::MainCaption), error.message());
        return;
    }
    m_menu->setLearnerSwitchVisible(isOn);
    if (!wasOn && isOn) {
        useHistoryIn(signInToClassroom(after));
    } else if (wasOn && !isOn) {
        // A server that does not answer would hold the window for the
        // connection timeout.
        SyncEngine::retire(std::move(m_sync));
        m_learnerName.clear();
        showLearnerInTitle();
        useHistoryIn(m_statFolder);
    } else if (isOn && m_sync && learnerPcAddress(before) != learnerPcAddress(after)) {
        startClassroomSync(after);
    }
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
