// IDA* over the sixteen-cell board with an incrementally kept lower bound.
#include "Solver.h"

#include <algorithm>
#include <array>
#include <limits>

namespace solver {

namespace {

using Clock = std::chrono::steady_clock;

struct Neighbours {
    std::array<std::array<std::int8_t, 4>, kCellCount> cells{};
    std::array<std::int8_t, kCellCount> count{};
    constexpr Neighbours()
    {
        for (int c = 0; c < kCellCount; ++c) {
            int n = 0;
            auto& list = cells[static_cast<std::size_t>(c)];
            if (c / kSide > 0) list[static_cast<std::size_t>(n++)] = static_cast<std::int8_t>(c - kSide);
            if (c % kSide > 0) list[static_cast<std::size_t>(n++)] = static_cast<std::int8_t>(c - 1);
            if (c % kSide < kSide - 1) list[static_cast<std::size_t>(n++)] = static_cast<std::int8_t>(c + 1);
            if (c / kSide < kSide - 1) list[static_cast<std::size_t>(n++)] = static_cast<std::int8_t>(c + kSide);
            count[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(n);
        }
    }
};
constexpr Neighbours kNeighbours;

constexpr int manhattan(int tile, int cell)
{
    const int dr = tile / kSide - cell / kSide;
    const int dc = tile % kSide - cell % kSide;
    return (dr < 0 ? -dr : dr) + (dc < 0 ? -dc : dc);
}

// Conflicts in one line, indexed by the line's four cells in base 5: each digit is the goal
// place within this line of the tile there (0 to 3), or 4 for a tile from elsewhere or the gap.
// The value is twice the fewest tiles to remove so that the others stand in goal order.
struct ConflictTable {
    std::array<std::uint8_t, 625> value{};
    constexpr ConflictTable()
    {
        for (int code = 0; code < 625; ++code) {
            std::array<int, 4> digit{};
            int rest = code;
            for (int i = 3; i >= 0; --i) {
                digit[static_cast<std::size_t>(i)] = rest % 5;
                rest /= 5;
            }
            // Longest strictly increasing run among the home tiles (at most four of them).
            std::array<int, 4> longest{};
            int members = 0;
            int best = 0;
            for (int i = 0; i < 4; ++i) {
                if (digit[static_cast<std::size_t>(i)] == 4)
                    continue;
                ++members;
                int len = 1;
                for (int j = 0; j < i; ++j)
                    if (digit[static_cast<std::size_t>(j)] != 4 &&
                        digit[static_cast<std::size_t>(j)] < digit[static_cast<std::size_t>(i)])
                        len = std::max(len, longest[static_cast<std::size_t>(j)] + 1);
                longest[static_cast<std::size_t>(i)] = len;
                best = std::max(best, len);
            }
            value[static_cast<std::size_t>(code)] = static_cast<std::uint8_t>(2 * (members - best));
        }
    }
};
constexpr ConflictTable kConflicts;

int rowConflicts(const Tiles& t, int row)
{
    int code = 0;
    for (int c = 0; c < kSide; ++c) {
        const int v = t[static_cast<std::size_t>(row * kSide + c)];
        code = code * 5 + ((v != 0 && v / kSide == row) ? v % kSide : 4);
    }
    return kConflicts.value[static_cast<std::size_t>(code)];
}

int columnConflicts(const Tiles& t, int column)
{
    int code = 0;
    for (int r = 0; r < kSide; ++r) {
        const int v = t[static_cast<std::size_t>(r * kSide + column)];
        code = code * 5 + ((v != 0 && v % kSide == column) ? v / kSide : 4);
    }
    return kConflicts.value[static_cast<std::size_t>(code)];
}

// Manhattan distance plus linear conflicts; after a slide only two lines are recounted.
class ManhattanBound {
public:
    struct Undo {
        int manhattan;
        int conflicts;
        std::array<std::uint8_t, 2> lineValue;
    };

