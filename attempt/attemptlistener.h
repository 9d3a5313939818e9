#pragma once

#include <QtGlobal>

struct AttemptResult;

// Hears what an attempt does, for whoever keeps a record beyond "stat.dat"
// (the answer history). The engine works the same without one.
class AttemptListener
{
public:
    virtual ~AttemptListener() = default;

    // The attempt started (or started again, or went on with the next
    // ticket after the completion question).
    virtual void attemptStarted() = 0;
    // One answer: the question's absolute number (1..800), the variant's
    // stored number (not its shown place), and the whole seconds spent on
    // the question since it was shown or last answered.
    virtual void answerGiven(int question, int storedVariant, bool correct, int seconds) = 0;
    // The attempt ended. `finished` is false when it was left for a new start
    // before it ended; the result then holds only the counts so far.
    virtual void attemptEnded(const AttemptResult &result, bool finished) = 0;
    // The marathon went one question further: `answered` questions of its
    // whole order are now answered, `right` and `wrong` of them since it
    // began. Only the marathon calls this.
    virtual void sequenceAdvanced(int answered, int right, int wrong)
    {
        Q_UNUSED(answered);
        Q_UNUSED(right);
        Q_UNUSED(wrong);
    }
};
