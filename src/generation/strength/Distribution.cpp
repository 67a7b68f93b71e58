#include "generation/strength/Distribution.h"

#include <algorithm>
#include <cmath>

namespace lexiglow {
namespace strength {

Distribution::Distribution(std::vector<Bin> bins, long double total, double minimum, double maximum, int attemptLimit)
    : m_bins(std::move(bins))
    , m_total(total)
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_attemptLimit(attemptLimit)
{
    for (const Bin &bin : m_bins) {
        if (fits(bin.length))
            m_fitting += (long double)bin.count * bin.weight / m_total;
    }
    if (m_fitting > 0) {
        // The candidates before the last are tested; the last is returned as is.
        const long double none = std::exp((long double)(m_attemptLimit - 1) * std::log1p(-std::min(m_fitting, 1.0L)));
        m_fitFactor = none + (1 - none) / m_fitting;
        m_otherFactor = none;
    }
}

long double Distribution::chance(quint32 length, Weight weight) const
{
    const long double candidate = candidateChance(weight);
    if (m_threshold)
        return fits(length) && weight <= *m_threshold ? candidate / m_accepted : 0;
    return candidate * (fits(length) ? m_fitFactor : m_otherFactor);
}

std::vector<Distribution::Group> Distribution::ranked() const
{
    std::vector<Group> groups;
    for (const Bin &bin : m_bins) {
        if (const long double chance = this->chance(bin.length, bin.weight); chance > 0)
            groups.push_back({chance, (long double)bin.count});
    }
    std::sort(groups.begin(), groups.end(), [](const Group &a, const Group &b) { return a.chance > b.chance; });
    return groups;
}

StrengthFigures Distribution::figures() const
{
    const std::vector<Group> groups = ranked();
    long double entropy = 0, distinct = 0, guesses = 0;
    for (const Group &group : groups) {
        entropy -= group.count * group.chance * std::log2(group.chance);
        // Passwords of one chance are guessed one after another.
        guesses += group.chance * (group.count * distinct + group.count * (group.count + 1) / 2);
        distinct += group.count;
    }
    StrengthFigures figures;
    figures.entropy = double(entropy);
    figures.minEntropy = groups.empty() ? 0 : double(-std::log2(groups.front().chance));
    figures.distinct = double(distinct);
    figures.averageGuesses = double(guesses);
    figures.tenthGuesses = guessesToFind(groups, 0.1L);
    return figures;
}

double Distribution::guessesToFind(const std::vector<Group> &ranked, long double share)
{
    long double found = 0, guesses = 0;
    for (const Group &group : ranked) {
        const long double left = share - found;
        if (group.chance * group.count * (1 + 1e-12L) >= left) {
            // A needed count that is whole but for rounding stays whole.
            const long double needed = std::ceil(left / group.chance * (1 - 1e-12L));
            return double(guesses + std::clamp(needed, 1.0L, group.count));
        }
        found += group.chance * group.count;
        guesses += group.count;
    }
    return double(guesses); // the chances add up to a hair less than share
}

std::vector<Distribution::Step> Distribution::floorSteps() const
{
    // A threshold accepts every fitting text of that weight or less; with it,
    // the likeliest password, of the threshold's weight, has the bits of
    // log2(accepted weight / threshold).
    std::vector<std::pair<Weight, long double>> fitting;
    for (const Bin &bin : m_bins) {
        if (fits(bin.length))
            fitting.emplace_back(bin.weight, (long double)bin.count * bin.weight);
    }
    std::sort(fitting.begin(), fitting.end());
    std::vector<Step> steps;
    long double below = 0;
    for (std::size_t i = 0; i < fitting.size(); ++i) {
        below += fitting[i].second;
        if (i + 1 < fitting.size() && fitting[i + 1].first == fitting[i].first)
            continue;
        if (below / m_total * m_attemptLimit < 1)
            continue; // most passwords would find no candidate
        steps.push_back({fitting[i].first, double(std::log2(below / fitting[i].first)), below / m_total});
    }
    return steps;
}

std::optional<double> Distribution::highestFloor() const
{
    std::optional<double> best;
    for (const Step &step : floorSteps()) {
        if (!best || step.reach > *best)
            best = step.reach;
    }
    return best;
}

bool Distribution::setFloor(double bits)
{
    m_threshold.reset();
    for (const Step &step : floorSteps()) {
        if (step.reach >= bits) {
            m_threshold = step.threshold; // the largest so far that works
            m_accepted = step.accepted;
        }
    }
    return m_threshold.has_value();
}

} // namespace strength
} // namespace lexiglow
