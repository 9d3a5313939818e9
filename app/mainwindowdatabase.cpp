// The main window's commands that change the open database: «Выбрать базу
// вопросов», «Импортировать билеты…» and «Недавние базы».
#include "mainwindow.h"

#include "filedialogs.h"
#include "importdialog.h"
#include "learnerhistory.h"
#include "messageboxes.h"
#include "questiondatabase.h"
#include "settingsstore.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>

namespace {

const QString Attention = QStringLiteral("Внимание!");
const QString NoDataFile = QStringLiteral("Нет файла с данными! Переустановите базу данных! ");
const QString SwitchFailure =
    QStringLiteral("Сбой базы вопросов, необходимо выбрать другую базу! ");

} // namespace

void MainWindow::onDatabaseChoiceChosen()
{
    databaseDialog().setDirectory(
        DatabaseOpening::dialogStartFolder(m_paths, false, m_databasePath));
    const QString chosen = FileDialogs::getOpenFileName(databaseDialog());
    if (!chosen.isEmpty())
        openDatabase(chosen);
}

bool MainWindow::openDatabase(const QString &path)
{
    const QFileInfo chosenFile(path);
    if (!chosenFile.isFile()) {
        MessageBoxes::warning(this, Attention, NoDataFile);
        return false;
    }
    QuestionDatabase &database = globalQuestionDatabase();
    const QString previous = m_databasePath;
    try {
        if (database.isOpen())
            database.closeDatabase();
        m_databaseTitle->setText(DatabaseOpening::open(path));
        m_databasePath = QDir::toNativeSeparators(chosenFile.absoluteFilePath());
        m_settings->setDatabasePath(m_databasePath);
        // A history still waiting for the first paint opens with this path.
        if (m_pendingHistoryFolder.isEmpty())
            m_history->setDatabase(m_databasePath);
        rememberRecentDatabase();
        return true;
    } catch (const std::exception &) {
        MessageBoxes::warning(this, Attention, SwitchFailure);
        // Go back to the database that was open, so that attempts keep
        // working until the user picks a good one.
        if (!database.isOpen() && !previous.isEmpty()) {
            try {
                m_databaseTitle->setText(DatabaseOpening::open(previous));
            } catch (const std::exception &) {
                m_databaseTitle->clear();
            }
        }
        return false;
    }
}

void MainWindow::onImportChosen()
{
    // The learner's own databases live in the data folder, away from the
    // installed demo and from wherever the tickets were downloaded to.
    ImportDialog dialog(QDir(m_paths.dataFolder).filePath(QStringLiteral("databases")), this);
    dialog.setFont(font());
    if (dialog.exec() == QDialog::Accepted)
        openDatabase(dialog.writtenPath());
}

void MainWindow::rememberRecentDatabase()
{
    if (m_databasePath.isEmpty())
        return;
    try {
        m_settings->addRecentDatabase(QDir::fromNativeSeparators(m_databasePath));
    } catch (const SettingsError &) {
        // The learner was told once that settings are not kept.
    }
}
