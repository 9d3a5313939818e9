// Fitting the memory weights to a learner: a simulated learner whose memory
// follows known weights is recovered from their answers, the held-out guard
// never lets the weights in use predict worse than the defaults, and the
// record of a fit is kept and read back.
#include "fsrsfit.h"
#include "learnerweights.h"
#include "specialfiles.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 Day = 86'400'000;
constexpr qint64 Start = 1'760'000'000'000;

// Weights of a learner who forgets faster than the average one: a shorter
// first stability, slower growth after each recall, a harder fall after a
// lapse.
Fsrs::Weights forgetful()
{
    Fsrs::Weights w = Fsrs::DefaultWeights;
    w[0] = 0.8;
    w[2] = 1.2;
    w[8] = 0.9;
    w[10] = 0.7;
    w[11] = 1.0;
    return w;
}

// `days` of practice on `questions` questions: each day some new ones,
// every one the learner's own schedule says is due and twenty at random, at a retention drawn
// between 0.7 and 0.95 so the answers come at many chances of recall.
// Every answer is right with R + (1 - R) * guess, R from `truth`.
QList<AnswerOutcome> simulate(const Fsrs::Weights &truth, int questions, int days, double guess,
                              quint32 seed)
{
    QRandomGenerator random(seed);
    struct Item
    {
        Fsrs::MemoryState state;
        qint64 lastMs = 0;
        qint64 dueMs = 0;
        bool seen = false;
    };
    std::vector<Item> items(static_cast<size_t>(questions));
    QList<AnswerOutcome> answers;
    int introduced = 0;
    for (int day = 0; day < days; ++day) {
        qint64 now = Start + day * Day + 9 * 3'600'000;
        const int fresh = std::min(questions - introduced, 40);
        QList<int> today;
        for (int i = 0; i < fresh; ++i)
            today << introduced++;
        for (int q = 0; q < introduced - fresh; ++q)
            if (items[size_t(q)].dueMs <= now)
                today << q;
        // And a ticket's worth of questions seen before, due or not, as the
        // ticket modes bring them.
        for (int i = 0; i < 20 && introduced > fresh; ++i)
            today << int(random.bounded(introduced - fresh));
        for (int q : today) {
            Item &item = items[size_t(q)];
            const double r = item.seen ? Fsrs::retrievability(double(now - item.lastMs) / Day,
                                                              item.state.stability)
                                       : 0.0;
            const bool right = random.generateDouble() < r + (1 - r) * guess;
            const auto grade = right ? Fsrs::Grade::Good : Fsrs::Grade::Again;
            item.state = item.seen ? Fsrs::nextState(item.state, double(now - item.lastMs) / Day,
                                                     grade, truth)
                                   : Fsrs::initialState(grade, truth);
            item.seen = true;
            item.lastMs = now;
            const double retention = 0.7 + 0.25 * random.generateDouble();
            item.dueMs = now + qint64(std::max(1.0, std::round(Fsrs::intervalDays(
                                                        item.state.stability, retention))) *
                                      Day);
            answers.append(AnswerOutcome{q + 1, right, now});
            now += 20'000;
        }
    }
    return answers;
}

FsrsFit::GuessChances guesses(double g)
{
    FsrsFit::GuessChances c{};
    c.fill(g);
    return c;
}

} // namespace

class TestFsrsFit : public QObject
{
    Q_OBJECT

private slots:
    void enoughHistory_data();
    void enoughHistory();
    void fit_recoversKnownWeights();
    void fit_neverWorseThanDefaultsOnHeldOut_data();
    void fit_neverWorseThanDefaultsOnHeldOut();
    void record_keptPerDatabaseAndRefitWeekly();
    void record_tamperedOrNotAFile_readSafely_data();
    void record_tamperedOrNotAFile_readSafely();
};

void TestFsrsFit::enoughHistory_data()
{
    QTest::addColumn<int>("answers");
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("days");
    QTest::addColumn<bool>("enough");
    QTest::newRow("at every threshold") << 400 << 100 << 7 << true;
    QTest::newRow("one answer short") << 399 << 100 << 7 << false;
    QTest::newRow("one question short") << 400 << 99 << 7 << false;
    QTest::newRow("a day short") << 400 << 100 << 6 << false;
}

void TestFsrsFit::enoughHistory()
{
    QFETCH(int, answers);
    QFETCH(int, questions);
    QFETCH(int, days);
    QFETCH(bool, enough);
    QList<AnswerOutcome> list;
    for (int i = 0; i < answers; ++i)
        list.append({i % questions + 1, true, Start + qint64(i) * days * Day / (answers - 1)});
    QCOMPARE(FsrsFit::enoughHistory(list), enough);
}

