// The readiness forecast against what happens: synthetic learners whose
// memory follows the memory model and who guess at a rate of their own
// practise with the program's modes through the attempt engine (no
// widgets, a fixed seed) over simulated weeks, and sit exams by the
// official rules. The forecast made before each exam must be calibrated —
// in every well-filled tenth of the scale the share of exams passed is
// within five points of the mean forecast — and must score better (Brier)
// than the former figure (at most two errors of 20, recall taken as the
// chance of a right answer, a never-answered question as one half).
#include "attemptlistener.h"
#include "examattempt.h"
#include "programrandom.h"
#include "questiondatabase.h"
#include "questionprogress.h"
#include "readiness.h"
#include "statrecord.h"
#include "studynext.h"
#include "syntheticdatabase.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <vector>

using QuestionBankLayout::absoluteNumber;

namespace {

constexpr qint64 Day = 86'400'000;
constexpr qint64 Start = 1'760'000'000'000;

// One learner. What they remember is the memory model replayed over their
// first answer to each question in each attempt (the same replay the
// forecast makes); a question they do not recall they answer right with
// their own guessing rate, 1/k + (1 - 1/k) * lift.
class Learner : public AttemptListener
{
public:
    Learner(quint32 seed, double lift) : m_random(seed), m_lift(lift) {}

    qint64 now = Start;
    QuestionProgressTable table;

    bool answersRight(int question)
    {
        const double recall = table.recallProbability(question, now, 0.0);
        const double blind = 1.0 / SyntheticDatabase::variantCount(question);
        const double guess = blind + (1.0 - blind) * m_lift;
        return m_random.generateDouble() < recall + (1.0 - recall) * guess;
    }
    QRandomGenerator &random() { return m_random; }

    void attemptStarted() override { m_answered.clear(); }
    void answerGiven(int question, int, bool correct, int) override
    {
        if (!m_answered.contains(question))
            table.apply(AnswerOutcome{question, correct, now});
        m_answered.insert(question);
        now += 15'000;
    }
    void attemptEnded(const AttemptResult &, bool) override {}

private:
    QRandomGenerator m_random;
    double m_lift;
    QSet<int> m_answered;
};

struct ExamForecast
{
    double forecast = 0;
    double former = 0;
    bool passed = false;
};

// The figure the program showed before: at most two errors of 20, recall as
// the chance of a right answer, one half for a question never answered.
double formerReadiness(const QuestionProgressTable &table, qint64 now)
{
    std::array<double, 800> p{};
    for (int q = 1; q <= 800; ++q)
        p[size_t(q - 1)] = table.recallProbability(q, now, 0.5);
    double sum = 0;
    for (int t = 0; t < 40; ++t)
        sum += Readiness::errorCounts(std::span(p).subspan(size_t(t) * 20, 20)).atMostMaxErrors();
    return sum / 40;
}

} // namespace

class TestReadinessCalibration : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void forecast_calibratedOnSimulatedLearners();

private:
    // Runs one attempt to its end as the learner answers; true when passed.
    bool run(const AttemptSetup &setup, Learner &learner);

    QuestionDatabase m_database;
    StatRecord m_record;
    QTemporaryDir m_dir;
    LearnerModel m_model;
};

void TestReadinessCalibration::initTestCase()
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(SyntheticDatabase::bytes());
    m_database.openDevice(std::move(buffer));
    for (int q = 1; q <= 800; ++q)
        m_model.variants[size_t(q - 1)] = quint8(SyntheticDatabase::variantCount(q));
}

void TestReadinessCalibration::cleanupTestCase()
{
    ProgramRandom::clearScript();
}

bool TestReadinessCalibration::run(const AttemptSetup &given, Learner &learner)
{
    // The engine's draws (the ticket, the additional blocks) come from the
    // learner's seeded generator.
    QList<int> draws;
    for (int i = 0; i < 64; ++i)
        draws << int(learner.random().bounded(1 << 30));
    ProgramRandom::setScript(draws);
    AttemptSetup setup = given;
    setup.progressPath = m_dir.filePath(QStringLiteral("stat.dat"));
    ExamAttempt attempt(setup, m_database, m_record);
    attempt.setListener(&learner);
    attempt.start();
    for (;;) {
        for (int position = 1; position <= attempt.positionCount(); ++position) {
            if (attempt.followUp() != ExamAttempt::FollowUp::None || !attempt.isRunning())
                break;
            if (attempt.positionDone(position) ||
                attempt.questionState(position) == ExamAttempt::QuestionState::AnsweredCorrectly)
                continue;
            if (!attempt.selectPosition(position))
                return false;
            const int question = absoluteNumber(attempt.ticket(), attempt.questionNumber());
            const int right = attempt.correctVariant();
            auto outcome =
                attempt.answer(learner.answersRight(question) ? right : (right == 1 ? 2 : 1));
            // Learning keeps the question after a wrong answer: the learner
            // reads the comment and answers right.
            while (outcome.accepted && !outcome.moveOn && !outcome.lockAnswers &&
                   attempt.answersOpen())
                outcome = attempt.answer(right);
        }
        switch (attempt.followUp()) {
        case ExamAttempt::FollowUp::AnnounceAdditionalPart:
            attempt.startAdditionalPart();
            continue;
        case ExamAttempt::FollowUp::AskNextPage:
            attempt.turnPage();
            continue;
        default:
            break;
        }
        break;
    }
    return attempt.finish().passed;
}

