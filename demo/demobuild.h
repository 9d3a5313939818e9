#pragma once

#include <QString>
#include <QStringList>

// The whole demo build, as the demogen program runs it: read the pool,
// generate the picture questions, lay out the tickets and write the source
// folder. Messages (pool errors with file and line, what came from where)
// go to `messages`.
namespace DemoBuild {

inline const QString Title = QStringLiteral("Демонстрационные билеты. Категории A и B");

// Returns false when the pool has errors, the questions do not suffice or
// the folder cannot be written.
bool run(const QString &poolFolder, const QString &outputFolder, QStringList &messages);

} // namespace DemoBuild
