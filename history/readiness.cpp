#include "readiness.h"

#include "percenttext.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <vector>

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

Readiness::ExamReadiness Readiness::fromProbabilities(std::span<const double, QuestionCount> pRight,
                                                      int neverAnswered,
                                                      const GuessingRate::Estimate &guessing)
{
    ExamReadiness r;
    r.neverAnswered = neverAnswered;
    r.guessing = guessing;
    std::copy(pRight.begin(), pRight.end(), r.pRight.begin());

    const OfficialExamForecast::Forecast official = OfficialExamForecast::forecast(pRight);
    r.passProbability = official.pass;
    r.ticketPass = official.ticketPass;
    r.blockErrors = official.blockErrors;

    double ticketExam = 0;
    for (int t = 0; t < TicketCount; ++t)
        ticketExam +=
            errorCounts(pRight.subspan(size_t(t) * QuestionsPerTicket, QuestionsPerTicket))
                .atMostMaxErrors();
    r.ticketExamPass = ticketExam / TicketCount;

    r.weakestTickets.resize(TicketCount);
    std::iota(r.weakestTickets.begin(), r.weakestTickets.end(), 1);
    std::stable_sort(r.weakestTickets.begin(), r.weakestTickets.end(),
                     [&r](int a, int b) { return r.ticketPass[a - 1] < r.ticketPass[b - 1]; });

    const auto slope = OfficialExamForecast::sensitivity(pRight);
    std::vector<double> gains(QuestionCount);
    for (int q = 0; q < QuestionCount; ++q)
        gains[q] = std::max(0.0, slope[q] * (1.0 - std::clamp(pRight[q], 0.0, 1.0)));
    std::sort(gains.begin(), gains.end(), std::greater<>());
    const double total = std::accumulate(gains.begin(), gains.end(), 0.0);
    double sum = 0;
    for (double g : gains) {
        // A hair under one half, so that equal gains are not tipped over it by rounding.
        if (total <= 0 || sum >= total / 2 * (1 - 1e-12))
            break;
        sum += g;
        ++r.riskQuestions;
    }
    return r;
}

GuessingRate::Estimate Readiness::guessingOf(const QuestionProgressTable &table,
                                             const LearnerModel &model)
{
    QList<GuessingRate::FirstAnswer> first;
    for (int q = 1; q <= QuestionCount; ++q) {
        const QuestionProgress &p = table.question(q);
        if (p.isAnswered())
            first.append({model.variants[q - 1], p.firstRight});
    }
    return GuessingRate::estimate(first);
}

std::array<double, Readiness::QuestionCount>
Readiness::answerChances(const QuestionProgressTable &table, qint64 nowMs,
                         const LearnerModel &model, const GuessingRate::Estimate &guessing)
{
    std::array<double, QuestionCount> p{};
    for (int q = 1; q <= QuestionCount; ++q) {
        const double recall = table.recallProbability(q, nowMs, 0.0);
        const double guess = guessing.forVariants(model.variants[q - 1]);
        p[q - 1] = recall + (1.0 - recall) * guess;
    }
    return p;
}

Readiness::ExamReadiness Readiness::compute(const QuestionProgressTable &table, qint64 nowMs,
                                            const LearnerModel &model)
{
    const GuessingRate::Estimate guessing = guessingOf(table, model);
    const auto p = answerChances(table, nowMs, model, guessing);
    return fromProbabilities(p, QuestionCount - table.answeredCount(), guessing);
}

QString Readiness::percentText(double probability)
{
    // The one rule every chance shown to the learner follows.
    return chanceText(probability);
}

namespace {

// The Russian plural of a count: 1 вопрос, 2 вопроса, 5 вопросов.
QString plural(int n, const char *one, const char *few, const char *many)
{
    const int lastTwo = n % 100;
    const int last = n % 10;
    const char *word = (lastTwo >= 11 && lastTwo <= 14) ? many
                       : last == 1                      ? one
                       : (last >= 2 && last <= 4)       ? few
                                                        : many;
    return QString::number(n) + QLatin1Char(' ') + QString::fromUtf8(word);
}

// Errors per ten tickets, one decimal: "2 ошибки", "0,4 ошибки", "5 ошибок".
QString errorsText(double errors)
{
    const double tenths = std::round(errors * 10.0);
    if (std::fmod(tenths, 10.0) == 0)
        return plural(int(tenths / 10), "ошибка", "ошибки", "ошибок");
    return QString::number(tenths / 10.0, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(',')) +
           QStringLiteral(" ошибки");
}

} // namespace

QString Readiness::explanation(const ExamReadiness &r)
{
    QStringList lines;
    lines.append(QStringLiteral("Готовность %1: столько шансов сдать экзамен в ГИБДД сейчас по "
                                "случайному билету — без ошибок или с одной-двумя ошибками в "
                                "разных блоках и верными ответами на все дополнительные вопросы.")
                     .arg(percentText(r.passProbability)));

    const auto weakest = std::max_element(r.blockErrors.begin(), r.blockErrors.end());
    const int block = int(weakest - r.blockErrors.begin());
    const int first = block * QuestionBankLayout::BlockSize + 1;
    lines.append(QStringLiteral("Слабее всего блок %1 (вопросы %2–%3): %4 в среднем на 10 билетов.")
                     .arg(block + 1)
                     .arg(first)
                     .arg(first + QuestionBankLayout::BlockSize - 1)
                     .arg(errorsText(*weakest * 10.0)));

    if (r.riskQuestions > 0)
        lines.append(QStringLiteral("Половина риска не сдать приходится на %1 — их и стоит учить "
                                    "дальше.")
                         .arg(plural(r.riskQuestions, "вопрос", "вопроса", "вопросов")));
    if (r.neverAnswered > 0)
        lines.append(QStringLiteral("Вопросов без единого ответа: %1 из %2; на них засчитывается "
                                    "только угадывание.")
                         .arg(r.neverAnswered)
                         .arg(QuestionCount));
    if (r.guessing.estimated())
        lines.append(QStringLiteral("Незнакомый вопрос с тремя вариантами вы угадываете в %1 "
                                    "случаев (по первым ответам на %2).")
                         .arg(percentText(r.guessing.forVariants(3)),
                              plural(r.guessing.firstAnswers, "вопрос", "вопроса", "вопросов")));
    else
        lines.append(QStringLiteral("Пока первых ответов меньше %1, угадывание считается "
                                    "случайным: один вариант из всех.")
                         .arg(GuessingRate::MinFirstAnswers));
    lines.append(QStringLiteral("По правилам «Экзамена» этой программы (не больше двух ошибок из "
                                "20) шанс сдать — %1.")
                     .arg(percentText(r.ticketExamPass)));
    return lines.join(QLatin1Char('\n'));
}
