// A random source for tests: scripted draws first, then a seeded engine.
#pragma once

#include "AppError.h"
#include "Shuffle.h"

#include <deque>
#include <optional>
#include <random>

class ScriptedRandom final : public board::RandomSource {
public:
    explicit ScriptedRandom(std::deque<double> draws = {}, unsigned seed = 1) : m_draws(std::move(draws)), m_engine(seed) {}
    void reseed() override { ++reseeds; }
    double next() override
    {
        if (failWith)
            throw errors::AppError(*failWith, "scripted failure of the random source");
        ++draws;
        if (!m_draws.empty()) {
            const double x = m_draws.front();
            m_draws.pop_front();
            return x;
        }
        return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine);
    }
    void Script(std::deque<double> draws) { m_draws = std::move(draws); }

    int reseeds = 0;
    int draws = 0;
    std::optional<int> failWith;   // every draw raises this error number: a start command that fails

private:
    std::deque<double> m_draws;
    std::mt19937 m_engine;
};

// The draws that leave the board one slide from solved: the gap goes right once and the other
// 299 draws are spent. Tile "2" then lies in control 0, to the left of the gap.
inline std::deque<double> OneSlideFromSolved()
{
    std::deque<double> draws{0.0};
    draws.insert(draws.end(), 299, 0.5);
    return draws;
}
