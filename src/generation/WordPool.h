#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace lexiglow {

// The words drawn from: entry 0 is always empty, entries 1..size() are the
// ticked lists' words in order, duplicates kept.
//
// Words are kept as their codes in the system's code page, one byte a
// character: list files hold nothing else, so nothing is lost (any other
// character becomes "?"). The codes go into fixed-size blocks and each word
// is found through one packed 64-bit locator, so a pool of a million words
// costs about twice its text and never reallocates what it already holds.
class WordPool final
{
public:
    WordPool();
    Q_DISABLE_COPY_MOVE(WordPool)

    qsizetype size() const { return qsizetype(m_entries.size()) - 1; }
    QString entry(qsizetype index) const;
    // The entry's codes in the system's code page.
    QByteArrayView codes(qsizetype index) const;
    qsizetype longestWord() const { return m_longest; }

    void clear();
    // Throws std::length_error for a word longer than maxWordLength.
    void append(QStringView word);
    // Drops every entry above size, to undo a list that failed halfway.
    void truncate(qsizetype size);

    static constexpr qsizetype maxWordLength = (qsizetype(1) << 28) - 1;

private:
    struct Block
    {
        std::unique_ptr<char[]> codes;
        qsizetype capacity = 0;
        qsizetype used = 0;
    };

    std::vector<Block> m_blocks;
    std::vector<quint64> m_entries; // block << 44 | offset << 28 | length
    qsizetype m_longest = 0;
};

} // namespace lexiglow
