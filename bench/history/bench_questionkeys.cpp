// What the content keys add to opening a question database: computing them
// from a database the size of the official tickets, and finding them stored
// in the history on later openings.
#include "answerhistory.h"
#include "databasefingerprint.h"
#include "databasewriter.h"
#include "questiondatabase.h"
#include "questionkeys.h"
#include "syntheticdatabase.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// 800 questions, 550 of them with a picture of 27 KB: about 15 MB, as the
// official tickets. The keys hash the pictures' bytes without decoding
// them, so random bytes cost the same as JPEG.
struct OfficialSizeDatabase
{
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("official.dbv"));
    OfficialSizeDatabase()
    {
        QRandomGenerator random(5);
        DatabaseWriter writer;
        writer.setTitle(QStringLiteral("Экзаменационные билеты"));
        for (int a = 1; a <= 800; ++a) {
            QByteArray picture;
            if (a % 16 < 11) {
                picture.resize(27 * 1024);
                random.fillRange(reinterpret_cast<quint32 *>(picture.data()),
                                 picture.size() / 4);
            }
            writer.setQuestion(a, DatabaseWriter::textBlock(SyntheticDatabase::questionLines(a)),
                               picture);
        }
        writer.writeFile(path);
    }
};

const QString &databasePath()
{
    static OfficialSizeDatabase database;
    return database.path;
}

// What opening costs without keys: the fingerprint of title and index.
void BM_OpenFingerprintOnly(benchmark::State &state)
{
    const QString path = databasePath();
    for (auto _ : state)
        benchmark::DoNotOptimize(DatabaseFingerprint::fromFile(path));
}
BENCHMARK(BM_OpenFingerprintOnly)->Unit(benchmark::kMillisecond);

// The first opening of a database: read every question and picture and
// hash them.
void BM_ComputeKeysOfficialSize(benchmark::State &state)
{
    const QString path = databasePath();
    const QString fingerprint = DatabaseFingerprint::fromFile(path);
    for (auto _ : state) {
        QuestionDatabase database;
        database.openDatabase(path);
        benchmark::DoNotOptimize(QuestionKeys::compute(database, fingerprint));
    }
}
BENCHMARK(BM_ComputeKeysOfficialSize)->Unit(benchmark::kMillisecond);

// The same through the history, as the program opens a database whose file
// changed since: compute, store the 800 keys and key its answers.
void BM_AttachKeysComputed(benchmark::State &state)
{
    QTemporaryDir dir;
    AnswerHistory history(AnswerHistory::filePathIn(dir.path()));
    const QString path = databasePath();
    const QString fingerprint = DatabaseFingerprint::fromFile(path);
    QuestionKeys::attach(history, path, fingerprint);
    for (auto _ : state) {
        state.PauseTiming();
        auto stale = *history.questionKeys(fingerprint);
        stale.fileSize = 0;
        history.registerQuestionKeys(fingerprint, stale);
        state.ResumeTiming();
        QuestionKeys::attach(history, path, fingerprint);
    }
}
BENCHMARK(BM_AttachKeysComputed)->Unit(benchmark::kMillisecond);

// Every later opening: the keys are found stored for the unchanged file.
void BM_AttachKeysStored(benchmark::State &state)
{
    QTemporaryDir dir;
    AnswerHistory history(AnswerHistory::filePathIn(dir.path()));
    const QString path = databasePath();
    const QString fingerprint = DatabaseFingerprint::fromFile(path);
    QuestionKeys::attach(history, path, fingerprint);
    for (auto _ : state)
        benchmark::DoNotOptimize(QuestionKeys::attach(history, path, fingerprint));
}
BENCHMARK(BM_AttachKeysStored)->Unit(benchmark::kMillisecond);

} // namespace
