#pragma once

#include "ticketsource.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

// Reads the exam tickets of a source in the common open JSON layout:
//
//   questions/<CAT>/tickets/Билет <N>.json   (N = 1..40, CAT = A_B or C_D)
//   images/<CAT>/…                           (pictures, any format)
//
// Each ticket file is a JSON array of 20 question objects with "question",
// "answers" ([{"answer_text", "is_correct"}], 2..5, exactly one correct),
// "correct_answer" ("Правильный ответ: N"), "answer_tip" (the comment),
// "image" (a path from the folder's root; "no_image.jpg" for none) and
// "topic" (an array of topic names).
struct JsonTicketQuestion
{
    int ticket = 0; // 1..40
    int number = 0; // 1..20
    QString question;
    QStringList answers;
    int correct = 0; // 1-based place in answers
    QString comment;
    QStringList topics;
    // The picture file, relative to the source's root; empty when the
    // question has none.
    QString picturePath;
};

struct JsonTicketFolder
{
    // All 800 questions in ticket and question order when problems is empty.
    QList<JsonTicketQuestion> questions;
    // Every fault found, each naming the file or the ticket and question.
    QStringList problems;
    // Pictures whose literal path did not exist, found by their path from
    // "images/" on (paths in the wild often carry a stray leading folder).
    int picturesFoundFromImages = 0;
};

// Reads the tickets of `category` (A_B or C_D) of an opened source.
// `onTicket` is called after each ticket with the number of tickets read so
// far.
JsonTicketFolder readJsonTickets(const TicketSource &source, const QString &category,
                                 const std::function<void(int)> &onTicket = {});

// The same over ticket files already in memory: file name -> bytes, file
// name -> why it could not be read, and what a picture path is in the source.
using PictureLookup = std::function<TicketSource::FileKind(const QString &relative)>;
JsonTicketFolder readJsonTickets(const QMap<QString, QByteArray> &files,
                                 const QMap<QString, QString> &unreadable,
                                 const PictureLookup &lookup,
                                 const std::function<void(int)> &onTicket = {});

// "a\r\nb\nc" -> "a b c": a question line in a database cannot break.
QString joinLines(const QString &text);
