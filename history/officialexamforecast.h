#pragma once

#include "questionindexentry.h"

#include <array>
#include <span>

// The chance of passing the exam by the official rules, exactly, from each
// question's chance of a right answer (questions answered independently).
//
// A ticket is four blocks of five. Per block only "no error", "exactly one"
// and "two or more" matter (a Poisson-binomial over its five questions, kept
// to those three). Two errors in one block fail; one error in a block needs
// that block's five additional questions all right; errors in two blocks
// need both additional blocks right; errors in three blocks fail. The
// additional block for block b is the same five places of one of the other
// 39 tickets, drawn at random and independently per block, so its chance of
// being all right is the mean over those tickets of the product of their
// five chances.
//
// With x_b = P(no error in b) and y_b = P(one error in b) * P(additional b
// all right), P(pass) is the sum over the sets of at most two blocks of the
// products of y over the set and x over the rest: the coefficients up to z^2
// of prod_b (x_b + y_b z).
namespace OfficialExamForecast {

using QuestionBankLayout::BlockCount;
using QuestionBankLayout::BlockSize;
using QuestionBankLayout::QuestionCount;
using QuestionBankLayout::QuestionsPerTicket;
using QuestionBankLayout::TicketCount;

struct Forecast
{
    double pass = 0; // the mean of ticketPass: the ticket is drawn at random
    std::array<double, TicketCount> ticketPass{};
    // Mean number of errors per ticket in each block (expected, over the 40
    // tickets' main parts).
    std::array<double, BlockCount> blockErrors{};
};

// `pRight`: the chance of a right answer of questions 1..800 in order.
Forecast forecast(std::span<const double, QuestionCount> pRight);

// d(mean P(pass)) / d(pRight[q]) for every question: through its own
// ticket's block and through the additional blocks it may be drawn into.
std::array<double, QuestionCount> sensitivity(std::span<const double, QuestionCount> pRight);

// P(no error), P(exactly one error) among independent questions.
struct BlockOutcome
{
    double none = 1;
    double one = 0;
};
BlockOutcome blockOutcome(std::span<const double> pRight);

// P(pass) of one ticket from its blocks' outcomes and each block's chance
// that an additional block would be all right.
double ticketPass(const std::array<BlockOutcome, BlockCount> &blocks,
                  const std::array<double, BlockCount> &additionalAllRight);

} // namespace OfficialExamForecast
