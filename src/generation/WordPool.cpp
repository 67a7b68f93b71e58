#include "generation/WordPool.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <stdexcept>

namespace lexiglow {

namespace {

constexpr qsizetype blockSize = qsizetype(1) << 16;
constexpr int lengthBits = 28;
constexpr int offsetBits = 16;
constexpr quint64 maxBlocks = quint64(1) << (64 - lengthBits - offsetBits);

struct Locator
{
    quint64 block;
    quint64 offset;
    quint64 length;
};

quint64 pack(Locator where)
{
    return where.block << (offsetBits + lengthBits) | where.offset << lengthBits | where.length;
}

Locator unpack(quint64 packed)
{
    return {packed >> (offsetBits + lengthBits), (packed >> lengthBits) & ((1u << offsetBits) - 1),
            packed & ((quint64(1) << lengthBits) - 1)};
}

} // namespace

WordPool::WordPool()
{
    clear();
}

QString WordPool::entry(qsizetype index) const
{
    return CodePage::system().toUnicode(codes(index));
}

QByteArrayView WordPool::codes(qsizetype index) const
{
    Q_ASSERT(index >= 0 && index <= size());
    const Locator where = unpack(m_entries[std::size_t(index)]);
    if (where.length == 0)
        return {};
    return QByteArrayView(m_blocks[where.block].codes.get() + where.offset, qsizetype(where.length));
}

void WordPool::clear()
{
    m_longest = 0;
    m_blocks.clear();
    m_entries.assign(1, pack({0, 0, 0}));
}

void WordPool::append(QStringView word)
{
    const qsizetype length = word.size();
    if (length > maxWordLength)
        throw std::length_error("word too long for the word pool");
    if (length == 0) {
        m_entries.push_back(pack({0, 0, 0}));
        return;
    }
    if (m_blocks.empty() || m_blocks.back().capacity - m_blocks.back().used < length) {
        if (m_blocks.size() >= maxBlocks)
            throw std::length_error("word pool full");
        // A word longer than a block gets a block of its own, which it fills.
        const qsizetype capacity = std::max(blockSize, length);
        m_blocks.push_back({std::make_unique_for_overwrite<char[]>(std::size_t(capacity)), capacity, 0});
    }
    m_longest = std::max(m_longest, length);
    Block &block = m_blocks.back();
    const CodePage &page = CodePage::system();
    char *codes = block.codes.get() + block.used;
    for (qsizetype i = 0; i < length; ++i)
        codes[i] = char(page.toCodeOrSubstitute(word[i].unicode()));
    m_entries.push_back(pack({quint64(m_blocks.size() - 1), quint64(block.used), quint64(length)}));
    block.used += length;
}

void WordPool::truncate(qsizetype newSize)
{
    if (newSize < 0 || newSize >= size())
        return;
    m_entries.resize(std::size_t(newSize) + 1);
    // Keep the blocks up to the last word still held, and only its text.
    qsizetype lastBlock = -1;
    qsizetype lastEnd = 0;
    for (qsizetype i = newSize; i >= 1; --i) {
        const Locator where = unpack(m_entries[std::size_t(i)]);
        if (where.length > 0) {
            lastBlock = qsizetype(where.block);
            lastEnd = qsizetype(where.offset + where.length);
            break;
        }
    }
    m_blocks.resize(std::size_t(lastBlock + 1));
    if (lastBlock >= 0)
        m_blocks.back().used = lastEnd;
}

} // namespace lexiglow
