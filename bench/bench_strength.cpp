// The strength figures of a pool and settings, and one password's bits.

#include "BenchLists.h"

#include "generation/StrengthModel.h"
#include "generation/WordPool.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

using namespace lexiglow;

namespace {

// The words of the eight shipped lists, in the order of their folders.
const WordPool &shippedPool()
{
    static WordPool pool;
    if (pool.size() == 0) {
        const QDir lists(QStringLiteral(WORDLIST_SOURCES));
        for (const QString &id : lists.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            QFile file(lists.filePath(id + QStringLiteral("/words.txt")));
            if (!file.open(QIODevice::ReadOnly))
                qFatal("cannot read the shipped lists");
            for (const QByteArray &line : file.readAll().split('\n')) {
                if (!line.isEmpty())
                    pool.append(QString::fromUtf8(line));
            }
        }
    }
    return pool;
}

// Argument: letter case (0 keep, 1 lower, 2 upper) + 3 * replacement + 6 * special characters.
PasswordRules rules(int combination)
{
    const PasswordRules::Case cases[] = {PasswordRules::Case::Keep, PasswordRules::Case::Lower,
                                         PasswordRules::Case::Upper};
    return {8, 32, cases[combination % 3], (combination / 3) % 2 == 1, combination / 6 == 1};
}

void figuresOfShippedLists(benchmark::State &state)
{
    const WordPool &pool = shippedPool();
    const PasswordRules settings = rules(int(state.range(0)));
    for (auto _ : state) {
        const StrengthModel model(pool, settings);
        benchmark::DoNotOptimize(model.figures().entropy);
    }
    const StrengthModel model(pool, settings);
    state.counters["entropy"] = model.figures().entropy;
    state.counters["min_entropy"] = model.figures().minEntropy;
}
BENCHMARK(figuresOfShippedLists)->DenseRange(0, 11)->Unit(benchmark::kMillisecond);

void figuresOfHundredThousandWords(benchmark::State &state)
{
    static WordPool pool;
    if (pool.size() == 0) {
        for (const QString &word : madeUpWords(100000, 7))
            pool.append(word);
    }
    const PasswordRules settings = rules(int(state.range(0)));
    for (auto _ : state) {
        const StrengthModel model(pool, settings);
        benchmark::DoNotOptimize(model.figures().entropy);
    }
    const StrengthModel model(pool, settings);
    state.counters["entropy"] = model.figures().entropy;
}
BENCHMARK(figuresOfHundredThousandWords)->Arg(0)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond)->Iterations(1);

void bitsOfOnePassword(benchmark::State &state)
{
    const StrengthModel model(shippedPool(), rules(0));
    const QString password = QStringLiteral("90SnowyTeacake");
    for (auto _ : state)
        benchmark::DoNotOptimize(model.bits(password));
}
BENCHMARK(bitsOfOnePassword);

} // namespace
