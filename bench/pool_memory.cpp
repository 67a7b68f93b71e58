// Peak memory of building the word pool from a list of a million words,
// against the words' raw text (one word a line, UTF-8).

#include "BenchLists.h"

#include "generation/RandomSource.h"
#include "generation/SuggestionEngine.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <malloc.h>

using namespace lexiglow;

namespace {

qint64 statusKilobytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

void resetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("million.lxg"));
    qint64 rawText = 0;
    {
        const QStringList words = madeUpWords(1000000, 7);
        rawText = rawTextSize(words);
        writeList(path, words);
    }

    SystemRandomSource random;
    SilentNotice notice;
    SuggestionEngine engine(random, notice);
    engine.buildlist({}, {QString()}); // everything but the words themselves
    malloc_trim(0);
    resetPeak();
    const qint64 before = statusKilobytes("VmRSS:");

    engine.buildlist({{true, QStringLiteral("file_1")}}, {QString(), path});

    const qint64 peak = statusKilobytes("VmHWM:") - before;
    std::printf("words: %lld, raw text: %.1f MB, peak memory of the pool build: %.1f MB, ratio %.2f\n",
                static_cast<long long>(engine.pool().size()), rawText / 1e6, peak * 1024 / 1e6,
                double(peak * 1024) / double(rawText));
    return 0;
}
