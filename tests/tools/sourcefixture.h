#pragma once

#include "databasesource.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Fixtures for the dbv tests: the synthetic database in source form and an
// in-process run of dbv.
namespace SourceFixture {

// The synthetic 40 x 20 set as a source.
DatabaseSource syntheticSource();
// Writes a complete, valid source folder.
void writeSource(const QString &folder, const DatabaseSource &source = syntheticSource());
// Replaces everything before "question 2" in ticket01.txt by `firstQuestion`,
// so that its lines are numbered from 1.
void replaceFirstQuestion(const QString &folder, const QByteArray &firstQuestion);

void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

struct Result
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};
// Runs dbv in-process with `arguments`.
Result dbv(const QStringList &arguments);

} // namespace SourceFixture
