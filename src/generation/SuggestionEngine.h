#pragma once

#include "generation/CandidateGrammar.h"
#include "generation/PasswordRequest.h"
#include "generation/WordPool.h"
#include "store/ReadListFile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <stop_token>
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

// A ticked row whose list was not read, and why, in one line that names
// the file.
struct UnreadList
{
    qsizetype entry = 0;
    QString failure;

    friend bool operator==(const UnreadList &, const UnreadList &) = default;
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
    // The batch was asked to stop before it was whole; what it made is kept.
    bool stopped = false;
};

// Appends the words of one list file to pool; a file that is not read whole
// adds none of them. The reader tells notice what is wrong with a file that
// is not a list.
ListFileResult appendList(WordPool &pool, const QString &path, Notice &notice);

// Makes password suggestions from the words of the ticked lists, drawing
// each candidate as CandidateGrammar says.
class SuggestionEngine final
{
public:
    static inline const QString heading = QStringLiteral("Generating Your Suggestions...");
    static inline const QString lineBreak = QStringLiteral("\r\n");

    SuggestionEngine(RandomSource &random, Notice &notice);
    Q_DISABLE_COPY_MOVE(SuggestionEngine)

    // Starts a fresh random sequence and gathers the words of every ticked
    // row's list file, in row order. A file that cannot be read adds no
    // words; the user is told once, naming every such file.
    void buildlist(const QList<ListRow> &rows, const QStringList &passfiles);
    // Gathers the words as buildlist does, but tells nobody: returns the
    // rows whose list was not read, foreign files included, for the caller
    // to tell once and to mark.
    QList<UnreadList> gatherLists(const QList<ListRow> &rows, const QStringList &passfiles);
    // The two halves of buildlist, for callers without rows: an empty pool
    // and a fresh random sequence, then one list file's words. A file that is
    // not read whole adds none of them.
    void startPool();
    ListFileResult addList(const QString &path);

    // Writes the heading and a batch of request.count passwords under
    // request.rules to sink (the floor is the strength model's). When the
    // random source fails the user is told, and any password made before it
    // failed is taken back. Asked to stop, it ends after the password it is
    // making, or within a few thousand candidates under a floor.
    BatchReport generate(const PasswordRequest &request, SuggestionSink &sink, std::stop_token stop = {});

    // One password under rules. Throws RandomSourceError when the random
    // source fails.
    QString getpassword(const PasswordRules &rules);
    QString getrandword(bool letterReplacement);

    const WordPool &pool() const { return m_pool; }
    // With a model whose floor is set, a password is the first candidate the
    // model accepts; after StrengthModel::candidateLimit candidates without
    // one, the batch stops and the user is told. The model must be of this
    // pool and the rules of the batch.
    void setStrength(const StrengthModel *model) { m_strength = model; }

private:
    // Starts the pool and reads the list of every ticked row, telling
    // readerNotice of foreign files; each row's entry and result go to read.
    void readTickedLists(const QList<ListRow> &rows, const QStringList &passfiles, Notice &readerNotice,
                         const std::function<void(qsizetype, const ListFileResult &)> &read);

    // Makes candidates until one fits, or the last, into the buffer after
    // its line break; returns the password.
    QStringView makePassword(const PasswordRules &rules, const std::stop_token &stop = {});
    // One candidate into the buffer, after a line break; returns it.
    QStringView makeCandidate(const PasswordRules &rules);
    void forceCase(PasswordRules::Case letterCase);
    // A word drawn from the pool: its codes without the spaces at its ends.
    QByteArrayView drawWord();
    char16_t *appendWord(char16_t *out, QByteArrayView codes, bool letterReplacement) const;
    // Int(r * n) + 1: a whole number from 1 to n.
    int drawUpTo(int n);

    const StrengthModel *m_strength = nullptr;
    bool m_floorMissed = false;
    bool m_stopped = false;
    RandomSource &m_random;
    Notice &m_notice;
    WordPool m_pool;
    // The characters of the code page's codes, plain and with letters replaced.
    std::array<char16_t, 256> m_plainCharacters{};
    std::array<char16_t, 256> m_replacedCharacters{};
    // The digits of each number that can be drawn.
    static constexpr int maxNumberDigits = 10;
    struct NumberText
    {
        std::array<char16_t, maxNumberDigits> digits;
        int length;
    };
    std::array<NumberText, CandidateGrammar::numberCount()> m_numberTexts{};
    // "\r\n" and the candidate being made, so that a batch's lines are
    // written without allocating anything per password.
    std::vector<char16_t> m_buffer;
    qsizetype m_length = 0;
};

} // namespace lexiglow
