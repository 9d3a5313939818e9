#pragma once

#include "questionindexentry.h"

#include <QList>

#include <array>
#include <span>

// "Что учить дальше": the questions whose review raises the readiness most.
// A question's gain is the slope of the readiness in its chance of a right
// answer (OfficialExamForecast::sensitivity) times how far a right answer
// now would raise that chance (to 1, from where it is). The set is the
// SetSize largest gains, and the rise shown is computed exactly: the
// readiness with all of them answered right, less the readiness now.
namespace StudyNext {

inline constexpr int SetSize = 20;

struct Choice
{
    QList<int> questions; // absolute numbers, the largest gain first
    double readinessNow = 0;
    double readinessIfRight = 0;
    double rise() const { return readinessIfRight - readinessNow; }
};

Choice choose(std::span<const double, QuestionBankLayout::QuestionCount> pRight,
              int count = SetSize);

} // namespace StudyNext
