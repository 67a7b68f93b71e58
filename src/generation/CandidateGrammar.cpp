#include "generation/CandidateGrammar.h"

#include "platform/CodePage.h"

#include <numeric>

namespace lexiglow {

namespace {

using Part = CandidateGrammar::Part;

// Words of a candidate as bits: the first, the second, both.
constexpr int firstWord = 1, secondWord = 2;

int wordBit(Part part)
{
    return part == Part::FirstWord ? firstWord : part == Part::SecondWord ? secondWord : 0;
}

// The shape of one way of drawing: the arrangement's parts, the word the
// drop number empties and the words drawn empty.
CandidateGrammar::Shape shapeOf(std::span<const Part> parts, int dropped, int drawnEmpty, quint64 empty, quint64 total)
{
    CandidateGrammar::Shape shape{{}, 1};
    for (const Part part : parts) {
        const int word = wordBit(part);
        if (word == 0)
            shape.tokens += part == Part::Number ? 'N' : 'S';
        else if ((dropped & word) != 0)
            shape.weight *= total; // any entry
        else if ((drawnEmpty & word) != 0)
            shape.weight *= empty;
        else
            shape.tokens += 'W';
    }
    return shape;
}

} // namespace

QString &CandidateGrammar::replaceletters(QString &text)
{
    text.replace(u'a', u'@');
    text.replace(u'i', u'1');
    text.replace(u'e', u'3');
    return text;
}

std::array<char16_t, 256> CandidateGrammar::characters(bool letterReplacement)
{
    std::array<char16_t, 256> result{};
    const CodePage &page = CodePage::system();
    for (int code = 0; code < 256; ++code) {
        QString character{QChar(page.toChar(quint8(code)))};
        if (letterReplacement)
            replaceletters(character);
        result[std::size_t(code)] = character.front().unicode();
    }
    return result;
}

QString CandidateGrammar::forcedCase(QStringView text, Case letterCase)
{
    switch (letterCase) {
    case Case::Lower:
        return text.toString().toLower();
    case Case::Upper:
        return text.toString().toUpper();
    case Case::Keep:
        break;
    }
    return text.toString();
}

CandidateGrammar::Shapes CandidateGrammar::shapes(bool specialCharacters, quint64 empty, quint64 total)
{
    // Every arrangement and drop number, and for each word not dropped
    // whether it is drawn empty: a dropped word's draw can be any entry.
    std::vector<Shape> weights; // in the order first met
    for (int arrangement = 1; arrangement <= arrangementCount; ++arrangement) {
        for (int drop = 1; drop <= dropChoices; ++drop) {
            const int dropped = drop == dropsFirstWord ? firstWord : drop == dropsSecondWord ? secondWord : 0;
            for (int drawnEmpty = 0; drawnEmpty <= (firstWord | secondWord); ++drawnEmpty) {
                if ((drawnEmpty & dropped) != 0)
                    continue;
                const Shape shape = shapeOf(CandidateGrammar::arrangement(arrangement, specialCharacters), dropped,
                                            drawnEmpty, empty, total);
                const auto same = [&shape](const Shape &other) { return other.tokens == shape.tokens; };
                if (const auto found = std::find_if(weights.begin(), weights.end(), same); found != weights.end())
                    found->weight += shape.weight;
                else
                    weights.push_back(shape);
            }
        }
    }
    Shapes result;
    quint64 divisor = 0;
    for (const Shape &shape : weights)
        divisor = std::gcd(divisor, shape.weight);
    for (const Shape &shape : weights) {
        if (shape.weight != 0)
            result.shapes.push_back({shape.tokens, shape.weight / divisor});
    }
    const long double draws = (long double)arrangementCount * dropChoices * numberCount()
        * (specialCharacters ? specialCount : 1);
    result.total = draws * total * total / divisor;
    return result;
}

} // namespace lexiglow
