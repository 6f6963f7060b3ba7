// Tests of the optimal solver: exact lengths against breadth-first search, legal solutions, the
// bounds' admissibility, search limits, the database cache, hints and shuffled game boards.
#include "DatabaseCache.h"
#include "GameBoard.h"
#include "PatternDatabase.h"
#include "ScriptedRandom.h"
#include "Shuffle.h"
#include "Solver.h"
#include "Tiles.h"

#include <QtTest>

#include <algorithm>
#include <fstream>
#include <random>
#include <thread>
#include <unordered_map>

using namespace solver;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(solver::Tiles)
Q_DECLARE_METATYPE(solver::SolveStatus)
Q_DECLARE_METATYPE(solver::Partition)

namespace {

// Sanitized builds run the same checks on smaller tables and fewer boards.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

constexpr int kBfsDepth = kSanitized ? 12 : 20;

const Partition kFiveFiveFive{{1, 2, 3, 5, 6}, {4, 8, 9, 12, 13}, {7, 10, 11, 14, 15}};
const Partition kSmall{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15}};

// Optimal lengths of three well-known random instances.
const Tiles kFiftySeven{14, 13, 15, 7, 11, 12, 9, 5, 6, 0, 2, 1, 4, 8, 10, 3};
const Tiles kFiftyFive{13, 5, 4, 10, 9, 12, 8, 14, 2, 3, 7, 1, 0, 15, 11, 6};
const Tiles kFiftyNine{14, 7, 8, 2, 13, 11, 10, 4, 9, 12, 5, 0, 3, 6, 1, 15};

std::uint64_t packed(const Tiles& t)
{
    std::uint64_t key = 0;
    for (const std::uint8_t v : t)
        key = (key << 4) | v;
    return key;
}

std::vector<Tiles> neighboursOf(const Tiles& t)
{
    std::vector<Tiles> out;
    const int gap = gapCell(t);
    for (const int from : {gap - kSide, gap + kSide, gap - 1, gap + 1}) {
        if (from < 0 || from >= kCellCount)
            continue;
        if ((from == gap - 1 || from == gap + 1) && from / kSide != gap / kSide)
            continue;
        Tiles n = t;
        if (applyMove(n, moveFromCells(t, from, gap)))
            out.push_back(n);
    }
    return out;
}

Tiles randomWalk(int moves, std::mt19937& rng)
{
    Tiles t = solvedTiles();
    for (int i = 0; i < moves; ++i) {
        const std::vector<Tiles> next = neighboursOf(t);
        t = next[std::uniform_int_distribution<std::size_t>(0, next.size() - 1)(rng)];
    }
    return t;
}

Tiles randomSolvable(std::mt19937& rng)
{
    Tiles t = solvedTiles();
    do
        std::shuffle(t.begin(), t.end(), rng);
    while (checkBoard(t) != BoardProblem::None);
    return t;
}

// True when every move is legal and the last one leaves the board solved.
bool solvesBoard(Tiles t, const std::vector<Move>& moves)
{
    for (const Move& m : moves)
        if (!applyMove(t, m))
            return false;
    return t == solvedTiles();
}

}  // namespace

class TestSolver : public QObject {
    Q_OBJECT

private:
    std::optional<PatternDatabases> m_db;
    std::unordered_map<std::uint64_t, std::uint8_t> m_distance;
    std::vector<std::vector<Tiles>> m_layers;

    // No databases (Manhattan and linear conflicts), then the databases.
    std::array<const PatternDatabases*, 2> bothBounds() const { return {nullptr, &*m_db}; }

    int knownDistance(const Tiles& t) const
    {
        const auto it = m_distance.find(packed(t));
        return it == m_distance.end() ? -1 : it->second;
    }

private slots:
    void initTestCase()
    {
        m_db = PatternDatabases::build(kSanitized ? kFiveFiveFive : standardPartition());
        QVERIFY(m_db);
        m_layers.push_back({solvedTiles()});
        m_distance[packed(solvedTiles())] = 0;
        for (int d = 1; d <= kBfsDepth; ++d) {
            std::vector<Tiles> layer;
            for (const Tiles& t : m_layers.back())
                for (const Tiles& n : neighboursOf(t))
                    if (m_distance.emplace(packed(n), static_cast<std::uint8_t>(d)).second)
                        layer.push_back(n);
            m_layers.push_back(std::move(layer));
        }
    }

