#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One question as the lint checks see it: the lines as stored (variants with
// their "*"), and a fingerprint of the picture so that reuse can be counted
// without keeping the images.
struct LintQuestion
{
    int number = 0; // absolute, 1..800
    int ticket = 0; // 1..40
    QString text;
    QStringList variants; // as stored, "*" included
    int correct = 0;      // 1..variants.size()
    QString comment;
    QByteArray pictureHash; // empty: no picture
    QString readError;      // set when the program cannot read the question

    bool hasPicture() const { return !pictureHash.isEmpty(); }
};

// The database's questions in number order; `error` is set when the file
// cannot be opened. The only place the lint reads a .dbv.
QList<LintQuestion> loadLintQuestions(const QString &path, QString *error);
