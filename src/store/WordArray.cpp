#include "store/WordArray.h"

namespace lexiglow {

WordArray::WordArray()
    : m_elements{QString()}
{
}

WordArray::WordArray(qsizetype lowerBound, QStringList elements)
    : m_lowerBound(lowerBound)
    , m_elements(std::move(elements))
{
}

const QString &WordArray::operator[](qsizetype index) const
{
    Q_ASSERT(index >= m_lowerBound && index <= upperBound());
    return m_elements[index - m_lowerBound];
}

QString &WordArray::operator[](qsizetype index)
{
    Q_ASSERT(index >= m_lowerBound && index <= upperBound());
    return m_elements[index - m_lowerBound];
}

void WordArray::append(const QString &word)
{
    m_elements.append(word);
}

QStringList WordArray::words() const
{
    const qsizetype first = std::max<qsizetype>(1, m_lowerBound);
    if (first > upperBound())
        return {};
    return m_elements.mid(first - m_lowerBound);
}

} // namespace lexiglow
