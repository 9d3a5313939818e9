#include "fsrsfit.h"

#include "dualnumber.h"
#include "fsrsformulas.h"

#include <lbfgs.h>

#include <QSet>

#include <algorithm>
#include <cmath>
#include <vector>

namespace F = Fsrs::Formulas;

namespace {

constexpr double MsPerDay = 86'400'000.0;
// The smallest and largest chance a prediction may give, so one confident
// miss cannot make the loss infinite.
constexpr double MinChance = 1e-4;

// The fitted weights, their index in w and their plausible range.
struct FreeWeight
{
    int index;
    double low;
    double high;
};
constexpr std::array<FreeWeight, 15> Free{{
    {0, 0.01, 60.0}, // S0 after Again
    {2, 0.01, 60.0}, // S0 after Good
    {4, 1.0, 10.0},  // D0
    {5, 0.01, 4.0},  // D0 slope by grade
    {6, 0.01, 4.0},  // difficulty step
    {7, 0.0, 0.75},  // mean reversion
    {8, 0.0, 4.5},   // recall: scale
    {9, 0.0, 0.8},   // recall: stability decay
    {10, 0.01, 3.5}, // recall: retrievability gain
    {11, 0.01, 5.0}, // lapse: scale
    {12, 0.0, 0.3},  // lapse: difficulty
    {13, 0.01, 0.9}, // lapse: stability
    {14, 0.0, 4.0},  // lapse: retrievability
    {17, 0.0, 2.0},  // same day: scale
    {18, 0.0, 2.0},  // same day: offset
}};
constexpr int FreeCount = int(Free.size());
// How strongly each weight is pulled to its default, in answers' worth of
// log-loss per unit of the free variable squared.
constexpr double PullToDefault = 2.0;

using Dual = DualNumber<FreeCount>;

double sigmoid(double x)
{
    return 1.0 / (1.0 + std::exp(-x));
}

// The free variable of a weight value: the inverse of low + (high - low) * sigmoid(x).
double freeVariable(double value, const FreeWeight &f)
{
    const double share = std::clamp((value - f.low) / (f.high - f.low), 1e-6, 1.0 - 1e-6);
    return std::log(share / (1.0 - share));
}

Fsrs::Weights weightsAt(const double *x)
{
    Fsrs::Weights w = Fsrs::DefaultWeights;
    for (int j = 0; j < FreeCount; ++j)
        w[size_t(Free[j].index)] = Free[j].low + (Free[j].high - Free[j].low) * sigmoid(x[j]);
    return w;
}

F::WeightsOf<Dual> dualWeightsAt(const double *x)
{
    F::WeightsOf<Dual> w;
    for (int i = 0; i < 19; ++i)
        w[size_t(i)] = Dual(Fsrs::DefaultWeights[size_t(i)]);
    for (int j = 0; j < FreeCount; ++j) {
        const double s = sigmoid(x[j]);
        const double span = Free[j].high - Free[j].low;
        Dual v(Free[j].low + span * s);
        v.derivative[size_t(j)] = span * s * (1.0 - s);
        w[size_t(Free[j].index)] = v;
    }
    return w;
}

// The summed log-loss of answers [from, to), replaying everything before.
template <typename T>
T replayLoss(const QList<AnswerOutcome> &answers, const F::WeightsOf<T> &w,
             const FsrsFit::GuessChances &guess, qsizetype from, qsizetype to, int *counted)
{
    struct Memory
    {
        F::StateOf<T> state{};
        qint64 lastMs = 0;
        bool seen = false;
    };
    std::vector<Memory> memory(QuestionBankLayout::QuestionCount);
    T loss(0.0);
    int n = 0;
    for (qsizetype i = 0; i < to && i < answers.size(); ++i) {
        const AnswerOutcome &a = answers[i];
        // A correction after the comment is not recall; the table the
        // weights are used in leaves it out too.
        if (a.question < 1 || a.question > QuestionBankLayout::QuestionCount || a.correction)
            continue;
        Memory &m = memory[size_t(a.question - 1)];
        const int grade = a.right ? 3 : 1;
        if (!m.seen) {
            m.state = F::initialState(grade, w);
            m.seen = true;
            m.lastMs = a.answeredAtMs;
            continue;
        }
        const double elapsedDays = double(a.answeredAtMs - m.lastMs) / MsPerDay;
        if (i >= from) {
            const T r = F::retrievability(elapsedDays, m.state.stability);
            const double g = guess[size_t(a.question - 1)];
            T p = r + (T(1.0) - r) * g;
            if (p < T(MinChance))
                p = T(MinChance);
            if (T(1.0 - MinChance) < p)
                p = T(1.0 - MinChance);
            using std::log;
            loss = loss - (a.right ? log(p) : log(T(1.0) - p));
            ++n;
        }
        m.state = F::nextState(m.state, elapsedDays, grade, w);
        m.lastMs = a.answeredAtMs;
    }
    if (counted)
        *counted = n;
    return loss;
}

struct Problem
{
    const QList<AnswerOutcome> *answers;
    const FsrsFit::GuessChances *guess;
    qsizetype trainingEnd;
    std::array<double, FreeCount> start;
    double scale; // 1 / number of training predictions
};

lbfgsfloatval_t evaluate(void *instance, const lbfgsfloatval_t *x, lbfgsfloatval_t *g, int n,
                         lbfgsfloatval_t)
{
    const auto &problem = *static_cast<const Problem *>(instance);
    const Dual loss = replayLoss<Dual>(*problem.answers, dualWeightsAt(x), *problem.guess, 0,
                                       problem.trainingEnd, nullptr);
    double f = loss.value * problem.scale;
    for (int j = 0; j < n; ++j) {
        const double away = x[j] - problem.start[size_t(j)];
        f += PullToDefault * problem.scale * away * away;
        g[j] =
            loss.derivative[size_t(j)] * problem.scale + 2.0 * PullToDefault * problem.scale * away;
    }
    return std::isfinite(f) ? f : 1e300;
}

} // namespace