    void parsing_data()
    {
        QTest::addColumn<std::string>("text");
        QTest::addColumn<bool>("parses");
        QTest::addColumn<BoardProblem>("problem");
        QTest::newRow("solved") << std::string("0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15") << true << BoardProblem::None;
        QTest::newRow("tabs and spaces") << std::string("\t1 0 2 3  4 5 6 7 8 9 10 11 12 13 14 15 \r") << true
                                         << BoardProblem::None;
        QTest::newRow("fifteen numbers") << std::string("0 1 2 3 4 5 6 7 8 9 10 11 12 13 14") << false
                                         << BoardProblem::None;
        QTest::newRow("seventeen numbers") << std::string("0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 0") << false
                                           << BoardProblem::None;
        QTest::newRow("a word") << std::string("0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 x") << false << BoardProblem::None;
        QTest::newRow("negative") << std::string("0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 -15") << false
                                  << BoardProblem::None;
        QTest::newRow("sixteen") << std::string("16 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15") << false
                                 << BoardProblem::None;
        QTest::newRow("empty") << std::string("") << false << BoardProblem::None;
        QTest::newRow("repeated tile") << std::string("0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 14") << true
                                       << BoardProblem::NotAPermutation;
        QTest::newRow("two gaps") << std::string("0 0 2 3 4 5 6 7 8 9 10 11 12 13 14 15") << true
                                  << BoardProblem::NotAPermutation;
        QTest::newRow("two tiles swapped") << std::string("0 2 1 3 4 5 6 7 8 9 10 11 12 13 14 15") << true
                                           << BoardProblem::WrongParity;
        QTest::newRow("gap two cells away") << std::string("1 2 0 3 4 5 6 7 8 9 10 11 12 13 14 15") << true
                                            << BoardProblem::None;
        QTest::newRow("gap two cells away, tiles swapped")
            << std::string("2 1 0 3 4 5 6 7 8 9 10 11 12 13 14 15") << true << BoardProblem::WrongParity;
        QTest::newRow("gap swapped with the far corner")
            << std::string("15 1 2 3 4 5 6 7 8 9 10 11 12 13 14 0") << true << BoardProblem::WrongParity;
    }

    void parsing()
    {
        QFETCH(std::string, text);
        QFETCH(bool, parses);
        QFETCH(BoardProblem, problem);
        std::string error;
        const auto tiles = parseTiles(text, error);
        QCOMPARE(tiles.has_value(), parses);
        QCOMPARE(error.empty(), parses);
        if (!tiles)
            return;
        QCOMPARE(checkBoard(*tiles), problem);
        // The solver refuses what the check refuses, with a sentence, and never searches it.
        for (const PatternDatabases* db : bothBounds()) {
            const SolveResult r = solve(*tiles, db);
            QCOMPARE(r.solved(), problem == BoardProblem::None);
            if (problem != BoardProblem::None) {
                QCOMPARE(r.status, problem == BoardProblem::WrongParity ? SolveStatus::Unsolvable : SolveStatus::Invalid);
                QVERIFY(!r.error.empty());
                QCOMPARE(r.nodes, std::uint64_t{0});
            }
        }
    }

    void solvedBoard()
    {
        for (const PatternDatabases* db : bothBounds()) {
            const SolveResult r = solve(solvedTiles(), db);
            QCOMPARE(r.status, SolveStatus::Solved);
            QCOMPARE(r.length(), 0);
            QVERIFY(!r.firstMove());
        }
        QCOMPARE(m_db->lowerBound(solvedTiles()), 0);
        QCOMPARE(manhattanLinearConflict(solvedTiles()), 0);
    }

    // Boards at every distance up to the BFS horizon: both bounds give exactly that length, the
    // moves solve the board, and the first move leads one step closer.
    void exactNearGoal_data()
    {
        QTest::addColumn<bool>("databases");
        QTest::newRow("pattern databases") << true;
        QTest::newRow("manhattan and linear conflicts") << false;
    }

