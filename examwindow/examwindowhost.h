#pragma once

// What the exam window needs from the window that starts attempts (the main
// window): the two option marks of its settings menu, and a call when the
// exam window has closed so that it can show itself again.
class ExamWindowHost
{
public:
    virtual ~ExamWindowHost() = default;

    // Check mark of "Показывать статистику" (N5).
    virtual bool showStatisticsChecked() const = 0;
    // Check mark of "Перемешать варианты ответа" (N6).
    virtual bool shuffleAnswersChecked() const = 0;
    // The exam window has closed and saved the statistics.
    virtual void examWindowClosed() = 0;
};
