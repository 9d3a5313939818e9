#pragma once

#include "programpaths.h"

#include <QString>

#include <functional>

// Opening a question database into globalQuestionDatabase(), as the start-up
// and the settings menu do it.
namespace DatabaseOpening {

// How a database is opened and its title read. Tests wrap it to make an open
// fail (a readable file cannot be made unreadable for every user); an empty
// function restores QuestionDatabase's own open.
using Opener = std::function<QString(const QString &path)>;
void setOpener(Opener opener);

// Opens the database at `path` and returns its title. Throws what the open
// throws.
QString open(const QString &path);

// The folder the database dialogue starts in: the program folder on a first
// run; later the folder of the last database, else the home folder (the
// current folder holds only the progress file).
QString dialogStartFolder(const ProgramPaths &paths, bool firstRun, const QString &lastDatabase);

} // namespace DatabaseOpening
