#pragma once

#include <QtGlobal>

// One 16-byte entry of the database index: where a question's text block and
// picture lie, as absolute byte offsets from the start of the file.
struct QuestionIndexEntry
{
    qint32 textOffset = 0;
    qint32 textLength = 0;
    qint32 pictureOffset = 0; // 0: the question has no picture
    qint32 pictureLength = 0;

    bool hasPicture() const { return pictureOffset != 0; }
    friend bool operator==(const QuestionIndexEntry &, const QuestionIndexEntry &) = default;
};

namespace QuestionBankLayout {
inline constexpr int TicketCount = 40;
inline constexpr int QuestionsPerTicket = 20;
inline constexpr int QuestionCount = TicketCount * QuestionsPerTicket; // 800
inline constexpr int TitleFieldSize = 51; // length byte + 50 characters
inline constexpr int MaxTitleLength = 50;
inline constexpr int IndexEntrySize = 16;
inline constexpr int IndexOffset = TitleFieldSize;
inline constexpr int IndexSize = QuestionCount * IndexEntrySize; // 12800
inline constexpr int HeaderSize = IndexOffset + IndexSize;       // 12851
// Every text block and picture is read through one buffer of this size.
inline constexpr int MaxBlockSize = 30000;
inline constexpr int MaxVariants = 5;
// A ticket's questions fall into four thematic blocks of five (1–5, 6–10,
// 11–15, 16–20): the exam by the official rules counts errors per block, and
// the readiness forecast follows the same rules.
inline constexpr int BlockSize = 5;
inline constexpr int BlockCount = QuestionsPerTicket / BlockSize;

// Absolute question number a (1..800) of ticket t, question q.
constexpr int absoluteNumber(int ticket, int question)
{
    return (ticket - 1) * QuestionsPerTicket + question;
}
constexpr int ticketOf(int absolute)
{
    return (absolute - 1) / QuestionsPerTicket + 1;
}
constexpr int questionOf(int absolute)
{
    return absolute - (ticketOf(absolute) - 1) * QuestionsPerTicket;
}
// The thematic block (0..3) of a place in a ticket (1..20).
constexpr int blockOf(int questionInTicket)
{
    return (questionInTicket - 1) / BlockSize;
}
} // namespace QuestionBankLayout