    void reset(const Tiles& t)
    {
        m_manhattan = 0;
        for (int c = 0; c < kCellCount; ++c)
            if (t[static_cast<std::size_t>(c)] != 0)
                m_manhattan += manhattan(t[static_cast<std::size_t>(c)], c);
        m_conflicts = 0;
        for (int i = 0; i < kSide; ++i) {
            m_line[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(rowConflicts(t, i));
            m_line[static_cast<std::size_t>(kSide + i)] = static_cast<std::uint8_t>(columnConflicts(t, i));
            m_conflicts += m_line[static_cast<std::size_t>(i)] + m_line[static_cast<std::size_t>(kSide + i)];
        }
    }

    int value() const { return m_manhattan + m_conflicts; }

    // `t` already shows `tile` moved from `from` to `to`.
    Undo slide(const Tiles& t, int tile, int from, int to)
    {
        Undo undo{m_manhattan, m_conflicts, {}};
        m_manhattan += manhattan(tile, to) - manhattan(tile, from);
        std::size_t a = 0;
        std::size_t b = 0;
        int va = 0;
        int vb = 0;
        if (from / kSide == to / kSide) {   // along a row: the two columns change
            a = static_cast<std::size_t>(kSide + from % kSide);
            b = static_cast<std::size_t>(kSide + to % kSide);
            va = columnConflicts(t, from % kSide);
            vb = columnConflicts(t, to % kSide);
        } else {                            // along a column: the two rows change
            a = static_cast<std::size_t>(from / kSide);
            b = static_cast<std::size_t>(to / kSide);
            va = rowConflicts(t, from / kSide);
            vb = rowConflicts(t, to / kSide);
        }
        undo.lineValue = {m_line[a], m_line[b]};
        m_conflicts += va + vb - m_line[a] - m_line[b];
        m_line[a] = static_cast<std::uint8_t>(va);
        m_line[b] = static_cast<std::uint8_t>(vb);
        return undo;
    }

    void unslide(const Undo& undo, int from, int to)
    {
        m_manhattan = undo.manhattan;
        m_conflicts = undo.conflicts;
        const bool alongRow = from / kSide == to / kSide;
        const auto a = static_cast<std::size_t>(alongRow ? kSide + from % kSide : from / kSide);
        const auto b = static_cast<std::size_t>(alongRow ? kSide + to % kSide : to / kSide);
        m_line[a] = undo.lineValue[0];
        m_line[b] = undo.lineValue[1];
    }

private:
    int m_manhattan = 0;
    int m_conflicts = 0;
    std::array<std::uint8_t, 2 * kSide> m_line{};
};

// The larger of the database sums for the board and for its reflection. Both sums are the
// Manhattan distance plus each group's excess over it, so only the excesses are looked up again
// after a slide: the moved tile's group on each side.
class DatabaseBound {
public:
    struct Undo {
        std::int16_t direct;
        std::int16_t reflected;
        std::uint8_t tile;
    };

    explicit DatabaseBound(const PatternDatabases& db) : m_db(db) {}

    void reset(const Tiles& t)
    {
        m_cellOf = cellsOf(t);
        m_manhattan = 0;
        m_directSum = 0;
        m_reflectedSum = 0;
        for (int c = 0; c < kCellCount; ++c)
            if (t[static_cast<std::size_t>(c)] != 0)
                m_manhattan += manhattan(t[static_cast<std::size_t>(c)], c);
        for (int g = 0; g < m_db.groupCount(); ++g) {
            m_direct[static_cast<std::size_t>(g)] = static_cast<std::int16_t>(m_db.groupExcess(g, m_cellOf));
            m_reflected[static_cast<std::size_t>(g)] = static_cast<std::int16_t>(m_db.reflectedGroupExcess(g, m_cellOf));
            m_directSum += m_direct[static_cast<std::size_t>(g)];
            m_reflectedSum += m_reflected[static_cast<std::size_t>(g)];
        }
    }

