#pragma once

#include "databasesource.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

// A problem found in a source folder, at a file and (when known) a line.
struct SourceProblem
{
    QString file; // path as given, folder included
    int line = 0; // 1-based; 0 when the problem concerns the whole file
    QString message;

    // "FILE:LINE: message" or "FILE: message", as compilers report.
    QString toString() const;
};

// Reads and validates the source form of a database (see
// docs/database-source.md). Every problem is collected, not only the first,
// so that an author can mend them all in one go.
class SourceReader
{
public:
    explicit SourceReader(const QString &folder);

    // Reads the whole folder. The result is complete and valid only when
    // problems() is empty.
    DatabaseSource read();
    const QList<SourceProblem> &problems() const { return m_problems; }

private:
    struct PendingQuestion;

    void readTitle(DatabaseSource &source);
    void readTicket(int ticket, DatabaseSource &source);
    void handleLine(PendingQuestion &pending, const QString &keyword, const QString &value,
                    const QString &file, int line);
    void finishQuestion(PendingQuestion &pending, int ticket, const QString &file,
                        DatabaseSource &source);
    // The lines of a UTF-8 text file (BOM and CR of CR LF removed). Lines
    // that are not UTF-8 are reported, decoded as well as possible and
    // remembered, so that their values are not reported again.
    bool readLines(const QString &name, QStringList &lines);
    // Reports characters that cannot be stored; true if the value is fine.
    bool checkStorable(const QString &value, const QString &file, int line);
    QByteArray picture(const QString &name, const QString &file, int line);
    void problem(const QString &file, int line, const QString &message);
    QString path(const QString &name) const;

    QString m_folder;
    QList<SourceProblem> m_problems;
    QSet<int> m_badLines; // lines of the current file that are not UTF-8
    QHash<QString, QByteArray> m_pictures;
    QHash<QString, QString> m_pictureErrors;
};
