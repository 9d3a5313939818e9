#include "demobuild.h"

#include <QGuiApplication>
#include <QTextStream>

// demogen POOL_FOLDER OUTPUT_FOLDER
// Writes the demo database source (tickets and pictures) for `dbv build`.
int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3) {
        err << "Использование: demogen ПАПКА_ПУЛА ПАПКА_ВЫВОДА\n";
        return 2;
    }
    QStringList messages;
    const bool ok = DemoBuild::run(arguments.at(1), arguments.at(2), messages);
    for (const QString &message : messages)
        err << "demogen: " << message << '\n';
    return ok ? 0 : 1;
}