    void exactNearGoal()
    {
        QFETCH(bool, databases);
        std::mt19937 rng(7);
        const int perDepth = kSanitized ? 3 : 12;
        for (int d = 1; d <= kBfsDepth; ++d) {
            auto layer = m_layers[static_cast<std::size_t>(d)];
            std::shuffle(layer.begin(), layer.end(), rng);
            layer.resize(std::min<std::size_t>(layer.size(), static_cast<std::size_t>(perDepth)));
            for (const Tiles& t : layer) {
                const SolveResult r = solve(t, databases ? &*m_db : nullptr);
                QVERIFY(r.solved());
                QCOMPARE(r.length(), d);
                QCOMPARE(r.lowerBound, d);
                QVERIFY2(solvesBoard(t, r.moves), formatTiles(t).c_str());
                Tiles next = t;
                QVERIFY(applyMove(next, *r.firstMove()));
                QCOMPARE(knownDistance(next), d - 1);
            }
        }
    }

    void boundsAdmissible()
    {
        for (const auto& [key, distance] : m_distance) {
            Tiles t{};
            std::uint64_t k = key;
            for (int i = kCellCount - 1; i >= 0; --i, k >>= 4)
                t[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(k & 15);
            const int direct = m_db->directSum(t);
            const int reflected = m_db->reflectedSum(t);
            if (direct > distance || reflected > distance || manhattanLinearConflict(t) > distance)
                QFAIL(("bound above the true distance " + std::to_string(distance) + " on " + formatTiles(t)).c_str());
            // Every bound has the parity of the true distance.
            if ((direct - distance) % 2 != 0 || (reflected - distance) % 2 != 0)
                QFAIL(("bound of the wrong parity on " + formatTiles(t)).c_str());
        }
    }

    // The reflected sum of a board is the direct sum of its mirror image, and the other way round.
    void reflectionConsistent()
    {
        std::mt19937 rng(11);
        int differing = 0;
        for (int i = 0; i < 300; ++i) {
            const Tiles t = randomSolvable(rng);
            const Tiles mirror = transposeTiles(t);
            QCOMPARE(checkBoard(mirror), BoardProblem::None);
            QCOMPARE(m_db->reflectedSum(t), m_db->directSum(mirror));
            QCOMPARE(m_db->directSum(t), m_db->reflectedSum(mirror));
            QCOMPARE(m_db->lowerBound(t), m_db->lowerBound(mirror));
            differing += m_db->directSum(t) != m_db->reflectedSum(t);
        }
        QVERIFY2(differing > 0, "the reflection never gives a different bound");
    }

    void randomWalks_data()
    {
        QTest::addColumn<int>("moves");
        for (const int k : {1, 2, 3, 5, 8, 13, 21, 34, 55})
            if (!kSanitized || k <= 21)
                QTest::addRow("%d moves", k) << k;
    }

    void randomWalks()
    {
        QFETCH(int, moves);
        std::mt19937 rng(static_cast<unsigned>(1000 + moves));
        for (int i = 0; i < 6; ++i) {
            const Tiles t = randomWalk(moves, rng);
            const SolveResult r = solve(t, &*m_db);
            QVERIFY(r.solved());
            QVERIFY(r.length() <= moves);
            QCOMPARE(r.length() % 2, moves % 2);
            QVERIFY(solvesBoard(t, r.moves));
            if (moves <= kBfsDepth)
                QCOMPARE(r.length(), knownDistance(t));
        }
    }

    // Two independent bounds must agree on the optimal length beyond the BFS horizon.
    void boundsAgree()
    {
        std::mt19937 rng(23);
        const int boards = kSanitized ? 2 : 12;
        for (int i = 0; i < boards; ++i) {
            const Tiles t = randomWalk(kSanitized ? 30 : 60, rng);
            const SolveResult withDatabases = solve(t, &*m_db);
            const SolveResult withManhattan = solve(t, nullptr);
            QVERIFY(withDatabases.solved() && withManhattan.solved());
            QCOMPARE(withDatabases.length(), withManhattan.length());
            QVERIFY(solvesBoard(t, withManhattan.moves));
        }
    }

    void limits_data()
    {
        QTest::addColumn<Tiles>("tiles");
        QTest::addColumn<int>("optimal");
        QTest::addColumn<quint64>("maxNodes");
        QTest::addColumn<int>("maxMs");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<SolveStatus>("status");
        QTest::newRow("node budget") << kFiftyNine << 59 << quint64{20000} << 0 << false << SolveStatus::NodeLimit;
        QTest::newRow("time budget") << kFiftyNine << 59 << quint64{0} << 30 << false << SolveStatus::TimeLimit;
        QTest::newRow("cancelled") << kFiftyNine << 59 << quint64{0} << 0 << true << SolveStatus::Cancelled;
        std::mt19937 rng(3);
        QTest::newRow("budget large enough") << randomWalk(12, rng) << -1
                                             << quint64{1000000} << 60000 << false << SolveStatus::Solved;
    }

    void limits()
    {
        QFETCH(Tiles, tiles);
        QFETCH(int, optimal);
        QFETCH(quint64, maxNodes);
        QFETCH(int, maxMs);
        QFETCH(bool, cancel);
        QFETCH(SolveStatus, status);
        const std::atomic<bool> flag{cancel};
        const SolveLimits limits{maxNodes, std::chrono::milliseconds(maxMs), &flag};
        const SolveResult r = solve(tiles, nullptr, limits);  // the slow bound: never done in time
        QCOMPARE(r.status, status);
        if (maxNodes != 0)
            QVERIFY(r.nodes <= maxNodes);
        if (status == SolveStatus::Solved) {
            QVERIFY(solvesBoard(tiles, r.moves));
            return;
        }
        QVERIFY(r.moves.empty());
        QVERIFY(!r.firstMove());
        // What was proven is still true.
        QVERIFY(r.lowerBound >= manhattanLinearConflict(tiles));
        QVERIFY(r.lowerBound <= optimal);
    }

    void knownInstances_data()
    {
        QTest::addColumn<Tiles>("tiles");
        QTest::addColumn<int>("optimal");
        QTest::newRow("55 moves") << kFiftyFive << 55;
        QTest::newRow("57 moves") << kFiftySeven << 57;
    }

    void knownInstances()
    {
        if (kSanitized)
            QSKIP("too slow with sanitizers");
        QFETCH(Tiles, tiles);
        QFETCH(int, optimal);
        const SolveResult r = solve(tiles, &*m_db);
        QCOMPARE(r.length(), optimal);
        QVERIFY(solvesBoard(tiles, r.moves));
    }

    // Shuffles made exactly as the game makes them, read through the game's board model.
    void gameShuffles()
    {
        const int shuffles = kSanitized ? 2 : 200;
        const int crossChecked = kSanitized ? 0 : 8;
        std::optional<PatternDatabases> other;
        if (crossChecked > 0)
            other = PatternDatabases::build(kFiveFiveFive);
        for (int seed = 1; seed <= shuffles; ++seed) {
            ScriptedRandom random({}, static_cast<unsigned>(seed));
            board::BoardModel model;
            board::ShuffleBoard(board::kCells, board::kColumns, board::kRows, model, random);
            const auto tiles = tilesFromBoard(model.board);
            QVERIFY(tiles);
            QCOMPARE(checkBoard(*tiles), BoardProblem::None);
            const SolveResult r = solve(*tiles, &*m_db);
            QVERIFY(r.solved());
            QVERIFY(r.length() > 0);
            QVERIFY(solvesBoard(*tiles, r.moves));
            QVERIFY(r.length() >= m_db->lowerBound(*tiles));
            if (seed <= crossChecked)
                QCOMPARE(solve(*tiles, &*other).length(), r.length());
            // The hint names a game tile beside the gap.
            const Move first = *r.firstMove();
            const int tile = gameTile(first);
            const int gapColumn = model.gapCol;
            const int gapRow = model.gapRow;
            bool beside = false;
            for (const auto& [dc, dr] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                const int c = gapColumn + dc;
                const int row = gapRow + dr;
                if (c >= 1 && c <= 4 && row >= 1 && row <= 4 && model.board(c, row) == tile)
                    beside = true;
            }
            QVERIFY2(beside, qPrintable(QString::number(tile)));
        }
        QVERIFY(!tilesFromBoard(board::Board{}));
    }

    // Following hints reaches the goal in the optimal count; after a move off the path the next
    // hint is still optimal.
    void hintsFollowToGoal()
    {
        std::mt19937 rng(5);
        HintSolver hints;
        hints.setDatabases(std::make_shared<const PatternDatabases>(*m_db));
        for (int game = 0; game < (kSanitized ? 1 : 4); ++game) {
            Tiles t = randomWalk(kSanitized ? 24 : 80, rng);
            const int optimal = solve(t, &*m_db).length();
            // Step aside once, then follow the hints.
            const Tiles aside = neighboursOf(t).front();
            SolveResult r = hints.hint(t);
            QCOMPARE(r.length(), optimal);
            r = hints.hint(aside);
            QCOMPARE(r.length(), solve(aside, &*m_db).length());
            QVERIFY(r.nodes > 0 || r.length() == optimal - 1);
            t = aside;
            int slides = 0;
            const int expected = r.length();
            while (t != solvedTiles()) {
                const SolveResult h = hints.hint(t);
                QVERIFY(h.solved());
                QCOMPARE(h.length(), expected - slides);
                if (slides > 0)
                    QCOMPARE(h.nodes, std::uint64_t{0});
                QVERIFY(applyMove(t, *h.firstMove()));
                ++slides;
            }
            QCOMPARE(slides, expected);
            QVERIFY(!hints.hint(t).firstMove());
        }
    }

    void partitions_data()
    {
        QTest::addColumn<Partition>("partition");
        QTest::addColumn<bool>("valid");
        QTest::newRow("standard") << standardPartition() << true;
        QTest::newRow("four groups") << kSmall << true;
        QTest::newRow("tile missing") << Partition{{1, 2, 3, 4, 5, 6, 7}, {8, 9, 10, 11, 12, 13, 14}} << false;
        QTest::newRow("tile twice") << Partition{{1, 2, 3, 4, 5, 6, 7}, {7, 8, 9, 10, 11, 12, 13}, {14, 15}} << false;
        QTest::newRow("gap in a group") << Partition{{0, 1, 2, 3, 4}, {5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15}} << false;
        QTest::newRow("group of eight") << Partition{{1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12, 13, 14, 15}} << false;
        QTest::newRow("empty group") << Partition{{}, {1, 2, 3, 4, 5, 6, 7}, {8, 9, 10, 11, 12, 13, 14, 15}} << false;
    }

    void partitions()
    {
        QFETCH(Partition, partition);
        QFETCH(bool, valid);
        std::string why;
        QCOMPARE(isValidPartition(partition, &why), valid);
        QCOMPARE(why.empty(), valid);
        if (!valid)
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, PatternDatabases::build(partition));
    }