bool FsrsFit::enoughHistory(const QList<AnswerOutcome> &answers)
{
    if (answers.size() < MinAnswers)
        return false;
    QSet<int> questions;
    for (const AnswerOutcome &a : answers)
        questions.insert(a.question);
    const qint64 span = answers.last().answeredAtMs - answers.first().answeredAtMs;
    return questions.size() >= MinQuestions && span >= qint64(MinDays) * qint64(MsPerDay);
}

double FsrsFit::logLoss(const QList<AnswerOutcome> &answers, const Fsrs::Weights &weights,
                        const GuessChances &guess, qsizetype from, qsizetype to, int *counted)
{
    int n = 0;
    const double loss = replayLoss<double>(answers, weights, guess, from, to, &n);
    if (counted)
        *counted = n;
    return n > 0 ? loss / n : 0.0;
}

FsrsFit::Result FsrsFit::fit(const QList<AnswerOutcome> &answers, const GuessChances &guess)
{
    Result result;
    const qsizetype total = answers.size();
    const qsizetype trainingEnd = total - qsizetype(std::ceil(total * HeldOutShare));
    int trainingPredictions = 0;
    logLoss(answers, Fsrs::DefaultWeights, guess, 0, trainingEnd, &trainingPredictions);
    result.trainingAnswers = int(trainingEnd);
    result.defaultLogLoss =
        logLoss(answers, Fsrs::DefaultWeights, guess, trainingEnd, total, &result.heldOutAnswers);
    result.fittedLogLoss = result.defaultLogLoss;
    if (trainingPredictions == 0 || result.heldOutAnswers == 0)
        return result;

    Problem problem{&answers, &guess, trainingEnd, {}, 1.0 / trainingPredictions};
    lbfgsfloatval_t *x = lbfgs_malloc(FreeCount);
    if (!x)
        return result;
    for (int j = 0; j < FreeCount; ++j) {
        problem.start[size_t(j)] =
            freeVariable(Fsrs::DefaultWeights[size_t(Free[j].index)], Free[j]);
        x[j] = problem.start[size_t(j)];
    }
    lbfgs_parameter_t parameters;
    lbfgs_parameter_init(&parameters);
    parameters.max_iterations = 200;
    parameters.epsilon = 1e-6;
    lbfgsfloatval_t fx = 0;
    // The library leaves its best point in x, also when it stops early
    // (the iteration limit, a line search that cannot improve further); the
    // held-out comparison decides whether that point is any good.
    lbfgs(FreeCount, x, &fx, evaluate, nullptr, &problem, &parameters);
    const Fsrs::Weights fitted = weightsAt(x);
    const double loss = logLoss(answers, fitted, guess, trainingEnd, total);
    if (std::isfinite(loss)) {
        result.weights = fitted;
        result.fittedLogLoss = loss;
    }
    lbfgs_free(x);
    return result;
}
