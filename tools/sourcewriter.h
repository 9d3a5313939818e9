#pragma once

#include "databasesource.h"

#include <QString>

// Writes a database in source form into a folder: title.txt, the 40 ticket
// files (UTF-8, LF line ends) and the pictures. Pictures with the same bytes
// are written once and shared; they are named after the first question that
// shows them ("t01-q03.jpg").
class SourceWriter
{
public:
    explicit SourceWriter(const QString &folder);

    // Creates the folder if needed. Returns false on an input/output failure,
    // with error() saying which file and why.
    bool write(const DatabaseSource &source);
    QString error() const { return m_error; }

    // The name the writer gives to the picture first seen at question a.
    static QString pictureName(int absoluteNumber);

private:
    bool writeFile(const QString &name, const QByteArray &bytes);

    QString m_folder;
    QString m_error;
};