    void cacheRejectsDamage_data()
    {
        QTest::addColumn<int>("damage");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("intact") << 0 << true;
        QTest::newRow("last byte cut") << 1 << false;
        QTest::newRow("half cut") << 2 << false;
        QTest::newRow("empty") << 3 << false;
        QTest::newRow("byte appended") << 4 << false;
        QTest::newRow("table byte flipped") << 5 << false;
        QTest::newRow("checksum byte flipped") << 6 << false;
        QTest::newRow("header byte flipped") << 7 << false;
        QTest::newRow("made for other groups") << 8 << false;
    }

    void cacheRejectsDamage()
    {
        QFETCH(int, damage);
        QFETCH(bool, accepted);
        static const std::optional<PatternDatabases> small = PatternDatabases::build(kSmall);
        std::vector<std::uint8_t> bytes = small->serialize();
        Partition expected = kSmall;
        switch (damage) {
        case 1: bytes.pop_back(); break;
        case 2: bytes.resize(bytes.size() / 2); break;
        case 3: bytes.clear(); break;
        case 4: bytes.push_back(0); break;
        case 5: bytes[bytes.size() / 2] ^= 0x10; break;
        case 6: bytes.back() ^= 0x01; break;
        case 7: bytes[2] ^= 0x20; break;
        case 8: std::swap(expected[0][0], expected[1][0]); break;
        default: break;
        }
        std::string error;
        const auto loaded = PatternDatabases::deserialize(bytes, expected, error);
        QCOMPARE(loaded.has_value(), accepted);
        QCOMPARE(error.empty(), accepted);
        if (!accepted)
            return;
        std::mt19937 rng(3);
        for (int i = 0; i < 200; ++i) {
            const Tiles t = randomSolvable(rng);
            QCOMPARE(loaded->directSum(t), small->directSum(t));
            QCOMPARE(loaded->reflectedSum(t), small->reflectedSum(t));
        }
    }

