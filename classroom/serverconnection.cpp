#include "serverconnection.h"

#include <QUuid>

ServerConnection::ServerConnection(const ServerAddress &address)
    : m_address(address), m_connectionName(QStringLiteral("zeltrak-classroom-") +
                                           QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

ServerConnection::~ServerConnection()
{
    close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase ServerConnection::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

bool ServerConnection::isOpen() const
{
    return database().isOpen();
}

void ServerConnection::close()
{
    if (QSqlDatabase::contains(m_connectionName))
        database().close();
}

bool ServerConnection::open()
{
    if (!QSqlDatabase::contains(m_connectionName)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connectionName);
        if (!db.isValid()) {
            m_errorMessage = QStringLiteral(
                "Драйвер PostgreSQL для Qt не установлен (пакет libqt6sql6-psql): программа "
                "работает без сервера класса.");
            return false;
        }
        db.setHostName(m_address.host);
        db.setPort(m_address.port);
        db.setDatabaseName(m_address.database);
        db.setUserName(m_address.role);
        db.setConnectOptions(QStringLiteral("connect_timeout=%1;application_name=zeltrak")
                                 .arg(ConnectTimeoutSeconds));
    }
    QSqlDatabase db = database();
    if (db.isOpen())
        return true;
    if (!db.isValid()) {
        m_errorMessage = QStringLiteral("Драйвер PostgreSQL для Qt не установлен (пакет "
                                        "libqt6sql6-psql): программа работает без сервера класса.");
        return false;
    }
    if (!db.open()) {
        m_errorMessage = describe(db.lastError(), m_address);
        db.close();
        return false;
    }
    m_errorMessage.clear();
    return true;
}

QString ServerConnection::fail(const QSqlError &error)
{
    m_errorMessage = describe(error, m_address);
    return m_errorMessage;
}

QString ServerConnection::describe(const QSqlError &error, const ServerAddress &address)
{
    const QString text = error.databaseText() + QLatin1Char(' ') + error.driverText();
    const QString where = QStringLiteral("%1:%2").arg(address.host).arg(address.port);
    const auto has = [&text](const char *part) {
        return text.contains(QLatin1String(part), Qt::CaseInsensitive);
    };
    if (has("password authentication failed") || has("no password supplied") ||
        has("authentication failed"))
        return QStringLiteral(
                   "Сервер класса (%1) не принял роль «%2»: пароль неверен или его нет в файле "
                   "паролей PostgreSQL (~/.pgpass). Ответы сохраняются на этом компьютере.")
            .arg(where, address.role);
    if (has("no pg_hba.conf entry"))
        return QStringLiteral("Сервер класса (%1) не разрешает вход с этого компьютера: "
                              "администратору нужно добавить строку в pg_hba.conf. Ответы "
                              "сохраняются на этом компьютере.")
            .arg(where);
    if (has("database") && has("does not exist"))
        return QStringLiteral("На сервере класса (%1) нет базы данных «%2».")
            .arg(where, address.database);
    if (has("role") && has("does not exist"))
        return QStringLiteral("На сервере класса (%1) нет роли «%2».").arg(where, address.role);
    if (has("permission denied"))
        return QStringLiteral("Роли «%1» не хватает прав на сервере класса (%2): администратору "
                              "нужно выполнить «dbv class init».")
            .arg(address.role, where);
    if (has("could not connect") || has("connection refused") || has("timeout") ||
        has("could not translate host name") || has("server closed the connection") ||
        has("terminating connection") || has("no connection") || has("connection to server"))
        return QStringLiteral("Сервер класса (%1) недоступен. Ответы сохраняются на этом "
                              "компьютере и будут отправлены, когда он появится.")
            .arg(where);
    return QStringLiteral("Сервер класса (%1) сообщил об ошибке: %2")
        .arg(where, error.text().simplified());
}

bool ServerConnection::isConnectionLost(const QSqlError &error, const QSqlDatabase &db)
{
    if (error.type() == QSqlError::ConnectionError)
        return true;
    const QString text = error.databaseText() + QLatin1Char(' ') + error.driverText();
    // SQLSTATE class 08 (connection exception) and 57P01..57P03 (the server
    // shutting down or starting) come without a code when the socket broke.
    const QString code = error.nativeErrorCode();
    if (code.startsWith(QLatin1String("08")) || code.startsWith(QLatin1String("57P")))
        return true;
    return !db.isOpen() || text.contains(QLatin1String("server closed the connection")) ||
           text.contains(QLatin1String("no connection to the server")) ||
           text.contains(QLatin1String("terminating connection"));
}
