#pragma once

#include "generation/PasswordRequest.h"
#include "generation/StrengthModel.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

namespace lexiglow {

class WordPool;

// How a strength model is made: in the programs the model itself, at its
// limit of work; tests put a slower one in its place.
using ModelMaker =
    std::function<std::unique_ptr<StrengthModel>(const WordPool &pool, const PasswordRules &rules, std::stop_token stop)>;
std::unique_ptr<StrengthModel> makeStrengthModel(const WordPool &pool, const PasswordRules &rules, std::stop_token stop);

// The lists the changes of lists would read, by path.
struct AdviceLists
{
    // Every list of the library in its order, when some are not in use;
    // else none.
    QStringList everyList;
    // The large list, when the library lacks it; else empty.
    QString largeList;

    friend bool operator==(const AdviceLists &, const AdviceLists &) = default;
};

// A change open to the user, and the figures the passwords would have with
// it, worked out by the same model.
struct Advice
{
    enum class Change {
        SpecialCharacters, // turned on
        EveryList, // every list of the library ticked
        LargeList, // the large list added to those in use
        Floor, // a Minimum Strength: the highest these rules reach
        NoReplacement, // letter replacement turned off
    };
    Change change;
    StrengthFigures figures;
    // For Floor: the Minimum Strength advised, in hundredths of a bit
    // rounded down, so that typed as shown it is within reach.
    double floor = 0;
};

struct StrengthAdvice
{
    // The one or two changes that raise the entropy most, the most first;
    // none that would not raise it.
    std::vector<Advice> best = {};
    // With letter replacement on, the figures without it: the replacement is
    // the same every time, so an attacker who knows the settings gains all
    // of it back.
    std::optional<Advice> withoutReplacement = {};
    // Asked to stop before it was whole: there is no advice.
    bool stopped = false;
};

// What each change open to pool and request would give, each change alone:
// special characters (when off), every list of the library, the large list
// added after the lists in use, and the highest Minimum Strength (when above
// the one asked for). current is the model of pool and request.rules, with
// the request's floor set. A change whose model is not worked out, or under
// which the floor asked for is out of reach, is left out; so is everything
// when current is not worked out. Lists that cannot be read add no words.
StrengthAdvice adviseOn(const StrengthModel &current, const WordPool &pool, const PasswordRequest &request,
                        const AdviceLists &lists, std::stop_token stop = {},
                        const ModelMaker &makeModel = makeStrengthModel);

} // namespace lexiglow
