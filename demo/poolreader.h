#pragma once

#include "demoquestion.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Reads the hand-written question pool: text files of `keyword value` blocks
// ("question", "correct K", "text ...", 2..5 "variant ...", "comment ...").
// Lines starting with "#" are comments; a comment "# Тема: ..." sets the
// topic of the questions after it. Every problem is reported as
// "file:line: message" and a question with a problem is left out.
class PoolReader
{
public:
    struct Result
    {
        QList<DemoQuestion> questions;
        QStringList errors;
    };

    // Parses one file's contents; `fileName` is used in origins and messages.
    static Result parse(const QString &fileName, const QByteArray &contents);
    // Reads every *.txt of `folder` in name order. A missing folder is an
    // empty pool, not an error.
    static Result readFolder(const QString &folder);
};
