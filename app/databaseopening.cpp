#include "databaseopening.h"

#include "questiondatabase.h"

#include <QDir>
#include <QFileInfo>

namespace DatabaseOpening {

namespace {

Opener &currentOpener()
{
    static Opener opener;
    return opener;
}

} // namespace

void setOpener(Opener opener)
{
    currentOpener() = std::move(opener);
}

QString open(const QString &path)
{
    if (currentOpener())
        return currentOpener()(path);
    return globalQuestionDatabase().openDatabase(path);
}

QString dialogStartFolder(const ProgramPaths &paths, bool firstRun, const QString &lastDatabase)
{
    if (firstRun)
        return paths.programFolder;
    const QFileInfo last(lastDatabase);
    if (!lastDatabase.isEmpty() && last.dir().exists())
        return last.absolutePath();
    return QDir::homePath();
}

} // namespace DatabaseOpening
