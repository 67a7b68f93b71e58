// The word-pool build and the making of passwords.

#include "BenchLists.h"

#include "generation/RandomSource.h"
#include "generation/SuggestionEngine.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace lexiglow;

namespace {

// One hundred lists of 330 words each, as ticked rows.
struct HundredLists
{
    HundredLists()
    {
        passfiles.append(QString());
        for (int i = 1; i <= 100; ++i) {
            passfiles.append(dir.filePath(QStringLiteral("list%1.lxg").arg(i)));
            writeList(passfiles.last(), madeUpWords(330, quint32(i)));
            rows.append({true, QStringLiteral("file_%1").arg(i)});
        }
    }
    QTemporaryDir dir;
    QStringList passfiles;
    QList<ListRow> rows;
};

void buildPoolFromHundredLists(benchmark::State &state)
{
    static const HundredLists lists;
    SystemRandomSource random;
    SilentNotice notice;
    SuggestionEngine engine(random, notice);
    for (auto _ : state)
        engine.buildlist(lists.rows, lists.passfiles);
    state.SetItemsProcessed(state.iterations() * engine.pool().size());
}
BENCHMARK(buildPoolFromHundredLists)->Unit(benchmark::kMillisecond);

// A pool of 7,776 words, the size of a classic dice word list.
void getpassword(benchmark::State &state, PasswordRules rules)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dice.lxg"));
    writeList(path, madeUpWords(7776, 1));
    SystemRandomSource random;
    SilentNotice notice;
    SuggestionEngine engine(random, notice);
    engine.buildlist({{true, QStringLiteral("file_1")}}, {QString(), path});
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.getpassword(rules));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(getpassword, initialSettings, PasswordRules());
BENCHMARK_CAPTURE(getpassword, unreachableLimits, PasswordRules{.minimum = 12, .maximum = 6})
    ->Unit(benchmark::kMicrosecond);

} // namespace