void TestReadinessCalibration::forecast_calibratedOnSimulatedLearners()
{
    constexpr int Learners = 160;
    constexpr int Days = 28;
    constexpr int ExamsPerDay = 3;
    QRandomGenerator seeds(2026);
    std::vector<ExamForecast> exams;

    for (int l = 0; l < Learners; ++l) {
        // From a blind guesser to one with a good nose for the right variant;
        // one to four tickets of practice a day.
        Learner learner(seeds.generate(), 0.5 * seeds.generateDouble());
        const int ticketsPerDay = 1 + int(seeds.bounded(4));
        const bool studiesNext = seeds.bounded(2) == 0;
        for (int day = 0; day < Days; ++day) {
            learner.now = Start + day * Day + 8 * 3'600'000;
            for (int i = 0; i < ticketsPerDay; ++i) {
                AttemptSetup training;
                training.mode = AttemptMode::Training;
                training.ticket = 1 + int(learner.random().bounded(40));
                run(training, learner);
            }
            if (studiesNext) {
                const auto ready = Readiness::compute(learner.table, learner.now, m_model);
                AttemptSetup set;
                set.questions = StudyNext::choose(ready.pRight).questions;
                if (!set.questions.isEmpty())
                    run(set, learner);
            }
            for (int e = 0; e < ExamsPerDay; ++e) {
                learner.now += 3'600'000;
                ExamForecast exam;
                exam.forecast =
                    Readiness::compute(learner.table, learner.now, m_model).passProbability;
                exam.former = formerReadiness(learner.table, learner.now);
                AttemptSetup official;
                official.mode = AttemptMode::OfficialExam;
                exam.passed = run(official, learner);
                exams.push_back(exam);
            }
        }
    }

    struct Bin
    {
        int exams = 0;
        int passed = 0;
        double forecast = 0;
    };
    std::array<Bin, 10> bins{};
    double brier = 0, formerBrier = 0;
    for (const ExamForecast &e : exams) {
        Bin &bin = bins[size_t(std::min(9, int(e.forecast * 10)))];
        ++bin.exams;
        bin.passed += e.passed ? 1 : 0;
        bin.forecast += e.forecast;
        const double outcome = e.passed ? 1 : 0;
        brier += (e.forecast - outcome) * (e.forecast - outcome);
        formerBrier += (e.former - outcome) * (e.former - outcome);
    }
    brier /= double(exams.size());
    formerBrier /= double(exams.size());
    qInfo("%d exams; Brier score %.4f, the former figure's %.4f", int(exams.size()), brier,
          formerBrier);
    // A tenth with fewer exams than this has a standard error over 2.9
    // points, too wide to judge five; it is shown, not judged.
    constexpr int Judged = 300;
    int judgedBins = 0;
    for (int b = 0; b < 10; ++b) {
        const Bin &bin = bins[size_t(b)];
        if (bin.exams == 0)
            continue;
        const double forecast = bin.forecast / bin.exams;
        const double observed = double(bin.passed) / bin.exams;
        qInfo("%3d-%3d %%: %5d exams, forecast %5.1f %%, passed %5.1f %%", b * 10, b * 10 + 10,
              bin.exams, forecast * 100, observed * 100);
        if (bin.exams < Judged)
            continue;
        ++judgedBins;
        QVERIFY2(qAbs(observed - forecast) <= 0.05,
                 qPrintable(QStringLiteral("%1-%2 %").arg(b * 10).arg(b * 10 + 10)));
    }
    QVERIFY(exams.size() >= 2000);
    QVERIFY(judgedBins >= 5);
    QVERIFY(brier < formerBrier);
}

QTEST_GUILESS_MAIN(TestReadinessCalibration)
#include "tst_readinesscalibration.moc"
