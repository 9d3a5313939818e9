// Takes the pictures of the program that its AppStream description shows:
// the main window over the demo database on a first run, and learning
// ticket 1 at its first question. Each is the window as drawn, saved as PNG.
//
//   zeltrak_screenshots DEMO_DATABASE OUT_FOLDER
//
// Run offscreen (QT_QPA_PLATFORM=offscreen) by scripts/screenshots.sh. The
// settings and the progress live in a temporary folder for the one run.
#include "mainwindow.h"
#include "messageboxes.h"
#include "program.h"
#include "zeltrakapplication.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>

namespace {

// Lets the windows lay out and paint.
void settle()
{
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
}

bool save(QWidget *window, const QString &file)
{
    settle();
    const bool saved = window->grab().save(file, "PNG");
    QTextStream(stdout) << (saved ? "wrote " : "could not write ") << file << '\n';
    return saved;
}

} // namespace

int main(int argc, char *argv[])
{
    ZeltrakApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        QTextStream(stderr) << "usage: zeltrak_screenshots DEMO_DATABASE OUT_FOLDER\n";
        return 2;
    }
    const QFileInfo database(arguments.at(1));
    // Absolute: the start-up sequence changes the current folder.
    const QDir out(QFileInfo(arguments.at(2)).absoluteFilePath());
    QTemporaryDir sandbox;
    if (!database.isFile() || !out.exists() || !sandbox.isValid()) {
        QTextStream(stderr) << "no database at " << database.filePath() << " or no folder "
                            << out.path() << '\n';
        return 2;
    }
    // A first run that finds the demo database where an installed program
    // would. It asks nothing; should it, the box is answered without waiting
    // and the run fails, naming it.
    ProgramPaths paths;
    paths.programFolder = sandbox.filePath(QStringLiteral("program"));
    paths.settingsLocation = sandbox.filePath(QStringLiteral("config/Kiv.conf"));
    paths.databaseFolders = {database.absolutePath()};
    paths.dataFolder = sandbox.filePath(QStringLiteral("data"));
    paths.installed = true;
    QDir().mkpath(paths.programFolder);
    MessageBoxes::setNextAnswers(QList<MessageBoxes::Button>(8, QMessageBox::Ok));

    // The first run greets the learner with the splash window; it is
    // closed as a click would close it. Any other dialog fails the run.
    bool unexpectedDialog = false;
    QTimer dialogCloser;
    dialogCloser.setInterval(50);
    QObject::connect(&dialogCloser, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (dialog->objectName() != QLatin1String("Form6")) {
            QTextStream(stderr) << "unexpected dialog " << dialog->objectName() << '\n';
            unexpectedDialog = true;
        }
        dialog->reject();
    });
    dialogCloser.start();

    ZeltrakProgram program(paths);
    if (program.startupFailed())
        return 1;
    MainWindow *main = program.mainWindow();
    main->show();
    bool saved = save(main, out.filePath(QStringLiteral("main.png")));

    auto *tickets = main->findChild<QListWidget *>(QStringLiteral("ListView1"));
    auto *learning = main->findChild<QPushButton *>(QStringLiteral("BitBtn1"));
    if (!tickets || !learning)
        return 1;
    tickets->setCurrentRow(0);
    learning->click();
    saved = save(program.examWindow(), out.filePath(QStringLiteral("learning.png"))) && saved;
    for (const MessageBoxes::Shown &box : MessageBoxes::shown()) {
        QTextStream(stderr) << "the program said: " << box.caption << ": " << box.text << '\n';
        saved = false;
    }
    return saved && !unexpectedDialog ? 0 : 1;
}
