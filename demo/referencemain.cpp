#include "demoreference.h"
#include "referencefile.h"

#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>

// demoreference OUTPUT.reference.json
// Writes the demo database's reference of signs and markings.
int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 2) {
        err << "Использование: demoreference ФАЙЛ.reference.json\n";
        return 2;
    }
    const Reference reference = DemoReference::build();
    QSaveFile file(arguments.at(1));
    if (!file.open(QIODevice::WriteOnly) || file.write(ReferenceFile::toJson(reference)) < 0 ||
        !file.commit()) {
        err << "demoreference: " << arguments.at(1) << ": " << file.errorString() << '\n';
        return 1;
    }
    err << "demoreference: знаков " << reference.entryCount(ReferenceKind::Sign) << ", разметки "
        << reference.entryCount(ReferenceKind::Marking) << '\n';
    return 0;
}
