#pragma once

#include <QString>

class QuestionBankError;

// How dbv names a question in its diagnostics: "question a (ticket t, question q): ".
QString questionPrefix(int absoluteNumber);
// The reason of a rejected question without the question's name that the
// reader's message starts with (the diagnostic line names it already).
QString rejectionReason(int absoluteNumber, const QuestionBankError &error);
