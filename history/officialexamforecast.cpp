#include "officialexamforecast.h"

#include <algorithm>
#include <numeric>

namespace OfficialExamForecast {

namespace {

double clamped(double p)
{
    return std::clamp(p, 0.0, 1.0);
}

// The coefficients of z^0, z^1, z^2 in prod (x_b + y_b z) over the blocks
// except `skip` (-1: none).
std::array<double, 3> lowCoefficients(const std::array<double, BlockCount> &x,
                                      const std::array<double, BlockCount> &y, int skip)
{
    std::array<double, 3> c{1.0, 0.0, 0.0};
    for (int b = 0; b < BlockCount; ++b) {
        if (b == skip)
            continue;
        c[2] = c[2] * x[b] + c[1] * y[b];
        c[1] = c[1] * x[b] + c[0] * y[b];
        c[0] = c[0] * x[b];
    }
    return c;
}

// Everything one pass over the bank gives: each block's outcome and product
// of chances, and per block the sum of the products over all tickets.
struct BankBlocks
{
    std::array<std::array<BlockOutcome, BlockCount>, TicketCount> outcome{};
    std::array<std::array<double, BlockCount>, TicketCount> allRight{};
    std::array<double, BlockCount> allRightSum{};

    explicit BankBlocks(std::span<const double, QuestionCount> p)
    {
        for (int t = 0; t < TicketCount; ++t) {
            for (int b = 0; b < BlockCount; ++b) {
                const auto block =
                    p.subspan(size_t(t * QuestionsPerTicket + b * BlockSize), BlockSize);
                outcome[t][b] = blockOutcome(block);
                allRight[t][b] = outcome[t][b].none;
                allRightSum[b] += allRight[t][b];
            }
        }
    }
    // The mean chance that ticket t's additional block b is all right: over
    // the other tickets.
    double additional(int t, int b) const
    {
        return (allRightSum[b] - allRight[t][b]) / (TicketCount - 1);
    }
};

} // namespace

BlockOutcome blockOutcome(std::span<const double> pRight)
{
    BlockOutcome o;
    for (const double raw : pRight) {
        const double p = clamped(raw);
        o.one = o.one * p + o.none * (1.0 - p);
        o.none *= p;
    }
    return o;
}

double ticketPass(const std::array<BlockOutcome, BlockCount> &blocks,
                  const std::array<double, BlockCount> &additionalAllRight)
{
    std::array<double, BlockCount> x{}, y{};
    for (int b = 0; b < BlockCount; ++b) {
        x[b] = blocks[b].none;
        y[b] = blocks[b].one * additionalAllRight[b];
    }
    const auto c = lowCoefficients(x, y, -1);
    return c[0] + c[1] + c[2];
}

Forecast forecast(std::span<const double, QuestionCount> pRight)
{
    const BankBlocks bank(pRight);
    Forecast f;
    for (int t = 0; t < TicketCount; ++t) {
        std::array<double, BlockCount> additional{};
        for (int b = 0; b < BlockCount; ++b)
            additional[b] = bank.additional(t, b);
        f.ticketPass[t] = ticketPass(bank.outcome[t], additional);
    }
    f.pass = std::accumulate(f.ticketPass.begin(), f.ticketPass.end(), 0.0) / TicketCount;
    for (int q = 0; q < QuestionCount; ++q)
        f.blockErrors[QuestionBankLayout::blockOf(q % QuestionsPerTicket + 1)] +=
            1.0 - clamped(pRight[q]);
    for (double &e : f.blockErrors)
        e /= TicketCount;
    return f;
}

std::array<double, QuestionCount> sensitivity(std::span<const double, QuestionCount> pRight)
{
    const BankBlocks bank(pRight);
    // Per ticket and block: d pass / d P(no error), d pass / d P(one error)
    // and d pass / d (additional all right). With pass = x_b (c0 + c1 + c2) +
    // y_b (c0 + c1), the c's over the other blocks.
    struct Slopes
    {
        double none = 0, one = 0, additional = 0;
    };
    std::array<std::array<Slopes, BlockCount>, TicketCount> slopes{};
    std::array<double, BlockCount> additionalSlopeSum{};
    for (int t = 0; t < TicketCount; ++t) {
        std::array<double, BlockCount> x{}, y{}, a{};
        for (int b = 0; b < BlockCount; ++b) {
            a[b] = bank.additional(t, b);
            x[b] = bank.outcome[t][b].none;
            y[b] = bank.outcome[t][b].one * a[b];
        }
        for (int b = 0; b < BlockCount; ++b) {
            const auto c = lowCoefficients(x, y, b);
            const double dy = c[0] + c[1];
            slopes[t][b] = {c[0] + c[1] + c[2], dy * a[b], dy * bank.outcome[t][b].one};
            additionalSlopeSum[b] += slopes[t][b].additional;
        }
    }
    std::array<double, QuestionCount> d{};
    for (int q = 0; q < QuestionCount; ++q) {
        const int t = q / QuestionsPerTicket;
        const int b = QuestionBankLayout::blockOf(q % QuestionsPerTicket + 1);
        const int first = t * QuestionsPerTicket + b * BlockSize;
        // The other four of the block: P(no error) and P(one error) without q.
        BlockOutcome others;
        for (int i = first; i < first + BlockSize; ++i) {
            if (i == q)
                continue;
            const double p = clamped(pRight[i]);
            others.one = others.one * p + others.none * (1.0 - p);
            others.none *= p;
        }
        // P(none) = p * others.none, P(one) = p * others.one + (1 - p) * others.none,
        // and the block's product of chances is P(none).
        const Slopes &s = slopes[t][b];
        const double viaOwnTicket = s.none * others.none + s.one * (others.one - others.none);
        const double viaOtherTickets =
            (additionalSlopeSum[b] - s.additional) * others.none / (TicketCount - 1);
        d[q] = (viaOwnTicket + viaOtherTickets) / TicketCount;
    }
    return d;
}

} // namespace OfficialExamForecast
