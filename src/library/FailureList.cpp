#include "library/FailureList.h"

namespace lexiglow {

namespace {

constexpr qsizetype shownFailures = 5;
constexpr qsizetype longestLine = 160;

QString shortened(const QString &line)
{
    if (line.size() <= longestLine)
        return line;
    // Both ends stay: where the file is and what is wrong with it.
    const qsizetype half = (longestLine - 1) / 2;
    return line.first(half) + QChar(0x2026) + line.last(half);
}

} // namespace

QString listOfFailures(const QStringList &failures)
{
    QStringList lines;
    for (const QString &failure : failures.mid(0, shownFailures))
        lines.append(shortened(failure));
    if (const qsizetype more = failures.size() - shownFailures; more > 0)
        lines.append(more == 1 ? QStringLiteral("and 1 more") : QStringLiteral("and %1 more").arg(more));
    return lines.join(u'\n');
}

} // namespace lexiglow
