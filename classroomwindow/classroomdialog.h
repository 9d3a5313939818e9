#pragma once

#include "classroomsettings.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// «Класс…»: where the school's classroom server is and whether this PC is
// one of the class's. The password is not asked for: it lives in the
// PostgreSQL password file, which the dialog names. «Проверить связь» tries
// the server as the learner PCs' role; «Инструктор…» opens the instructor's
// table.
class ClassroomDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ClassroomDialog(const ClassroomSettings &settings, QWidget *parent = nullptr);

    // What the fields hold now.
    ClassroomSettings settings() const;

signals:
    void instructorChosen(const ClassroomSettings &settings);

private:
    void checkConnection();

    QCheckBox *m_learnerPc = nullptr;
    QLineEdit *m_host = nullptr;
    QSpinBox *m_port = nullptr;
    QLineEdit *m_database = nullptr;
    QLineEdit *m_role = nullptr;
    QLineEdit *m_instructorRole = nullptr;
    QLabel *m_status = nullptr;
};
