#pragma once

#include "ticketimport.h"

#include <QDialog>
#include <QFutureWatcher>

#include <atomic>

class QFileDialog;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QRadioButton;

// «Импортировать билеты»: the learner points at a folder or an archive of
// tickets in the common open JSON layout, chooses a category the source
// holds, and may change the proposed title. The import runs off the GUI
// thread behind a progress dialog that can cancel it; its faults are shown
// in full. On success the dialog is accepted and writtenPath() names the new
// database, in `databasesFolder` under a name made from the title.
class ImportDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ImportDialog(const QString &databasesFolder, QWidget *parent = nullptr);
    ~ImportDialog() override;

    QString writtenPath() const { return m_writtenPath; }

    // "Экзаменационные билеты ПДД. Категории A, B" -> "Экзаменационные
    // билеты ПДД. Категории A, B.dbv": characters no file system takes are
    // dropped, and the name never starts or ends with a space or a dot.
    static QString fileNameFor(const QString &title);

private:
    void chooseFolder();
    void chooseArchive();
    void setSource(const QString &path);
    void onCategoryChosen();
    void start();
    void showProgress(const TicketImport::Progress &progress);
    void onFinished();
    // After a written import: how much of the source's reference was
    // imported and, when something was left out, the reference's warnings.
    void reportReference(const TicketImport::Summary &summary);
    QString category() const;

    QString m_databasesFolder;
    QString m_source;
    QString m_output;
    QString m_writtenPath;
    bool m_titleEdited = false;

    QLineEdit *m_sourceEdit = nullptr;
    QLabel *m_sourceStatus = nullptr;
    QRadioButton *m_categoryAB = nullptr;
    QRadioButton *m_categoryCD = nullptr;
    QLineEdit *m_title = nullptr;
    QPushButton *m_startButton = nullptr;
    QFileDialog *m_folderDialog = nullptr;
    QFileDialog *m_archiveDialog = nullptr;
    QProgressDialog *m_progress = nullptr;

    std::atomic<bool> m_cancel = false;
    QFutureWatcher<TicketImport::Result> m_watcher;
};
