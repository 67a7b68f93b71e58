#pragma once

#include "generation/RandomSource.h"

#include <QList>
#include <QTest>

// Gives the values it was handed, in order, and counts what it was asked.
class ScriptedRandom final : public lexiglow::RandomSource
{
public:
    explicit ScriptedRandom(QList<double> values = {})
        : m_values(std::move(values))
    {
    }

    void add(std::initializer_list<double> values) { m_values.append(values); }
    void reseed() override { ++reseeds; }
    double next() override
    {
        if (m_next >= m_values.size()) {
            QTest::qFail("the scripted random values ran out", __FILE__, __LINE__);
            return 0;
        }
        return m_values[m_next++];
    }
    qsizetype drawn() const { return m_next; }
    qsizetype remaining() const { return m_values.size() - m_next; }

    int reseeds = 0;

private:
    QList<double> m_values;
    qsizetype m_next = 0;
};

// The value r for which Int(r * n) + 1 gives choice.
inline double pick(int choice, int n)
{
    return (choice - 0.5) / n;
}
