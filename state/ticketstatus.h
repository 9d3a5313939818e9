#pragma once

// Status of a ticket; the code is also the index of its icon in the catalogue.
namespace TicketStatus {
inline constexpr int NotPassed = 0;
inline constexpr int ExamPassed = 1;
inline constexpr int Failed = 2;
inline constexpr int TrainingPassed = 3;
inline constexpr int LearningCompleted = 4;
} // namespace TicketStatus

// Index of a mode's counters in QuestionStats (AttemptMode): learning and
// preparation share index 0.
namespace StatMode {
inline constexpr int Learning = 0;
inline constexpr int Training = 1;
inline constexpr int Exam = 2;
inline constexpr int Count = 3;
} // namespace StatMode
