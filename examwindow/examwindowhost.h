#pragma once

#include "reference.h"

#include <QString>

// What the exam window needs from the window that starts attempts (the main
// window): the "show statistics" mark of its settings menu, and a call when
// the exam window has closed so that it can show itself again.
class ExamWindowHost
{
public:
    virtual ~ExamWindowHost() = default;

    // Whether the pie of the shown question's answers is shown in learning
    // and preparation.
    virtual bool showStatisticsChecked() const = 0;
    // The exam window has closed and saved the progress.
    virtual void examWindowClosed() = 0;
    // The reference of the open database, whose signs and markings become
    // links in a comment; null for none.
    virtual const Reference *reference() { return nullptr; }
    // A link of a comment was clicked: the entry is shown beside the
    // attempt, which goes on.
    virtual void openReferenceEntry(ReferenceKind, const QString &) {}
};
