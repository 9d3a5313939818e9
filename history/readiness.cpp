#include "readiness.h"

#include "percenttext.h"

#include <algorithm>
#include <cmath>
#include <numeric>

Readiness::ErrorCounts Readiness::errorCounts(std::span<const double> pRight)
{
    // e[k]: the chance of exactly k errors among the questions so far, and
    // e[3] of more than two. Updated from the top so each step reads the
    // previous values.
    ErrorCounts counts;
    auto &e = counts.probability;
    for (const double p : pRight) {
        const double right = std::clamp(p, 0.0, 1.0);
        const double wrong = 1.0 - right;
        e[3] = e[3] + e[2] * wrong;
        e[2] = e[2] * right + e[1] * wrong;
        e[1] = e[1] * right + e[0] * wrong;
        e[0] = e[0] * right;
    }
    return counts;
}

Readiness::ExamReadiness Readiness::fromProbabilities(std::span<const double> pRight,
                                                      int neverAnswered)
{
    ExamReadiness r;
    r.neverAnswered = neverAnswered;
    for (int t = 0; t < TicketCount; ++t) {
        const auto first = std::size_t(t) * QuestionsPerTicket;
        r.ticketPass[t] =
            first + QuestionsPerTicket <= pRight.size()
                ? errorCounts(pRight.subspan(first, QuestionsPerTicket)).atMostMaxErrors()
                : 0.0;
    }
    r.passProbability =
        std::accumulate(r.ticketPass.begin(), r.ticketPass.end(), 0.0) / TicketCount;
    r.weakestTickets.resize(TicketCount);
    std::iota(r.weakestTickets.begin(), r.weakestTickets.end(), 1);
    std::stable_sort(r.weakestTickets.begin(), r.weakestTickets.end(),
                     [&r](int a, int b) { return r.ticketPass[a - 1] < r.ticketPass[b - 1]; });
    return r;
}

Readiness::ExamReadiness Readiness::compute(const QuestionProgressTable &table, qint64 nowMs)
{
    std::array<double, QuestionProgressTable::QuestionCount> p{};
    int never = 0;
    for (int q = 1; q <= QuestionProgressTable::QuestionCount; ++q) {
        p[q - 1] = table.recallProbability(q, nowMs, UnansweredPrior);
        never += table.question(q).isAnswered() ? 0 : 1;
    }
    return fromProbabilities(p, never);
}

namespace {

QString percent(double probability)
{
    return chanceText(probability);
}

QString ticketList(const QList<int> &tickets)
{
    QStringList parts;
    for (int t : tickets)
        parts.append(QString::number(t));
    return parts.join(QStringLiteral(", "));
}

} // namespace

QString Readiness::explanation(const ExamReadiness &readiness)
{
    QStringList lines;
    lines.append(QStringLiteral("Готовность %1: столько шансов сдать экзамен сейчас по случайному "
                                "билету, ошибившись не более двух раз.")
                     .arg(percent(readiness.passProbability)));
    if (readiness.neverAnswered > 0)
        lines.append(QStringLiteral("Вопросов без единого ответа: %1 из 800. Каждый из них "
                                    "считается угаданным наполовину, это сильнее всего снижает "
                                    "готовность.")
                         .arg(readiness.neverAnswered));
    const QList<int> weakest = readiness.weakestTickets.mid(0, 3);
    if (!weakest.isEmpty() && readiness.ticketPass[weakest.first() - 1] < 0.9)
        lines.append(
            QStringLiteral("Слабее всего билеты %1; по самому слабому шанс сдать %2.")
                .arg(ticketList(weakest), percent(readiness.ticketPass[weakest.first() - 1])));
    lines.append(QStringLiteral("Готовность растёт от правильных ответов и падает со временем, "
                                "если вопросы не повторять."));
    return lines.join(QLatin1Char('\n'));
}
