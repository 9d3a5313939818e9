#pragma once

#include "demoquestion.h"

#include <QList>
#include <QString>

// Writes tickets in the folder form that `dbv build` reads: title.txt,
// ticket01.txt ... ticket40.txt, the pictures/ they name and topics.json. Variants get
// the "*" marker the database format needs, at the end of the line after a
// space, where it disturbs reading least (the program shows the line as stored).
class TicketFolderWriter
{
public:
    // Replaces earlier tickets and pictures in `folder`. Returns false with
    // `error` set when a file cannot be written.
    static bool write(const QString &folder, const QString &title,
                      const QList<QList<DemoQuestion>> &tickets, QString *error);

    // The text of one ticket file (ticket numbers count from 1).
    static QByteArray ticketText(int ticket, const QList<DemoQuestion> &questions);
    static QString pictureName(int ticket, int question);
    // The topics file: UTF-8 JSON {"topics": [{"name", "questions": [...]}]}.
    static QByteArray topicsJson(const QList<QList<DemoQuestion>> &tickets);
};
