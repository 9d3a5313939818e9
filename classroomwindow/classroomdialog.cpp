#include "classroomdialog.h"

#include "serverconnection.h"
#include "serverschema.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QVBoxLayout>

ClassroomDialog::ClassroomDialog(const ClassroomSettings &settings, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ClassroomDialog"));
    setWindowTitle(QStringLiteral("Класс"));
    auto *layout = new QVBoxLayout(this);
    m_learnerPc = new QCheckBox(QStringLiteral("Компьютер учебного класса"), this);
    m_learnerPc->setObjectName(QStringLiteral("learnerPcBox"));
    m_learnerPc->setToolTip(QStringLiteral(
        "Ученики входят под своим именем, у каждого своя история ответов; ответы отправляются "
        "на сервер класса, а при входе на другом компьютере история приходит с сервера."));
    m_learnerPc->setChecked(settings.learnerPc);
    layout->addWidget(m_learnerPc);

    auto *form = new QFormLayout;
    const auto field = [this, form](const char *name, const QString &label, const QString &value) {
        auto *edit = new QLineEdit(value, this);
        edit->setObjectName(QString::fromLatin1(name));
        form->addRow(label, edit);
        return edit;
    };
    m_host = field("serverHost", QStringLiteral("Сервер:"), settings.host);
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("serverPort"));
    m_port->setRange(1, 65535);
    m_port->setValue(settings.port);
    form->addRow(QStringLiteral("Порт:"), m_port);
    m_database = field("serverDatabase", QStringLiteral("База данных:"), settings.database);
    m_role = field("serverRole", QStringLiteral("Роль компьютеров класса:"), settings.role);
    m_instructorRole =
        field("instructorRole", QStringLiteral("Роль инструктора:"), settings.instructorRole);
    layout->addLayout(form);

    auto *password = new QLabel(
        QStringLiteral("Пароли ролей программа не хранит: их берёт из файла паролей PostgreSQL "
                       "(~/.pgpass, в Windows — %APPDATA%\\postgresql\\pgpass.conf)."),
        this);
    password->setWordWrap(true);
    layout->addWidget(password);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("connectionStatus"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("classroomOk"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Сохранить"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("classroomCancel"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    QPushButton *check =
        buttons->addButton(QStringLiteral("Проверить связь"), QDialogButtonBox::ActionRole);
    check->setObjectName(QStringLiteral("checkConnectionButton"));
    QPushButton *instructor =
        buttons->addButton(QStringLiteral("Инструктор…"), QDialogButtonBox::ActionRole);
    instructor->setObjectName(QStringLiteral("instructorButton"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(check, &QPushButton::clicked, this, &ClassroomDialog::checkConnection);
    connect(instructor, &QPushButton::clicked, this,
            [this] { emit instructorChosen(this->settings()); });
}

ClassroomSettings ClassroomDialog::settings() const
{
    ClassroomSettings values;
    values.learnerPc = m_learnerPc->isChecked();
    values.host = m_host->text().trimmed();
    values.port = m_port->value();
    values.database = m_database->text().trimmed();
    values.role = m_role->text().trimmed();
    values.instructorRole = m_instructorRole->text().trimmed();
    return values;
}

void ClassroomDialog::checkConnection()
{
    const ClassroomSettings values = settings();
    if (!values.isComplete()) {
        m_status->setText(QStringLiteral("Укажите сервер, базу данных и роль компьютеров класса."));
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ServerConnection server({values.host, values.port, values.database, values.role});
    QString text;
    if (!server.open()) {
        text = server.errorMessage();
    } else {
        QSqlDatabase db = server.database();
        const int version = ServerSchema::version(db);
        text = version == ServerSchema::CurrentVersion
                   ? QStringLiteral("Связь с сервером класса есть.")
                   : QStringLiteral("Связь есть, но схема на сервере не подготовлена: "
                                    "администратору нужно выполнить «dbv class init».");
    }
    QGuiApplication::restoreOverrideCursor();
    m_status->setText(text);
}
