// Optimal solutions by IDA*: the fewest slides that bring a board home, and hints from them.
//
// Two lower bounds drive the search. With pattern databases (PatternDatabase.h) most boards
// solve in milliseconds; without them, Manhattan distance plus linear conflicts answers the same
// question, optimally too, but it may search for seconds or far longer on a hard board. Every
// call can be limited by nodes, by time, or by a flag that another thread sets, and then returns
// promptly with what it proved so far. Calls are independent: any number may run at once on
// different threads, sharing one PatternDatabases.
#pragma once

#include "PatternDatabase.h"
#include "Tiles.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace solver {

struct SolveLimits {
    std::uint64_t maxNodes = 0;                  // boards examined; 0 for no limit
    std::chrono::milliseconds maxTime{0};        // 0 for no limit
    const std::atomic<bool>* cancel = nullptr;   // when it turns true the search stops
};

enum class SolveStatus : std::uint8_t {
    Solved,       // moves holds an optimal solution
    Invalid,      // not a permutation of 0..15
    Unsolvable,   // wrong parity: no sequence of slides solves it
    Cancelled,    // the cancel flag was raised
    NodeLimit,    // SolveLimits::maxNodes reached
    TimeLimit,    // SolveLimits::maxTime passed
};

std::string_view statusName(SolveStatus status);

struct SolveResult {
    SolveStatus status = SolveStatus::Invalid;
    std::vector<Move> moves;      // when Solved: an optimal sequence, in order (empty if solved)
    int lowerBound = 0;           // proven: no solution is shorter (equals moves.size() when Solved)
    std::uint64_t nodes = 0;      // boards examined
    std::chrono::nanoseconds elapsed{0};
    std::string error;            // a sentence for Invalid and Unsolvable

    bool solved() const { return status == SolveStatus::Solved; }
    int length() const { return static_cast<int>(moves.size()); }
    // The hint: the first slide of the optimal solution; nothing when already solved or not Solved.
    std::optional<Move> firstMove() const;
};

// Solves with the pattern databases when `databases` is given, else with Manhattan distance plus
// linear conflicts. The result is optimal either way.
SolveResult solve(const Tiles& tiles, const PatternDatabases* databases, const SolveLimits& limits = {});

// Manhattan distance plus linear conflicts for a valid board (rows and columns, each line
// counting twice the fewest tiles to remove so that the rest are in goal order).
int manhattanLinearConflict(const Tiles& tiles);

// Hints for one game: remembers the last optimal solution found, so that a board lying on it
// (the player followed the hints, or asked twice) is answered at once. Use from one thread at
// a time; the databases may be swapped in when they become ready.
class HintSolver {
public:
    void setDatabases(std::shared_ptr<const PatternDatabases> databases) { m_databases = std::move(databases); }

    // A result for `tiles` whose firstMove() is the hint. When it comes from the remembered
    // solution, nodes is 0 and moves is the rest of that solution.
    SolveResult hint(const Tiles& tiles, const SolveLimits& limits = {});

    void forget()
    {
        m_path.clear();
        m_moves.clear();
    }

private:
    std::shared_ptr<const PatternDatabases> m_databases;
    std::vector<Tiles> m_path;     // boards along the remembered solution, the solved one last
    std::vector<Move> m_moves;     // m_moves[i] leads from m_path[i] to m_path[i + 1]
};

}  // namespace solver
