#pragma once

#include <QByteArray>
#include <QString>

// Puts a database and its topics file in place together: both are written
// in full to temporary files in the destination folder first (a full disk
// fails there, with nothing changed), then renamed into place; should a
// rename fail, what was there before is put back. An empty topics file
// means the database has none: a topics file left from before is removed
// with the same care, as it would describe other questions.
namespace PairWriter {

bool write(const QString &databasePath, const QByteArray &database, const QString &topicsPath,
           const QByteArray &topicsJson, QString *error);

} // namespace PairWriter
