#include "Commands.h"
#include "Console.h"

#include "generation/RandomSource.h"
#include "generation/WordPool.h"

#include <cmath>

using namespace lexiglow;

namespace lxg {

namespace {

QString twoDecimals(double value) { return QString::number(value, 'f', 2); }

QString powerOfTwo(double value) { return QStringLiteral("2^") + QString::number(std::log2(value), 'f', 1); }

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
    const PasswordRequest request = suggestRequest(parsed);
    SystemRandomSource random;
    ErrorStreamNotice notice;
    SuggestionEngine engine(random, notice);
    if (!readLists(engine, notice, parsed))
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
          << "average guesses: " << QString::number(figures.averageGuesses, 'g', 3) << " ("
          << powerOfTwo(figures.averageGuesses) << ")\n"
          << "verdict: " << strengthVerdict(figures.entropy) << ", for an attacker who knows your lists and settings; "
          << "the likeliest password has " << twoDecimals(figures.minEntropy) << " bits\n";
    return exitOk;
}

} // namespace lxg
