#pragma once

#include "generation/RandomSource.h"

#include <QList>

// Hands out the given values in turn, starting over after the last one, so
// that tests can spell out every draw of a batch.
class ScriptedRandomSource final : public lexiglow::RandomSource
{
public:
    explicit ScriptedRandomSource(QList<double> values = {0.0})
        : m_values(std::move(values))
    {
    }

    void reseed() override { ++reseeds; }

    double next() override
    {
        const double value = m_values[m_next];
        m_next = (m_next + 1) % m_values.size();
        ++draws;
        return value;
    }

    void setValues(QList<double> values)
    {
        m_values = std::move(values);
        m_next = 0;
    }

    int reseeds = 0;
    int draws = 0;

private:
    QList<double> m_values;
    qsizetype m_next = 0;
};
