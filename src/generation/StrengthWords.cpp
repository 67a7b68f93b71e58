#include "generation/StrengthWords.h"

#include "generation/GuessingTime.h"

#include <QFileInfo>
#include <QLocale>

#include <cmath>

namespace lexiglow {

namespace {

QString onlineTime(const StrengthFigures &figures)
{
    return timeInWords(figures.averageGuesses / onlineUnlimited.perSecond);
}

QString change(const Advice &advice, const QString &largeList)
{
    switch (advice.change) {
    case Advice::Change::SpecialCharacters:
        return QStringLiteral("special characters");
    case Advice::Change::EveryList:
        return QStringLiteral("ticking every list");
    case Advice::Change::LargeList:
        return QStringLiteral("the large list %1").arg(QFileInfo(largeList).fileName());
    case Advice::Change::Floor:
        return QStringLiteral("Minimum Strength %1").arg(advice.floor, 0, 'f', 2);
    case Advice::Change::NoReplacement:
        break;
    }
    return QStringLiteral("no letter replacement");
}

} // namespace

QString guessCount(double guesses)
{
    const double figures = std::pow(10.0, std::floor(std::log10(std::max(guesses, 1.0))) - 2);
    return QLocale(QLocale::English).toString(std::round(guesses / figures) * figures, 'f', 0);
}

QString strengthSentences(const StrengthFigures &figures)
{
    QString verdict = strengthVerdict(figures.entropy);
    verdict[0] = verdict[0].toUpper();
    return QStringLiteral("%1: at 10 guesses a second (a login without a limit) an attacker who knows your lists and "
                          "settings needs %2 on average; at 10 billion a second (a stolen, fast-hashed file), %3. One "
                          "in ten falls within %4 guesses; %5 bits, the likeliest password %6.")
        .arg(verdict, onlineTime(figures), timeInWords(figures.averageGuesses / offlineFast.perSecond),
             guessCount(figures.tenthGuesses), QString::number(figures.entropy, 'f', 1),
             QString::number(figures.minEntropy, 'f', 1));
}

QString adviceSentences(const StrengthAdvice &advice, const StrengthFigures &now, const QString &largeList)
{
    QStringList parts;
    for (const Advice &each : advice.best) {
        parts << QStringLiteral("%1 (%2 bits, %3%4)")
                     .arg(change(each, largeList), QString::number(each.figures.entropy, 'f', 1),
                          onlineTime(each.figures), parts.isEmpty() ? QStringLiteral(" at 10 guesses a second") : QString());
    }
    QString text = parts.isEmpty() ? QString() : QStringLiteral("Stronger: ") + parts.join(QStringLiteral("; ")) + u'.';
    if (const std::optional<Advice> &plain = advice.withoutReplacement) {
        const double adds = now.entropy - plain->figures.entropy;
        text += QStringLiteral("%1Letter replacement adds %2 bits: it is the same every time.")
                    .arg(text.isEmpty() ? QString() : QStringLiteral(" "),
                         QString::number(std::abs(adds) < 0.05 ? 0 : adds, 'f', 1));
    }
    return text;
}

} // namespace lexiglow
