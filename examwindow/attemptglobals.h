#pragma once

#include <QString>

#include <array>

// The globals of one ticket attempt, shared by the exam window and the main
// window that starts attempts. Arrays indexed from 1 keep an unused slot 0 so
// that the numbers read as they do everywhere else (question 1..20,
// variant 1..5).
//
// Times are whole seconds: the exam countdown must end on an exact tick.

// Set by the main window before it shows the exam window.
inline int CurrentTicket = 1;        // 1..40; recomputed per question in preparation
inline int AttemptMode = 0;          // 0 learning/preparation, 1 training, 2 exam
inline bool PreparationFlag = false; // with mode 0: set = preparation

// The shown question.
inline int CurrentQuestion = 1; // 1..20 inside CurrentTicket
inline int CurrentPosition = 1; // 1..20 in the question list
inline int CorrectVariant = 0;  // display number of the correct variant
inline int AnswerCount = 0;
inline std::array<QString, 6> AnswerTexts; // [1..5], stored order
inline QString CommentText;

// Per attempt.
inline std::array<int, 21> ShuffleSlots{};   // [1..20]; 0 = not drawn yet
inline std::array<int, 21> PreparationSet{}; // [1..20], absolute numbers 1..800
inline int CorrectCount = 0;
inline int WrongCount = 0;
inline int CorrectItemCount = 0;
inline bool ThreeErrorsAsked = false;

// Exam time limit (set by the settings menu; 0 until a time item is chosen)
// and the countdown, in seconds.
inline int ExamTimeLimit = 0;
inline int RemainingTime = 0;
