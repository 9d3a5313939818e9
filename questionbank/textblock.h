#pragma once

#include "question.h"

#include <QByteArray>
#include <QStringList>

// Splits a raw Windows-1251 text block into lines. A line ends at LF, at CR,
// or at CR LF (one terminator); LF CR is two terminators and so yields an
// empty line. A NUL byte ends the whole text; a last line without terminator
// still counts.
QStringList splitTextBlock(const QByteArray &block);

// Fills `question` from the lines of a text block:
//   line 0      first character: number of the correct variant (1..5)
//   line 1      question text
//   lines 2..   variants, each containing "*"; the first line without "*"
//               ends the list and the line after it is the comment.
// Only the text fields are touched; the picture is left as it is. Slots of
// answerTexts above the new answerCount keep their previous values.
// Throws QuestionBankError naming `absoluteNumber` when the block breaks the
// format: a bad line 0, more than five variants or no comment line.
void parseQuestion(const QStringList &lines, Question &question, int absoluteNumber);

// The Russian message used for every rejected question:
// "Вопрос №a (билет t, вопрос q) не может быть прочитан: <reason>".
QString questionErrorMessage(int absoluteNumber, const QString &reason);
