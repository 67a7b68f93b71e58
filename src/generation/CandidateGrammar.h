#pragma once

#include "generation/PasswordRequest.h"

#include <QByteArrayView>
#include <QString>

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <vector>

namespace lexiglow {

// How one candidate password is made: the one place that says it. The engine
// draws candidates by it, the strength model counts them by it, and the
// strength model's test lists them by it.
//
// A candidate draws, in this order: an arrangement (1..3), a first and a
// second word from the pool, a drop number (1..5: 3 empties the first word, 4
// the second), a special character when those are on, and a number (1..99).
// Its parts are joined in the arrangement's order with nothing between them,
// an empty word dropping out; then the letter case is forced on the whole.
// A word is a pool entry drawn by rounding r * N to the nearest index (a half
// to the even one), so entries 0 (always empty) and N come up half as often;
// the spaces at its ends are cut off, and with letter replacement every a, i
// and e becomes @, 1 and 3. A password is the first of attemptLimit - 1
// candidates within the length limits, or else the last candidate.
class CandidateGrammar final
{
public:
    using Case = PasswordRules::Case;
    enum class Part : quint8 { FirstWord, SecondWord, Number, Special };

    static constexpr int arrangementCount = 3;
    static constexpr int dropChoices = 5;
    static constexpr int dropsFirstWord = 3;
    static constexpr int dropsSecondWord = 4;
    static constexpr int lowestNumber = 1;
    static constexpr int highestNumber = 99;
    // The special characters are the codes firstSpecial onwards: ( ) * + , - . /
    static constexpr char16_t firstSpecial = u'(';
    static constexpr int specialCount = 8;
    static constexpr int attemptLimit = 1500;

    // The parts of arrangement 1..arrangementCount in the order they are joined.
    static std::span<const Part> arrangement(int arrangement, bool specialCharacters)
    {
        Q_ASSERT(arrangement >= 1 && arrangement <= arrangementCount);
        const auto index = std::size_t(arrangement - 1);
        return specialCharacters ? std::span<const Part>(withSpecial[index]) : std::span<const Part>(withoutSpecial[index]);
    }
    // Int(r * n) + 1: a whole number from 1 to n for a draw 0 <= r < 1.
    static int choice(double r, int n) { return std::min(int(r * n), n - 1) + 1; }
    static char16_t specialCharacter(int choice) { return char16_t(firstSpecial + choice - 1); }
    static bool isSpecial(char16_t ch) { return ch >= firstSpecial && ch < firstSpecial + specialCount; }
    static constexpr int numberCount() { return highestNumber - lowestNumber + 1; }

    // The pool entry, 0..n, that a draw 0 <= r < 1 takes from a pool of n
    // words: rounded, not cut off, so the first and last come up half as often.
    static qsizetype entry(double r, qsizetype n)
    {
        const double x = r * double(n);
        auto k = qsizetype(x);
        if (const double fraction = x - double(k); fraction > 0.5 || (fraction == 0.5 && k % 2 == 1))
            ++k;
        return std::clamp<qsizetype>(k, 0, n);
    }
    // How often entry k of a pool of n words is drawn, out of entryTotal(n).
    static quint64 entryWeight(qsizetype k, qsizetype n) { return n == 0 || k == 0 || k == n ? 1 : 2; }
    static quint64 entryTotal(qsizetype n) { return n == 0 ? 1 : quint64(2 * n); }

    // A drawn entry's codes without the spaces at its ends.
    static QByteArrayView trimmed(QByteArrayView codes)
    {
        while (codes.startsWith(' '))
            codes = codes.sliced(1);
        while (codes.endsWith(' '))
            codes.chop(1);
        return codes;
    }
    // Letter replacement: every a, i and e becomes @, 1 and 3.
    static QString &replaceletters(QString &text);
    // The character of each code of the system's code page, after letter
    // replacement when it is on.
    static std::array<char16_t, 256> characters(bool letterReplacement);
    // Forces the letter case of plain ASCII text in place.
    static void forceAsciiCase(std::span<char16_t> text, Case letterCase)
    {
        if (letterCase == Case::Keep)
            return;
        const char16_t from = letterCase == Case::Lower ? u'A' : u'a';
        for (char16_t &ch : text) {
            if (ch >= from && ch <= from + 25)
                ch ^= 0x20;
        }
    }
    // Forces the letter case of any text as Qt does: beyond ASCII a letter
    // may change length (upper-case sharp s is "SS").
    static QString forcedCase(QStringView text, Case letterCase);

    // A sequence of tokens a candidate can read as, W a word that is not
    // empty, N the number, S the special character ("WNW": word, number,
    // word), with the weight of the draws that give it, counting the draws of
    // its words as one each.
    struct Shape
    {
        std::string tokens;
        quint64 weight;
    };
    // Every shape, and the weight of all candidates together. A candidate's
    // weight is its shape's times the entry weights of its words (a number
    // or special character weighs one); its chance is that over the total.
    struct Shapes
    {
        std::vector<Shape> shapes;
        long double total = 0;
    };
    // The shapes under the rules, for a pool whose entries weigh total in
    // all and its empty ones empty of that. The weights are divided by their
    // common divisor.
    static Shapes shapes(bool specialCharacters, quint64 empty, quint64 total);

private:
    // Without a special character the third arrangement keeps the words in
    // order; with one, it swaps them around the character.
    static constexpr Part withSpecial[3][4] = {
        {Part::FirstWord, Part::Number, Part::SecondWord, Part::Special},
        {Part::FirstWord, Part::Special, Part::SecondWord, Part::Number},
        {Part::Number, Part::SecondWord, Part::Special, Part::FirstWord},
    };
    static constexpr Part withoutSpecial[3][3] = {
        {Part::FirstWord, Part::Number, Part::SecondWord},
        {Part::FirstWord, Part::SecondWord, Part::Number},
        {Part::Number, Part::FirstWord, Part::SecondWord},
    };
};

} // namespace lexiglow
