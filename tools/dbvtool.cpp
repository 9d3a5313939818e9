#include "dbvtool.h"

#include "commandline.h"
#include "commands.h"
#include "console.h"

#include <functional>
#include <map>

int runDbv(const QStringList &arguments, QIODevice &out, QIODevice &err, bool errIsTerminal)
{
    Console console(out, err);
    console.setTerminal(errIsTerminal);
    if (arguments.isEmpty()) {
        console.report(dbvUsage());
        return DbvExit::UsageOrIoError;
    }

    const QString command = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (command == u"-h" || command == u"--help") {
        console.print(dbvUsage());
        return DbvExit::Success;
    }
    if (command == u"--version") {
        console.print(QStringLiteral("dbv " ZELTRAK_VERSION));
        return DbvExit::Success;
    }
    if (command == u"help") {
        if (rest.isEmpty()) {
            console.print(dbvUsage());
            return DbvExit::Success;
        }
        const QString usage = commandUsage(rest.first());
        if (rest.size() > 1 || usage.isEmpty()) {
            console.report(QStringLiteral("dbv help: unknown command '%1'").arg(rest.join(u' ')));
            return DbvExit::UsageOrIoError;
        }
        console.print(usage);
        return DbvExit::Success;
    }

    using Command = std::function<int(const QStringList &, Console &)>;
    static const std::map<QString, Command> commands = {
        {QStringLiteral("build"), runBuild},   {QStringLiteral("check"), runCheck},
        {QStringLiteral("dump"), runDump},     {QStringLiteral("extract"), runExtract},
        {QStringLiteral("import"), runImport}, {QStringLiteral("lint"), runLint},
        {QStringLiteral("stat"), runStat},     {QStringLiteral("class"), runClass},
    };
    const auto found = commands.find(command);
    if (found == commands.end()) {
        console.report(QStringLiteral("dbv: unknown command '%1'").arg(command));
        console.report(QStringLiteral("Try 'dbv --help'."));
        return DbvExit::UsageOrIoError;
    }
    return found->second(rest, console);
}