    // A damaged cache file is never trusted: it is rebuilt and written anew.
    void cacheRebuildsDamagedFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::filesystem::path folder = dir.filePath("nested/tavorin").toStdString();
        const std::filesystem::path file = cacheFile(folder, kSmall);
        CacheReport report;

        auto first = loadOrBuild(folder, kSmall, {}, &report);
        QVERIFY(first);
        QVERIFY(!report.fromCache);
        QVERIFY(std::filesystem::exists(file));

        auto second = loadOrBuild(folder, kSmall, {}, &report);
        QVERIFY(second);
        QVERIFY(report.fromCache);

        const auto size = std::filesystem::file_size(file);
        std::filesystem::resize_file(file, size - 100);
        auto third = loadOrBuild(folder, kSmall, {}, &report);
        QVERIFY(third);
        QVERIFY(!report.fromCache);
        QVERIFY(!report.note.empty());
        QCOMPARE(std::filesystem::file_size(file), size);

        {
            std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
            f.seekp(static_cast<std::streamoff>(size / 3));
            f.put('\x5a');
        }
        std::string error;
        QVERIFY(!loadDatabases(file, kSmall, error));
        QVERIFY(loadOrBuild(folder, kSmall, {}, &report) != nullptr);
        QVERIFY(!report.fromCache);
        QVERIFY(loadDatabases(file, kSmall, error));

