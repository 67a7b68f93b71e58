// Throughput of the Base64 codec and of reading list files.

#include "BenchLists.h"

#include "store/CBase64.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace lexiglow;

namespace {

void base64Encode(benchmark::State &state)
{
    const CBase64 codec;
    const QByteArray bytes(state.range(0), 'x');
    for (auto _ : state)
        benchmark::DoNotOptimize(codec.encodeToCodes(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(base64Encode)->Arg(16)->Arg(1 << 20);

void base64Decode(benchmark::State &state)
{
    const CBase64 codec;
    const QByteArray text = codec.encodeToCodes(QByteArray(state.range(0), 'x'));
    for (auto _ : state)
        benchmark::DoNotOptimize(codec.decodeCodes(text));
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(base64Decode)->Arg(16)->Arg(1 << 20);

// A list of a million words, written once.
struct MillionWordList
{
    MillionWordList()
    {
        words = madeUpWords(1000000, 7);
        path = dir.filePath(QStringLiteral("million.lxg"));
        writeList(path, words);
        fileSize = QFileInfo(path).size();
    }
    QTemporaryDir dir;
    QStringList words;
    QString path;
    qint64 fileSize = 0;
};

const MillionWordList &millionWordList()
{
    static const MillionWordList list;
    return list;
}

void readData(benchmark::State &state)
{
    const MillionWordList &file = millionWordList();
    SilentNotice notice;
    for (auto _ : state) {
        wordList list(notice);
        list.ReadData(file.path);
        benchmark::DoNotOptimize(list.getlist().upperBound());
    }
    state.SetBytesProcessed(state.iterations() * file.fileSize);
    state.SetItemsProcessed(state.iterations() * file.words.size());
}
BENCHMARK(readData)->Unit(benchmark::kMillisecond);

void readDataStreamed(benchmark::State &state)
{
    const MillionWordList &file = millionWordList();
    SilentNotice notice;
    for (auto _ : state) {
        wordList list(notice);
        qsizetype characters = 0;
        list.ReadData(file.path, [&](QStringView word) { characters += word.size(); });
        benchmark::DoNotOptimize(characters);
    }
    state.SetBytesProcessed(state.iterations() * file.fileSize);
    state.SetItemsProcessed(state.iterations() * file.words.size());
}
BENCHMARK(readDataStreamed)->Unit(benchmark::kMillisecond);

} // namespace