    int value() const { return m_manhattan + std::max(m_directSum, m_reflectedSum); }

    Undo slide(const Tiles&, int tile, int from, int to)
    {
        m_cellOf[static_cast<std::size_t>(tile)] = static_cast<std::uint8_t>(to);
        m_cellOf[0] = static_cast<std::uint8_t>(from);
        m_manhattan += manhattan(tile, to) - manhattan(tile, from);
        const auto g = static_cast<std::size_t>(m_db.groupOfTile(tile));
        const auto r = static_cast<std::size_t>(m_db.reflectedGroupOfTile(tile));
        const Undo undo{m_direct[g], m_reflected[r], static_cast<std::uint8_t>(tile)};
        m_direct[g] = static_cast<std::int16_t>(m_db.groupExcess(static_cast<int>(g), m_cellOf));
        m_reflected[r] = static_cast<std::int16_t>(m_db.reflectedGroupExcess(static_cast<int>(r), m_cellOf));
        m_directSum += m_direct[g] - undo.direct;
        m_reflectedSum += m_reflected[r] - undo.reflected;
        return undo;
    }

    void unslide(const Undo& undo, int from, int to)
    {
        m_cellOf[undo.tile] = static_cast<std::uint8_t>(from);
        m_cellOf[0] = static_cast<std::uint8_t>(to);
        m_manhattan += manhattan(undo.tile, from) - manhattan(undo.tile, to);
        const auto g = static_cast<std::size_t>(m_db.groupOfTile(undo.tile));
        const auto r = static_cast<std::size_t>(m_db.reflectedGroupOfTile(undo.tile));
        m_directSum += undo.direct - m_direct[g];
        m_reflectedSum += undo.reflected - m_reflected[r];
        m_direct[g] = undo.direct;
        m_reflected[r] = undo.reflected;
    }

private:
    const PatternDatabases& m_db;
    CellsOfTiles m_cellOf{};
    std::array<std::int16_t, kCellCount> m_direct{};
    std::array<std::int16_t, kCellCount> m_reflected{};
    int m_manhattan = 0;
    int m_directSum = 0;
    int m_reflectedSum = 0;
};

template <class Bound>
class Search {
public:
    Search(Bound bound, const SolveLimits& limits) : m_bound(std::move(bound)), m_limits(limits) {}

    SolveResult run(const Tiles& start)
    {
        const auto began = Clock::now();
        m_deadline = m_limits.maxTime.count() > 0 ? began + m_limits.maxTime : Clock::time_point::max();
        m_board = start;
        m_bound.reset(m_board);
        SolveResult result;
        int threshold = m_bound.value();
        const int gap = gapCell(m_board);
        while (true) {
            m_next = std::numeric_limits<int>::max();
            const Outcome outcome = dfs(gap, 0, threshold, -1);
            result.lowerBound = threshold;
            if (outcome == Outcome::Found) {
                result.status = SolveStatus::Solved;
                result.moves = m_path;
                break;
            }
            if (outcome == Outcome::Stopped) {
                result.status = m_stop;
                break;
            }
            threshold = m_next;
        }
        result.nodes = m_nodes;
        result.elapsed = Clock::now() - began;
        return result;
    }

private:
    enum class Outcome { Found, NotFound, Stopped };

    bool shouldStop()
    {
        if (m_limits.maxNodes != 0 && m_nodes >= m_limits.maxNodes) {
            m_stop = SolveStatus::NodeLimit;
            return true;
        }
        if ((m_nodes & 0xFFF) != 0)
            return false;
        if (m_limits.cancel && m_limits.cancel->load(std::memory_order_relaxed)) {
            m_stop = SolveStatus::Cancelled;
            return true;
        }
        if (Clock::now() >= m_deadline) {
            m_stop = SolveStatus::TimeLimit;
            return true;
        }
        return false;
    }

