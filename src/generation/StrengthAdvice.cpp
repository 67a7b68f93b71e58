#include "generation/StrengthAdvice.h"

#include "generation/SuggestionEngine.h"
#include "generation/WordPool.h"
#include "platform/Notice.h"

#include <algorithm>
#include <cmath>

namespace lexiglow {

namespace {

// A list that cannot be read adds no words to a pool the advice reads; the
// user hears of it where the list is used.
class QuietNotice final : public Notice
{
public:
    void tell(const QString &) override {}
};

// The figures of pool under rules with the floor asked for; nothing when the
// model is not worked out or the floor is out of its reach.
std::optional<StrengthFigures> figuresOf(const WordPool &pool, const PasswordRules &rules,
                                         std::optional<double> floor, const std::stop_token &stop,
                                         const ModelMaker &makeModel)
{
    const std::unique_ptr<StrengthModel> model = makeModel(pool, rules, stop);
    if (!model->workedOut())
        return std::nullopt;
    const FloorOutcome outcome = model->setFloor(floor);
    if (outcome.kind != FloorOutcome::Kind::None && outcome.kind != FloorOutcome::Kind::Met)
        return std::nullopt;
    return model->figures();
}

void appendLists(WordPool &pool, const QStringList &paths)
{
    QuietNotice quiet;
    for (const QString &path : paths)
        appendList(pool, path, quiet);
}

// The highest Minimum Strength of current's rules, rounded down to
// hundredths, with the figures it gives; nothing when it is not above floor.
std::optional<Advice> highestFloor(const StrengthModel &current, std::optional<double> floor)
{
    strength::Distribution distribution = current.distribution();
    distribution.clearFloor();
    const std::optional<double> highest = distribution.highestFloor();
    if (!highest)
        return std::nullopt;
    const double advised = std::floor(*highest * 100) / 100;
    if ((floor && *floor >= advised) || !distribution.setFloor(advised))
        return std::nullopt;
    return Advice{Advice::Change::Floor, distribution.figures(), advised};
}

} // namespace

std::unique_ptr<StrengthModel> makeStrengthModel(const WordPool &pool, const PasswordRules &rules, std::stop_token stop)
{
    return std::make_unique<StrengthModel>(pool, rules, StrengthModel::maximumWork, std::move(stop));
}

StrengthAdvice adviseOn(const StrengthModel &current, const WordPool &pool, const PasswordRequest &request,
                        const AdviceLists &lists, std::stop_token stop, const ModelMaker &makeModel)
{
    StrengthAdvice advice;
    if (!current.workedOut())
        return advice;
    const PasswordRules &rules = request.rules;
    std::vector<Advice> changes;
    const auto consider = [&](Advice::Change change, const WordPool &changedPool, const PasswordRules &changedRules) {
        if (stop.stop_requested())
            return;
        if (const std::optional<StrengthFigures> figures = figuresOf(changedPool, changedRules, request.floor, stop, makeModel))
            changes.push_back({change, *figures});
    };
    if (!rules.specialCharacters) {
        PasswordRules special = rules;
        special.specialCharacters = true;
        consider(Advice::Change::SpecialCharacters, pool, special);
    }
    if (!lists.everyList.isEmpty()) {
        WordPool every;
        appendLists(every, lists.everyList);
        consider(Advice::Change::EveryList, every, rules);
    }
    if (!lists.largeList.isEmpty()) {
        WordPool larger;
        for (qsizetype k = 1; k <= pool.size(); ++k)
            larger.append(pool.entry(k));
        appendLists(larger, {lists.largeList});
        if (larger.size() > pool.size())
            consider(Advice::Change::LargeList, larger, rules);
    }
    if (std::optional<Advice> floor = highestFloor(current, request.floor))
        changes.push_back(*floor);
    if (rules.letterReplacement) {
        PasswordRules plain = rules;
        plain.letterReplacement = false;
        if (const std::optional<StrengthFigures> figures = figuresOf(pool, plain, request.floor, stop, makeModel))
            advice.withoutReplacement = Advice{Advice::Change::NoReplacement, *figures};
    }
    if (stop.stop_requested())
        return {.stopped = true};
    // Raising it by less than shows in hundredths of a bit is no advice.
    const double now = current.figures().entropy;
    std::erase_if(changes, [now](const Advice &change) { return change.figures.entropy < now + 0.005; });
    std::stable_sort(changes.begin(), changes.end(),
                     [](const Advice &a, const Advice &b) { return a.figures.entropy > b.figures.entropy; });
    if (changes.size() > 2)
        changes.erase(changes.begin() + 2, changes.end());
    advice.best = std::move(changes);
    return advice;
}

} // namespace lexiglow
