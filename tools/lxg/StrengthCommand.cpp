#include "Commands.h"
#include "Console.h"

#include "generation/GuessingTime.h"
#include "generation/RandomSource.h"
#include "generation/StrengthAdvice.h"
#include "generation/WordPool.h"
#include "library/LargeList.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cmath>

using namespace lexiglow;

namespace lxg {

namespace {

QString twoDecimals(double value) { return QString::number(value, 'f', 2); }

QString powerOfTwo(double value) { return QStringLiteral("2^") + QString::number(std::log2(value), 'f', 1); }

// A number as "average guesses" has it: 6.86e+08, and 2^29.4.
QString threeDigits(double value) { return QString::number(value, 'g', 3); }

// The large list, unless the lists in use hold it already.
QString largeListToAdd(const QStringList &lists)
{
    const QString large = largeListPath(QCoreApplication::applicationDirPath());
    const QString canonical = QFileInfo(large).canonicalFilePath();
    for (const QString &list : lists) {
        if (QFileInfo(list).canonicalFilePath() == canonical)
            return {};
    }
    return large;
}

// "advice: CHANGE: E bits (VERDICT), TIME at 10 guesses a second".
QString adviceLine(const QString &change, const StrengthFigures &figures)
{
    return QStringLiteral("advice: %1: %2 bits (%3), %4 at 10 guesses a second\n")
        .arg(change, twoDecimals(figures.entropy), strengthVerdict(figures.entropy),
             timeInWords(figures.averageGuesses / onlineUnlimited.perSecond));
}

void printAdvice(const StrengthAdvice &advice, const QString &largeList, const StrengthFigures &now)
{
    for (const Advice &change : advice.best) {
        switch (change.change) {
        case Advice::Change::SpecialCharacters:
            out() << adviceLine(QStringLiteral("--special"), change.figures);
            break;
        case Advice::Change::Floor:
            out() << adviceLine(QStringLiteral("--min-bits ") + twoDecimals(change.floor), change.figures);
            break;
        case Advice::Change::LargeList:
            out() << adviceLine(QStringLiteral("add ") + largeList, change.figures);
            break;
        case Advice::Change::EveryList: // lxg reads every list of the library, or those given
        case Advice::Change::NoReplacement:
            break;
        }
    }
    if (const std::optional<Advice> &plain = advice.withoutReplacement) {
        const double adds = now.entropy - plain->figures.entropy;
        out() << adviceLine(QStringLiteral("--no-replace"), plain->figures).chopped(1) << "; letter replacement adds "
              << twoDecimals(std::abs(adds) < 0.005 ? 0 : adds) << " bits\n";
    }
}

} // namespace

std::optional<std::unique_ptr<StrengthModel>> strengthModel(const WordPool &pool, const PasswordRequest &request)
{
    auto model = std::make_unique<StrengthModel>(pool, request.rules);
    if (!model->workedOut()) {
        err() << "lxg: the strength of these lists and settings could not be worked out in time: too many of their "
                 "words run into one another"
              << Qt::endl;
        return std::nullopt;
    }
    const FloorOutcome outcome = model->setFloor(request.floor);
    switch (outcome.kind) {
    case FloorOutcome::Kind::None:
    case FloorOutcome::Kind::Met:
        return model;
    case FloorOutcome::Kind::Unreachable:
        err() << "lxg: these lists and settings cannot give " << twoDecimals(outcome.floor)
              << " bits; the highest floor they can reach is " << twoDecimals(outcome.highest) << " bits" << Qt::endl;
        break;
    case FloorOutcome::Kind::TooFewFit:
        err() << "lxg: too few candidates fit the length limits for any floor" << Qt::endl;
        break;
    case FloorOutcome::Kind::NotWorkedOut: // said above
        break;
    }
    return std::nullopt;
}

int strength(const QStringList &args)
{
    const Arguments parsed = Arguments::parse(args, suggestOptions(), suggestFlags());
    const std::optional<PasswordRequest> asked = suggestRequest(parsed);
    if (!asked)
        return exitFailure;
    const PasswordRequest &request = *asked;
    SystemRandomSource random;
    ErrorStreamNotice notice;
    SuggestionEngine engine(random, notice);
    const std::optional<QStringList> lists = readLists(engine, notice, parsed);
    if (!lists)
        return exitFailure;
    const std::optional<std::unique_ptr<StrengthModel>> made = strengthModel(engine.pool(), request);
    if (!made)
        return exitFailure;
    const StrengthModel &model = **made;
    const StrengthFigures &figures = model.figures();

    if (!model.hasWords())
        out() << "The lists hold no word, so every password is a number.\n";
    if (!model.anyFits())
        out() << "No password can fit the length limits, so each one is the last candidate tried.\n";
    if (model.floor())
        out() << "floor: " << twoDecimals(*model.floor()) << " bits\n";
    out() << "passwords: " << QString::number(figures.distinct, 'f', 0) << " distinct (" << powerOfTwo(figures.distinct)
          << ")\n"
          << "entropy: " << twoDecimals(figures.entropy) << " bits\n"
          << "min-entropy: " << twoDecimals(figures.minEntropy) << " bits\n"
          << "one word or none: " << QString::number(100 * figures.oneWordShare, 'f', 1) << " % of passwords\n"
          << "average guesses: " << threeDigits(figures.averageGuesses) << " (" << powerOfTwo(figures.averageGuesses)
          << ")\n"
          << "a tenth within: " << threeDigits(figures.tenthGuesses) << " guesses (" << powerOfTwo(figures.tenthGuesses)
          << ")\n";
    for (const GuessingRate &rate : guessingRates)
        out() << "time " << rate.name << ": " << timeInWords(figures.averageGuesses / rate.perSecond) << "\n";
    out() << "verdict: " << strengthVerdict(figures.entropy) << ", for an attacker who knows your lists and settings; "
          << "the likeliest password has " << twoDecimals(figures.minEntropy) << " bits\n";
    const QString largeList = largeListToAdd(*lists);
    printAdvice(adviseOn(model, engine.pool(), request, {{}, largeList}), largeList, figures);
    return exitOk;
}

} // namespace lxg
