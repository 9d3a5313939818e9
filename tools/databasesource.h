#pragma once

#include "questionindexentry.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

// One question in the source form of a database: the fields of its text block
// and its picture.
struct SourceQuestion
{
    int correct = 0;
    QString text;
    QStringList variants; // stored exactly, "*" included
    QString endLine;      // the line that closes the variant list
    QString comment;
    QString pictureName; // a file in pictures/; empty: no picture
    QByteArray picture;  // its JPEG bytes

    // The lines of the text block the program reads this question from.
    QStringList blockLines() const;
    // The text block as stored: Windows-1251 with CR LF line ends.
    QByteArray textBlock() const;
};

// A whole database in source form.
struct DatabaseSource
{
    QString title;
    // Indexed by absolute question number - 1.
    std::array<SourceQuestion, QuestionBankLayout::QuestionCount> questions;
    // Why a question is missing (it could not be read from a database);
    // empty for a question that is present.
    std::array<QString, QuestionBankLayout::QuestionCount> missingReasons;
};

// The names of the source files.
namespace SourceFiles {
QString titleFile();
// "ticket01.txt" ... "ticket40.txt"
QString ticketFile(int ticket);
QString picturesFolder();
} // namespace SourceFiles
