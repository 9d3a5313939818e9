#pragma once

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
};
