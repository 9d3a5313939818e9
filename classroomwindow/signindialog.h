#pragma once

#include "classroomlearners.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// «Кто учится?»: at the start of a classroom PC, the learner picks their
// name from the class list or types it (once: from then on it is on the
// list). No password: the school's PC is the boundary.
class SignInDialog : public QDialog
{
    Q_OBJECT
public:
    // `note`: why the server's list is missing, shown under the list; empty
    // when it is there.
    SignInDialog(const QList<ClassroomLearner> &learners, const QString &note,
                 QWidget *parent = nullptr);

    // The learner chosen or typed; valid once the dialog was accepted.
    ClassroomLearner learner() const;

private:
    void onSelectionChanged();
    void onNameEdited();

    QList<ClassroomLearner> m_learners;
    QListWidget *m_list = nullptr;
    QLineEdit *m_name = nullptr;
    QPushButton *m_signIn = nullptr;
};
