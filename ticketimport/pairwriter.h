#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Puts a database and its topics file in place together: both are written
// in full to temporary files in the destination folder first (a full disk
// fails there, with nothing changed), then renamed into place; should a
// rename fail, what was there before is put back. An empty topics file
// means the database has none: a topics file left from before is removed
// with the same care, as it would describe other questions. The same holds
// for any further file beside the database (its reference).
namespace PairWriter {

struct Output
{
    QString path;
    QByteArray bytes; // empty: no such file; one left from before goes
};

// The first output is the database, always written; the others follow the
// rule of the topics file.
bool writeAll(const QList<Output> &outputs, QString *error);

bool write(const QString &databasePath, const QByteArray &database, const QString &topicsPath,
           const QByteArray &topicsJson, QString *error);

} // namespace PairWriter