void TestFsrsFit::fit_recoversKnownWeights()
{
    const Fsrs::Weights truth = forgetful();
    const QList<AnswerOutcome> answers = simulate(truth, 800, 365, 1.0 / 3, 7);
    qInfo("%lld answers", qlonglong(answers.size()));
    QVERIFY(answers.size() > 10000);
    const FsrsFit::GuessChances guess = guesses(1.0 / 3);
    const FsrsFit::Result fit = FsrsFit::fit(answers, guess);
    const qsizetype from = fit.trainingAnswers;
    const double trueLoss = FsrsFit::logLoss(answers, truth, guess, from, answers.size());
    qInfo("held-out log-loss: defaults %.4f, fitted %.4f, true weights %.4f", fit.defaultLogLoss,
          fit.fittedLogLoss, trueLoss);
    for (int i : {0, 2, 8, 10, 11})
        qInfo("w%d: true %.3f, fitted %.3f, default %.3f", i, truth[size_t(i)],
              fit.weights[size_t(i)], Fsrs::DefaultWeights[size_t(i)]);
    QVERIFY(fit.beatsDefaults());
    // The fitted weights predict the held-out answers about as well as the
    // truth itself, and far better than the defaults.
    QCOMPARE_LE(fit.fittedLogLoss, trueLoss + 0.002);
    QVERIFY(fit.defaultLogLoss - fit.fittedLogLoss > 0.01);
    // The initial stabilities and the growth after a recall come back within
    // 25 %. The lapse weights (w11..w14) trade off against each other and
    // are recovered only together, through the predictions above.
    for (int i : {0, 2, 8, 10})
        QVERIFY2(qAbs(fit.weights[size_t(i)] / truth[size_t(i)] - 1) < 0.25,
                 qPrintable(QStringLiteral("w%1 = %2").arg(i).arg(fit.weights[size_t(i)])));
}

void TestFsrsFit::fit_neverWorseThanDefaultsOnHeldOut_data()
{
    QTest::addColumn<bool>("averageLearner");
    QTest::addColumn<int>("days");
    QTest::newRow("average learner, a month") << true << 30;
    QTest::newRow("average learner, ten days") << true << 10;
    QTest::newRow("forgetful learner, ten days") << false << 10;
}

void TestFsrsFit::fit_neverWorseThanDefaultsOnHeldOut()
{
    QFETCH(bool, averageLearner);
    QFETCH(int, days);
    const Fsrs::Weights truth = averageLearner ? Fsrs::DefaultWeights : forgetful();
    const QList<AnswerOutcome> answers = simulate(truth, 300, days, 0.25, 11);
    qInfo("%lld answers", qlonglong(answers.size()));
    QVERIFY(FsrsFit::enoughHistory(answers));
    const FsrsFit::GuessChances guess = guesses(0.25);
    const FsrsFit::Result fit = FsrsFit::fit(answers, guess);
    const LearnerWeights::Record record = LearnerWeights::fromFit(fit, Start, int(answers.size()));
    const double inUse = FsrsFit::logLoss(answers, LearnerWeights::weightsInUse(record), guess,
                                          fit.trainingAnswers, answers.size());
    QCOMPARE_LE(inUse, fit.defaultLogLoss);
    QCOMPARE(record.used, fit.fittedLogLoss < fit.defaultLogLoss);
}

