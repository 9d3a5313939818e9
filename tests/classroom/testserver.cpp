#include "testserver.h"

#include "serverschema.h"

#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

QString infoValue(const QString &key)
{
    QFile file(qEnvironmentVariable("ZELTRAK_PG_INFO"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line);
        if (text.startsWith(key + QLatin1Char('=')))
            return text.mid(key.size() + 1);
    }
    return {};
}

bool runScript(const QString &action)
{
    const int code = QProcess::execute(qEnvironmentVariable("ZELTRAK_PG_SCRIPT"),
                                       {action, qEnvironmentVariable("ZELTRAK_PG_INFO")});
    return code == 0;
}

} // namespace

QString TestServer::skipReason()
{
    if (qEnvironmentVariableIsEmpty("ZELTRAK_PG_INFO"))
        return QStringLiteral("ZELTRAK_PG_INFO is not set: run this test through ctest, whose "
                              "fixture starts the PostgreSQL server");
    if (const QString why = infoValue(QStringLiteral("unavailable")); !why.isEmpty())
        return why;
    if (infoValue(QStringLiteral("port")).isEmpty())
        return QStringLiteral("the PostgreSQL fixture did not start a server");
    qputenv("PGPASSFILE", infoValue(QStringLiteral("pgpass")).toLocal8Bit());
    return {};
}

ServerAddress TestServer::address(const QString &role, const QString &database)
{
    return {QStringLiteral("127.0.0.1"), infoValue(QStringLiteral("port")).toInt(), database, role};
}

QString TestServer::freshDatabase(const QString &name, bool initialize)
{
    {
        ServerConnection admin(address(AdminRole, QStringLiteral("postgres")));
        if (!admin.open())
            qFatal("admin connection: %s", qPrintable(admin.errorMessage()));
        QSqlQuery query(admin.database());
        query.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
        if (!query.exec(QStringLiteral("CREATE DATABASE %1").arg(name)))
            qFatal("create database: %s", qPrintable(query.lastError().text()));
    }
    if (initialize) {
        ServerConnection admin(address(AdminRole, name));
        if (!admin.open())
            qFatal("admin connection: %s", qPrintable(admin.errorMessage()));
        QSqlDatabase db = admin.database();
        QString reason = ServerSchema::migrate(db);
        if (reason.isEmpty())
            reason = ServerSchema::grantRoles(db, PcRole, InstructorRole);
        if (!reason.isEmpty())
            qFatal("init: %s", qPrintable(reason));
    }
    return name;
}

bool TestServer::halt()
{
    return runScript(QStringLiteral("halt"));
}

bool TestServer::resume()
{
    return runScript(QStringLiteral("resume"));
}

QVariant TestServer::scalar(const QString &role, const QString &database, const QString &sql,
                            QString *error)
{
    ServerConnection connection(address(role, database));
    if (!connection.open()) {
        if (error)
            *error = connection.errorMessage();
        return {};
    }
    QSqlQuery query(connection.database());
    if (!query.exec(sql)) {
        if (error)
            *error = query.lastError().text();
        return {};
    }
    if (!query.next())
        return QVariant(QStringLiteral("(no rows)"));
    return query.value(0);
}