        // Nothing but the cache file is left in the folder: no temporary files.
        int entries = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
            ++entries;
        QCOMPARE(entries, 1);
    }

    void cacheFolder_data()
    {
        QTest::addColumn<QByteArray>("xdg");
        QTest::addColumn<QByteArray>("home");
        QTest::addColumn<std::string>("expected");
        QTest::newRow("xdg set") << QByteArray("/x/cache") << QByteArray("/home/p") << std::string("/x/cache/tavorin");
        QTest::newRow("xdg relative") << QByteArray("rel/cache") << QByteArray("/home/p")
                                      << std::string("/home/p/.cache/tavorin");
        QTest::newRow("xdg empty") << QByteArray("") << QByteArray("/home/p") << std::string("/home/p/.cache/tavorin");
    }

    void cacheFolder()
    {
        QFETCH(QByteArray, xdg);
        QFETCH(QByteArray, home);
        QFETCH(std::string, expected);
        const QByteArray oldXdg = qgetenv("XDG_CACHE_HOME");
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("XDG_CACHE_HOME", xdg);
        qputenv("HOME", home);
        const std::filesystem::path folder = defaultCacheDirectory();
        qputenv("XDG_CACHE_HOME", oldXdg);
        qputenv("HOME", oldHome);
        QCOMPARE(folder.string(), expected);
    }

    void backgroundBuild()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        BackgroundDatabases background(dir.path().toStdString(), kSmall);
        background.request();
        for (int i = 0; i < 6000 && !background.finished(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        QVERIFY(background.finished());
        const auto db = background.current();
        QVERIFY(db);
        QVERIFY(std::filesystem::exists(cacheFile(dir.path().toStdString(), kSmall)));
        std::mt19937 rng(9);
        const Tiles t = randomWalk(30, rng);
        QCOMPARE(solve(t, db.get()).length(), solve(t, &*m_db).length());
    }

    // The standard tables take seconds to build: a build that ends at once with nothing was
    // stopped by the flag.
    void buildCancelled()
    {
        const std::atomic<bool> raised{true};
        QVERIFY(!PatternDatabases::build(standardPartition(), BuildOptions{2, &raised}));

        BackgroundDatabases background({}, standardPartition());
        background.request();
        background.cancel();
        for (int i = 0; i < 60000 && !background.finished(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        QVERIFY(background.finished());
        QVERIFY(!background.current());
    }
};

QTEST_APPLESS_MAIN(TestSolver)
#include "test_solver.moc"
