#pragma once

#include "question.h"

#include <QStringList>

// Rules a question must keep to be answerable, beyond what the reader needs
// to show it: the reader accepts a block with fewer than two variants or a
// correct number above the variant count, but such a question can never be
// answered correctly. Used by authoring tools; the messages are English.
// Returns one message per broken rule, empty when the question is fine.
QStringList questionRuleProblems(const Question &question);