void TestFsrsFit::record_keptPerDatabaseAndRefitWeekly()
{
    QTemporaryDir dir;
    const QString path = LearnerWeights::filePathIn(dir.path());
    QVERIFY(!LearnerWeights::load(path, QStringLiteral("a")));

    LearnerWeights::Record a;
    a.fittedAtMs = Start;
    a.answers = 401;
    a.weights = forgetful();
    a.defaultLogLoss = 0.5;
    a.fittedLogLoss = 0.4;
    a.used = true;
    LearnerWeights::Record b = a;
    b.used = false;
    QVERIFY(LearnerWeights::save(path, QStringLiteral("a"), a));
    QVERIFY(LearnerWeights::save(path, QStringLiteral("b"), b));
    QCOMPARE(LearnerWeights::load(path, QStringLiteral("a")), a);
    QCOMPARE(LearnerWeights::load(path, QStringLiteral("b")), b);
    QCOMPARE(LearnerWeights::weightsInUse(a), forgetful());
    QCOMPARE(LearnerWeights::weightsInUse(b), Fsrs::DefaultWeights);
    QVERIFY(LearnerWeights::description(a).contains(QStringLiteral("ваши собственные")));
    QVERIFY(LearnerWeights::description(a).contains(QStringLiteral("по 401 ответу")));
    QVERIFY(LearnerWeights::description(b).contains(QStringLiteral("стандартные")));
    QVERIFY(LearnerWeights::remove(path, QStringLiteral("a")));
    QVERIFY(!LearnerWeights::load(path, QStringLiteral("a")));
    QCOMPARE(LearnerWeights::load(path, QStringLiteral("b")), b);

    // Weekly, and only with enough history.
    QList<AnswerOutcome> answers;
    for (int i = 0; i < 400; ++i)
        answers.append({i % 100 + 1, true, Start + qint64(i) * 8 * Day / 400});
    QVERIFY(LearnerWeights::refitDue(std::nullopt, answers, Start + 8 * Day));
    QVERIFY(!LearnerWeights::refitDue(a, answers, Start + 6 * Day));
    QVERIFY(LearnerWeights::refitDue(a, answers, Start + 7 * Day));
    QVERIFY(LearnerWeights::refitDue(a, answers, Start - Day)); // clock set back
    QVERIFY(!LearnerWeights::refitDue(std::nullopt, answers.mid(0, 399), Start + 8 * Day));

    // A damaged file, or weights that would break the model, are not used.
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{\"b\": {\"weights\": [0, 1, 2], \"used\": true}, \"c\": 5");
    file.close();
    QVERIFY(!LearnerWeights::load(path, QStringLiteral("b")));
    LearnerWeights::Record broken = a;
    broken.weights[0] = -1;
    QVERIFY(LearnerWeights::save(path, QStringLiteral("c"), broken));
    QVERIFY(!LearnerWeights::load(path, QStringLiteral("c"))->used);
}

void TestFsrsFit::record_tamperedOrNotAFile_readSafely_data()
{
    QTest::addColumn<QString>("kind"); // "file" with `content`, "fifo" or "folder"
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("loaded");

    QByteArray weights = "[";
    for (size_t i = 0; i < Fsrs::DefaultWeights.size(); ++i)
        weights += (i ? "," : "") + QByteArray::number(Fsrs::DefaultWeights[i]);
    weights += "]";
    const auto record = [&weights](const QByteArray &fittedAt) {
        return "{\"a\": {\"weights\": " + weights + ", \"fittedAt\": " + fittedAt +
               ", \"answers\": 1e300, \"used\": true}}";
    };
    QTest::newRow("well formed") << "file" << record("1760000000000") << true;
    QTest::newRow("garbage") << "file" << QByteArray("\x89PNG\r\n\0\0garbage") << false;
    QTest::newRow("an array") << "file" << QByteArray("[1, 2, 3]") << false;
    QByteArray textWeight = record("1");
    textWeight.insert(textWeight.indexOf(','), '"').insert(textWeight.indexOf('[') + 1, '"');
    QTest::newRow("a weight as text") << "file" << textWeight << false;
    // Times a hand or a tool left: undefined as integers, or overflowing the
    // weekly arithmetic; read as far off, so the weights are refit.
    QTest::newRow("fitted at 1e300") << "file" << record("1e300") << true;
    QTest::newRow("fitted at -1e300") << "file" << record("-1e300") << true;
    QTest::newRow("fitted at the least 64-bit time")
        << "file" << record("-9223372036854775808") << true;
    QTest::newRow("folder") << "folder" << QByteArray() << false;
#ifdef Q_OS_UNIX
    // Read when the learner window opens: a pipe must not hold it up.
    QTest::newRow("named pipe") << "fifo" << QByteArray() << false;
#endif
}

void TestFsrsFit::record_tamperedOrNotAFile_readSafely()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    QFETCH(bool, loaded);
    QTemporaryDir dir;
    const QString path = LearnerWeights::filePathIn(dir.path());
    if (kind == QLatin1String("file")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    } else {
        QVERIFY(SpecialFiles::make(kind, path));
    }
    std::optional<LearnerWeights::Record> record;
    QVERIFY2(SpecialFiles::finishesWithoutWaiting(
                 path, [&] { record = LearnerWeights::load(path, QStringLiteral("a")); }),
             "reading waits on the file");
    QCOMPARE(record.has_value(), loaded);
    if (!record)
        return;
    QList<AnswerOutcome> answers;
    for (int i = 0; i < 400; ++i)
        answers.append({i % 100 + 1, true, Start + qint64(i) * 8 * Day / 400});
    // Fitted within the last week of the well-formed record; any tampered
    // time is as good as no fit.
    const bool wellFormed = QByteArray(QTest::currentDataTag()) == "well formed";
    QCOMPARE(LearnerWeights::refitDue(record, answers, Start + 3 * Day), !wellFormed);
    QVERIFY(!LearnerWeights::description(record).isEmpty());
}

QTEST_GUILESS_MAIN(TestFsrsFit)
#include "tst_fsrsfit.moc"
