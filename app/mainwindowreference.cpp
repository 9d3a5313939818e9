// The main window's way into «Справочник»: the open database's reference,
// read from the file beside it, and its window, opened from the settings
// menu (Ctrl+R), the learner window and the links of a comment.
#include "mainwindow.h"

#include "referencefile.h"
#include "referencewindow.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>

const Reference *MainWindow::reference()
{
    // Read anew when the database or the file beside it changed (an import
    // over the same database writes a new one).
    const QString path = ReferenceFile::pathFor(m_databasePath);
    const QFileInfo file(path);
    const QString stamp = QStringLiteral("%1\n%2\n%3")
                              .arg(path)
                              .arg(file.exists() ? file.lastModified().toMSecsSinceEpoch() : -1)
                              .arg(file.size());
    if (m_referenceFor != stamp) {
        m_referenceFor = stamp;
        m_reference = Reference();
        // A reference that cannot be read is as none: the window then says
        // where one comes from, and `dbv check` names the fault.
        QStringList problems;
        if (!m_databasePath.isEmpty()) {
            if (std::optional<Reference> read = ReferenceFile::read(path, &problems))
                m_reference = *read;
        }
        if (m_referenceWindow)
            m_referenceWindow->setReference(m_reference);
    }
    return m_reference.isEmpty() ? nullptr : &m_reference;
}

void MainWindow::ensureReferenceWindow()
{
    if (!m_referenceWindow) {
        // A window of its own (like the learner window): it stays open
        // beside an attempt while the main window is hidden.
        m_referenceWindow = new ReferenceWindow(this);
        m_referenceWindow->setWindowFlag(Qt::Window);
        m_referenceFor.clear(); // read anew below
    }
    reference();
}

void MainWindow::onReferenceChosen()
{
    ensureReferenceWindow();
    m_referenceWindow->show();
    m_referenceWindow->raise();
    m_referenceWindow->activateWindow();
}

void MainWindow::openReferenceEntry(ReferenceKind kind, const QString &number)
{
    ensureReferenceWindow();
    // From the review of mistakes, itself modal, the reference opens above
    // it and takes input; elsewhere it stays beside the attempt, not modal.
    const Qt::WindowModality modality =
        QApplication::activeModalWidget() && QApplication::activeModalWidget() != m_referenceWindow
            ? Qt::ApplicationModal
            : Qt::NonModal;
    if (m_referenceWindow->windowModality() != modality) {
        m_referenceWindow->hide();
        m_referenceWindow->setWindowModality(modality);
    }
    if (!m_referenceWindow->showEntry(kind, number))
        onReferenceChosen();
}
