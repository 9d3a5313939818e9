#include "commandline.h"
#include "commands.h"
#include "console.h"
#include "serverconnection.h"
#include "serverschema.h"

#include <QCommandLineParser>

// dbv class init: the school administrator's one command for the classroom's
// server. It runs as a role that may create the schema (the database's owner).
int runClass(const QStringList &arguments, Console &console)
{
    QCommandLineParser parser;
    const QCommandLineOption host(QStringLiteral("host"), QString(), QStringLiteral("HOST"));
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("N"),
                                  QStringLiteral("5432"));
    const QCommandLineOption database(QStringLiteral("database"), QString(),
                                      QStringLiteral("NAME"));
    const QCommandLineOption role(QStringLiteral("role"), QString(), QStringLiteral("ROLE"));
    const QCommandLineOption learnerRole(QStringLiteral("learner-role"), QString(),
                                         QStringLiteral("ROLE"), QStringLiteral("zeltrak_pc"));
    const QCommandLineOption instructorRole(QStringLiteral("instructor-role"), QString(),
                                            QStringLiteral("ROLE"),
                                            QStringLiteral("zeltrak_instructor"));
    parser.addOptions({host, port, database, role, learnerRole, instructorRole});
    const int stop = parseCommandLine(parser, QStringLiteral("class"), arguments, 1, 1, console);
    if (stop >= 0)
        return stop;
    if (parser.positionalArguments().first() != u"init") {
        console.report(QStringLiteral("dbv class: unknown action '%1' (only 'init')")
                           .arg(parser.positionalArguments().first()));
        return DbvExit::UsageOrIoError;
    }
    bool portOk = false;
    const int portNumber = parser.value(port).toInt(&portOk);
    if (!parser.isSet(host) || !parser.isSet(database) || !portOk || portNumber < 1 ||
        portNumber > 65535) {
        console.report(QStringLiteral("dbv class init: --host and --database are required, "
                                      "--port is 1..65535"));
        console.report(commandUsage(QStringLiteral("class")).section(u'\n', 0, 0));
        return DbvExit::UsageOrIoError;
    }
    for (const QCommandLineOption &option : {learnerRole, instructorRole}) {
        if (!ServerSchema::isRoleName(parser.value(option))) {
            console.report(QStringLiteral("dbv class init: --%1 '%2': a role name here is "
                                          "letters, digits and '_'")
                               .arg(option.names().first(), parser.value(option)));
            return DbvExit::UsageOrIoError;
        }
    }

    ServerConnection connection(
        {parser.value(host), portNumber, parser.value(database), parser.value(role)});
    if (!connection.open()) {
        console.report(QStringLiteral("dbv class init: %1").arg(connection.errorMessage()));
        return DbvExit::UsageOrIoError;
    }
    QSqlDatabase db = connection.database();
    const int before = ServerSchema::version(db);
    if (const QString reason = ServerSchema::migrate(db); !reason.isEmpty()) {
        console.report(QStringLiteral("dbv class init: the schema: %1").arg(reason));
        return DbvExit::UsageOrIoError;
    }
    if (const QString reason =
            ServerSchema::grantRoles(db, parser.value(learnerRole), parser.value(instructorRole));
        !reason.isEmpty()) {
        console.report(QStringLiteral("dbv class init: the roles: %1").arg(reason));
        return DbvExit::UsageOrIoError;
    }
    console.print(
        QStringLiteral("schema zeltrak at version %1 (was %2); %3 may add rows, %4 may read them")
            .arg(ServerSchema::CurrentVersion)
            .arg(std::max(before, 0))
            .arg(parser.value(learnerRole), parser.value(instructorRole)));
    return DbvExit::Success;
}
