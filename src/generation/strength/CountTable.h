#pragma once

#include <QtGlobal>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <vector>

namespace lexiglow {
namespace strength {

// Counts by key in one open-addressing hash table, without a node to
// allocate for each key; visits the keys in the order they came.
template<typename Key, typename Hash>
class CountTable final
{
public:
    qint64 &operator[](const Key &key)
    {
        if (2 * (m_used + 1) > m_slots.size())
            grow();
        std::size_t at = slotOf(key);
        while (m_slots[at].filled && !(m_slots[at].key == key))
            at = (at + 1) & (m_slots.size() - 1);
        if (!m_slots[at].filled) {
            m_slots[at] = {key, 0, true};
            m_filled.push_back(quint32(at));
            ++m_used;
        }
        return m_slots[at].count;
    }
    std::size_t size() const { return m_used; }
    template<typename Visit>
    void forEach(Visit visit) const
    {
        for (const quint32 at : m_filled)
            visit(m_slots[at].key, m_slots[at].count);
    }
    // Empty again, keeping the room.
    void clear()
    {
        for (const quint32 at : m_filled)
            m_slots[at].filled = false;
        m_filled.clear();
        m_used = 0;
    }

private:
    struct Slot
    {
        Key key;
        qint64 count;
        bool filled;
    };
    // The hash's bits mixed, so that keys alike in their low bits spread.
    std::size_t slotOf(const Key &key) const
    {
        return std::size_t((quint64(Hash{}(key)) * 0x9E3779B97F4A7C15ULL) >> m_shift);
    }
    void grow()
    {
        std::vector<Slot> old(std::max<std::size_t>(64, 2 * m_slots.size()), Slot{Key{}, 0, false});
        old.swap(m_slots);
        m_shift = 64 - std::countr_zero(m_slots.size());
        std::vector<quint32> filled;
        filled.swap(m_filled);
        for (const quint32 from : filled) {
            std::size_t at = slotOf(old[from].key);
            while (m_slots[at].filled)
                at = (at + 1) & (m_slots.size() - 1);
            m_slots[at] = old[from];
            m_filled.push_back(quint32(at));
        }
    }
    std::vector<Slot> m_slots;
    std::vector<quint32> m_filled; // in the order filled
    std::size_t m_used = 0;
    int m_shift = 64;
};

} // namespace strength
} // namespace lexiglow
