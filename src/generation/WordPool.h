#pragma once

#include <QStringView>

#include <memory>
#include <vector>

namespace lexiglow {

// The words drawn from: entry 0 is always empty, entries 1..size() are the
// ticked lists' words in order, duplicates kept.
//
// Words are copied into fixed-size blocks of text and found through one
// packed 64-bit locator each, so a pool of a million words costs little more
// than its text and never reallocates what it already holds.
class WordPool final
{
public:
    WordPool();
    Q_DISABLE_COPY_MOVE(WordPool)

    qsizetype size() const { return qsizetype(m_entries.size()) - 1; }
    QStringView entry(qsizetype index) const;

    void clear();
    // Throws std::length_error for a word longer than maxWordLength.
    void append(QStringView word);
    // Drops every entry above size, to undo a list that failed halfway.
    void truncate(qsizetype size);

    static constexpr qsizetype maxWordLength = (qsizetype(1) << 28) - 1;

private:
    struct Block
    {
        std::unique_ptr<char16_t[]> text;
        qsizetype capacity = 0;
        qsizetype used = 0;
    };

    std::vector<Block> m_blocks;
    std::vector<quint64> m_entries; // block << 44 | offset << 28 | length
};

} // namespace lexiglow