    Outcome dfs(int gap, int depth, int threshold, int previousGap)
    {
        const int h = m_bound.value();
        const int f = depth + h;
        if (f > threshold) {
            m_next = std::min(m_next, f);
            return Outcome::NotFound;
        }
        if (h == 0)
            return Outcome::Found;
        ++m_nodes;
        if (shouldStop())
            return Outcome::Stopped;
        const auto& list = kNeighbours.cells[static_cast<std::size_t>(gap)];
        const int count = kNeighbours.count[static_cast<std::size_t>(gap)];
        for (int i = 0; i < count; ++i) {
            const int from = list[static_cast<std::size_t>(i)];
            if (from == previousGap)
                continue;
            const int tile = m_board[static_cast<std::size_t>(from)];
            m_path.push_back(moveFromCells(m_board, from, gap));
            m_board[static_cast<std::size_t>(gap)] = static_cast<std::uint8_t>(tile);
            m_board[static_cast<std::size_t>(from)] = 0;
            const auto undo = m_bound.slide(m_board, tile, from, gap);
            const Outcome outcome = dfs(from, depth + 1, threshold, gap);
            if (outcome != Outcome::NotFound)
                return outcome;
            m_bound.unslide(undo, from, gap);
            m_board[static_cast<std::size_t>(from)] = static_cast<std::uint8_t>(tile);
            m_board[static_cast<std::size_t>(gap)] = 0;
            m_path.pop_back();
        }
        return Outcome::NotFound;
    }

    Bound m_bound;
    SolveLimits m_limits;
    Tiles m_board{};
    std::vector<Move> m_path;
    std::uint64_t m_nodes = 0;
    int m_next = 0;
    Clock::time_point m_deadline;
    SolveStatus m_stop = SolveStatus::Cancelled;
};

}  // namespace

std::string_view statusName(SolveStatus status)
{
    switch (status) {
    case SolveStatus::Solved: return "solved";
    case SolveStatus::Invalid: return "invalid board";
    case SolveStatus::Unsolvable: return "unsolvable board";
    case SolveStatus::Cancelled: return "cancelled";
    case SolveStatus::NodeLimit: return "node limit reached";
    case SolveStatus::TimeLimit: return "time limit reached";
    }
    return "?";
}

std::optional<Move> SolveResult::firstMove() const
{
    if (status != SolveStatus::Solved || moves.empty())
        return std::nullopt;
    return moves.front();
}

int manhattanLinearConflict(const Tiles& tiles)
{
    ManhattanBound bound;
    bound.reset(tiles);
    return bound.value();
}

SolveResult solve(const Tiles& tiles, const PatternDatabases* databases, const SolveLimits& limits)
{
    const BoardProblem problem = checkBoard(tiles);
    if (problem != BoardProblem::None) {
        SolveResult result;
        result.status = problem == BoardProblem::WrongParity ? SolveStatus::Unsolvable : SolveStatus::Invalid;
        result.error = problemText(problem);
        return result;
    }
    if (databases)
        return Search<DatabaseBound>(DatabaseBound(*databases), limits).run(tiles);
    return Search<ManhattanBound>(ManhattanBound(), limits).run(tiles);
}

SolveResult HintSolver::hint(const Tiles& tiles, const SolveLimits& limits)
{
    const auto found = std::find(m_path.begin(), m_path.end(), tiles);
    if (found != m_path.end()) {
        SolveResult result;
        result.status = SolveStatus::Solved;
        const auto at = static_cast<std::size_t>(found - m_path.begin());
        result.moves.assign(m_moves.begin() + static_cast<std::ptrdiff_t>(at), m_moves.end());
        result.lowerBound = result.length();
        return result;
    }
    SolveResult result = solve(tiles, m_databases.get(), limits);
    if (result.solved()) {
        m_path.assign(1, tiles);
        m_moves = result.moves;
        Tiles board = tiles;
        for (const Move& move : m_moves) {
            applyMove(board, move);
            m_path.push_back(board);
        }
    }
    return result;
}

}  // namespace solver
