#include "program.h"
#include "scaleatstartup.h"
#include "zeltrakapplication.h"

#include <QProcess>

int main(int argc, char *argv[])
{
    ScaleAtStartup::apply(argc, argv);
    ZeltrakApplication app(argc, argv);
    QString restartProgram;
    QStringList restartArguments;
    int code = 0;
    {
        ZeltrakProgram program;
        code = program.run();
        if (program.restartRequested()) {
            restartProgram = QCoreApplication::applicationFilePath();
            restartArguments = QCoreApplication::arguments().mid(1);
        }
    }
    // Started once this copy has let go of its progress file.
    if (!restartProgram.isEmpty())
        QProcess::startDetached(restartProgram, restartArguments);
    return code;
}
