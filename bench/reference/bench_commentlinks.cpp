// The links of the comments of a database: how many comments name a sign or
// a marking (and, with a reference beside the database, one it holds), and
// how long finding them in all 800 takes. The demo database by default;
// ZELTRAK_BENCH_DATABASE names another.
#include "commentlinks.h"
#include "question.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "questionindexentry.h"
#include "referencefile.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

namespace {

struct Comments
{
    QStringList texts;
    std::optional<Reference> reference;
};

const Comments &comments()
{
    static const Comments loaded = [] {
        Comments result;
        const QString path = qEnvironmentVariableIsSet("ZELTRAK_BENCH_DATABASE")
                                 ? qEnvironmentVariable("ZELTRAK_BENCH_DATABASE")
                                 : QStringLiteral(ZELTRAK_DEMO_DATABASE);
        QuestionDatabase database;
        database.openDatabase(path);
        for (int a = 1; a <= QuestionBankLayout::QuestionCount; ++a) {
            Question question;
            try {
                database.readQuestion(a, question);
            } catch (const QuestionBankError &) {
                continue; // a damaged question has no comment to link
            }
            result.texts << question.commentText;
        }
        QStringList problems;
        result.reference = ReferenceFile::read(ReferenceFile::pathFor(path), &problems);
        return result;
    }();
    return loaded;
}

void BM_FindLinks(benchmark::State &state, bool withReference)
{
    const Comments &loaded = comments();
    const Reference *reference = withReference && loaded.reference ? &*loaded.reference : nullptr;
    int linked = 0;
    for (auto _ : state) {
        linked = 0;
        for (const QString &text : loaded.texts)
            linked += CommentLinks::find(text, reference).isEmpty() ? 0 : 1;
        benchmark::DoNotOptimize(linked);
    }
    state.counters["comments"] = double(loaded.texts.size());
    state.counters["with_link"] = linked;
    state.counters["reference_entries"] = reference
                                              ? reference->entryCount(ReferenceKind::Sign) +
                                                    reference->entryCount(ReferenceKind::Marking)
                                              : 0;
}

BENCHMARK_CAPTURE(BM_FindLinks, any_sign_or_marking, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindLinks, held_by_reference, true)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
