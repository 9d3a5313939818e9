#include "serverconnection.h"

#include <QUuid>

namespace {

// What libpq says when the way to the server is gone, as opposed to the
// server refusing something: the server stopped or restarted, the network
// cut, a socket reset half-way through a transaction. The wording depends on
// the moment the connection broke (before the query was sent, while waiting
// for the answer, over TLS), so every form is listed.
bool saysConnectionLost(const QString &text)
{
    static const char *const forms[] = {
        "could not connect",          "connection refused",
        "timeout",                    "timed out",
        "could not translate host name", "server closed the connection",
        "terminating connection",     "no connection",
        "connection to server",       "could not receive data from server",
        "could not send data to server", "connection reset",
        "broken pipe",                "eof detected",
        "the database system is shutting down", "the database system is starting up",
    };
    for (const char *form : forms) {
        if (text.contains(QLatin1String(form), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

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
    if (saysConnectionLost(text))
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
    return !db.isOpen() || saysConnectionLost(text);
}
