#pragma once

#include <QStringList>

namespace lexiglow {

// An array of words with an explicit lower bound, as a list record keeps it.
// Words live at indices 1 through the upper bound; index 0, where the array
// has one, never holds a word.
class WordArray final
{
public:
    // Bounds 0..0 with an empty element 0: no words.
    WordArray();
    WordArray(qsizetype lowerBound, QStringList elements);

    qsizetype lowerBound() const { return m_lowerBound; }
    qsizetype upperBound() const { return m_lowerBound + m_elements.size() - 1; }

    const QString &operator[](qsizetype index) const;
    QString &operator[](qsizetype index);

    // Grows the array by one slot above the upper bound and stores word there.
    void append(const QString &word);

    // The words: the entries at indices 1 through the upper bound.
    QStringList words() const;
    const QStringList &elements() const { return m_elements; }

    friend bool operator==(const WordArray &, const WordArray &) = default;

private:
    qsizetype m_lowerBound = 0;
    QStringList m_elements;
};

} // namespace lexiglow
