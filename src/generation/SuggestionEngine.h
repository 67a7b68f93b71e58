#pragma once

#include "generation/StrengthModel.h"
#include "generation/WordPool.h"
#include "settings/GenerationSettings.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace lexiglow {

class Notice;
class RandomSource;
class StrengthModel;

// One row of the list view as the engine sees it.
struct ListRow
{
    bool checked = false;
    QString key; // "file_" + entry number
};

// Where a batch is written: the suggestions text box in the program.
class SuggestionSink
{
public:
    virtual ~SuggestionSink() = default;
    virtual void setText(const QString &text) = 0;
    // The view is valid during the call only.
    virtual void append(QStringView text) = 0;
};

// What a batch did not meet, so that the caller can say so. Its passwords
// are kept all the same, except when the random source failed: then there
// are none, and the user has been told why.
struct BatchReport
{
    int passwords = 0;
    // Passwords outside the length limits: no candidate within them came up.
    int outsideLimits = 0;
    // The pool held no word, so the passwords are numbers (and special
    // characters) only.
    bool noWords = false;
    bool randomFailed = false;
    // Under a strength floor, no candidate was accepted within the limit of
    // candidates: the batch stopped there.
    bool floorMissed = false;
};

// Makes password suggestions from the words of the ticked lists.
//
// A candidate is two words drawn from the pool, a drop number that may empty
// one of them, a special character when those are on, and a number 1..99,
// joined in one of three arrangements and put in the chosen letter case. A
// password is the first of up to 1499 candidates within the length limits,
// or else the 1500th candidate.
class SuggestionEngine final
{
public:
    // A batch holds at most this many passwords, so that no setting can
    // freeze the program for long or exhaust its memory.
    static constexpr int maxPasswordCount = 100000;
    static constexpr int attemptLimit = 1500;
    static inline const QString heading = QStringLiteral("Generating Your Suggestions...");
    static inline const QString lineBreak = QStringLiteral("\r\n");

    SuggestionEngine(RandomSource &random, SettingsSource &settings, Notice &notice);
    Q_DISABLE_COPY_MOVE(SuggestionEngine)

    // Starts a fresh random sequence and gathers the words of every ticked
    // row's list file, in row order. A file that cannot be read adds no
    // words; the user is told once, naming every such file.
    void buildlist(const QList<ListRow> &rows, const QStringList &passfiles);
    // The two halves of buildlist, for callers without rows: an empty pool
    // and a fresh random sequence, then one list file's words. addList
    // returns why the file could not be read, naming it.
    void startPool();
    std::optional<QString> addList(const QString &path);

    // Whether a count, read as a number, is one a batch may have: a fraction
    // counts whole steps from 1, so 100000.5 makes 100000 passwords.
    static bool allowedCount(double count) { return count < maxPasswordCount + 1; }

    // Writes the heading and a batch of passwords to sink. A length or count
    // whose text is not a number, or a count that is not allowed, is named
    // to the user and no password is made; so is a failing random source,
    // and any password made before it failed is taken back.
    BatchReport generate(SuggestionSink &sink);

    // One password under the settings in force. Throws std::invalid_argument
    // when the minimum or maximum length is not a number, and
    // RandomSourceError when the random source fails.
    QString getpassword();
    QString getrandword();
    static QString &replaceletters(QString &str1);

    const WordPool &pool() const { return m_pool; }
    // With a model whose floor is set, a password is the first candidate the
    // model accepts; after StrengthModel::candidateLimit candidates without
    // one, the batch stops and the user is told. The model must be of this
    // pool and the settings in force.
    void setStrength(const StrengthModel *model) { m_strength = model; }

private:
    // The settings of a batch, read once.
    using Rules = PasswordRules;

    // Nothing, after telling the user, when a length is not a number.
    std::optional<Rules> readRules(const GenerationSettings &settings);
    // Makes candidates until one fits, or the 1500th, into the buffer after
    // its line break; returns the password.
    QStringView makePassword(const Rules &rules);
    // One candidate into the buffer, after a line break; returns it.
    QStringView makeCandidate(const Rules &rules);
    void forceCase(Rules::Case letterCase);
    // A word drawn from the pool: its codes without the spaces at its ends.
    QByteArrayView drawWord();
    char16_t *appendWord(char16_t *out, QByteArrayView codes, bool letterReplacement) const;
    // Int(r * n) + 1: a whole number from 1 to n.
    int drawUpTo(int n);

    const StrengthModel *m_strength = nullptr;
    bool m_floorMissed = false;
    RandomSource &m_random;
    SettingsSource &m_settings;
    Notice &m_notice;
    WordPool m_pool;
    // The characters of the code page's codes, plain and with letters replaced.
    std::array<char16_t, 256> m_plainCharacters{};
    std::array<char16_t, 256> m_replacedCharacters{};
    // "\r\n" and the candidate being made, so that a batch's lines are
    // written without allocating anything per password.
    std::vector<char16_t> m_buffer;
    qsizetype m_length = 0;
};

} // namespace lexiglow
