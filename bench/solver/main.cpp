// bench_solver: pattern-database build and load costs, and solve times on fixed board sets.
//
//   bench_solver [--quick] [--hard SECONDS]
// Prints, in order: the tables' build time with one and two threads, their size in memory and on
// disk, the time to write and to read back the cache file; then solve times (min / median / mean
// / 99th percentile / max) on uniformly random boards and on boards shuffled as the game does;
// then the fallback bound alone on game shuffles; then well-known hard boards, each given at most SECONDS (default 300).
#include "DatabaseCache.h"
#include "GameBoard.h"
#include "Shuffle.h"
#include "Solver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

using namespace solver;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The game's shuffle, reseeded from a fixed sequence instead of the clock.
class SeededRandom final : public board::RandomSource {
public:
    explicit SeededRandom(unsigned seed) : m_engine(seed) {}
    void reseed() override {}
    double next() override { return m_uniform(m_engine); }

private:
    std::mt19937 m_engine;
    std::uniform_real_distribution<double> m_uniform{0.0, 1.0};
};

struct Sample {
    double ms;
    std::uint64_t nodes;
    int length;
};

void report(const char* title, std::vector<Sample> samples)
{
    if (samples.empty())
        return;
    std::sort(samples.begin(), samples.end(), [](const Sample& a, const Sample& b) { return a.ms < b.ms; });
    double total = 0;
    double nodes = 0;
    double length = 0;
    int under30 = 0;
    int over250 = 0;
    for (const Sample& s : samples) {
        total += s.ms;
        nodes += static_cast<double>(s.nodes);
        length += s.length;
        under30 += s.ms < 30.0;
        over250 += s.ms > 250.0;
    }
    const std::size_t n = samples.size();
    auto at = [&](double q) { return samples[std::min(n - 1, static_cast<std::size_t>(q * static_cast<double>(n)))].ms; };
    std::printf("%s (%zu boards, mean optimal length %.1f, mean nodes %.0f)\n", title, n, length / static_cast<double>(n),
                nodes / static_cast<double>(n));
    std::printf("  ms: min %.2f  median %.2f  mean %.2f  p99 %.2f  max %.2f;  under 30 ms: %.1f%%;  over 250 ms: %d\n",
                samples.front().ms, at(0.5), total / static_cast<double>(n), at(0.99), samples.back().ms,
                100.0 * under30 / static_cast<double>(n), over250);
}

Sample timed(const Tiles& t, const PatternDatabases* db, const SolveLimits& limits = {})
{
    const SolveResult r = solve(t, db, limits);
    if (!r.solved() && r.status != SolveStatus::TimeLimit)
        std::fprintf(stderr, "unexpected: %s on %s\n", std::string(statusName(r.status)).c_str(), formatTiles(t).c_str());
    return {std::chrono::duration<double, std::milli>(r.elapsed).count(), r.nodes, r.solved() ? r.length() : -r.lowerBound};
}

}  // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    bool quick = false;
    int hardSeconds = 300;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            quick = true;
        else if (std::strcmp(argv[i], "--hard") == 0 && i + 1 < argc)
            hardSeconds = std::atoi(argv[++i]);
    }

    // Tables.
    const Partition partition = standardPartition();
    std::shared_ptr<const PatternDatabases> db;
    for (const int threads : {1, 2}) {
        const auto start = Clock::now();
        auto built = PatternDatabases::build(partition, BuildOptions{threads, nullptr});
        std::printf("build, %d thread%s: %.0f ms\n", threads, threads == 1 ? "" : "s", msSince(start));
        db = std::make_shared<const PatternDatabases>(std::move(*built));
    }
    std::uint64_t entries = 0;
    for (const TileGroup& g : partition)
        entries += placementCount(static_cast<int>(g.size()));
    std::printf("tables: %llu placements, %zu bytes in memory (4 bits each; 1 byte each would be %llu)\n",
                static_cast<unsigned long long>(entries), db->memoryBytes(), static_cast<unsigned long long>(entries));

    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tavorin-bench-cache";
    const std::filesystem::path file = cacheFile(folder, partition);
    std::string error;
    auto start = Clock::now();
    if (!saveDatabases(*db, file, error))
        std::printf("save failed: %s\n", error.c_str());
    std::printf("cache file: %llu bytes, written in %.1f ms\n",
                static_cast<unsigned long long>(std::filesystem::file_size(file)), msSince(start));
    double bestLoad = 1e9;
    for (int i = 0; i < 5; ++i) {
        start = Clock::now();
        if (!loadDatabases(file, partition, error))
            std::printf("load failed: %s\n", error.c_str());
        bestLoad = std::min(bestLoad, msSince(start));
    }
    std::printf("cache file read and checked in %.1f ms (best of 5)\n", bestLoad);
    std::filesystem::remove_all(folder);

    // Uniformly random solvable boards.
    {
        std::mt19937 rng(2024);
        std::vector<Sample> samples;
        const int count = quick ? 20 : 100;
        while (static_cast<int>(samples.size()) < count) {
            Tiles t = solvedTiles();
            std::shuffle(t.begin(), t.end(), rng);
            if (checkBoard(t) == BoardProblem::None)
                samples.push_back(timed(t, db.get()));
        }
        report("uniformly random boards", samples);
    }

    // Boards as the game shuffles them (300 random gap moves), one hint each.
    {
        std::vector<Sample> samples;
        const int count = quick ? 100 : 1000;
        for (int seed = 1; seed <= count; ++seed) {
            SeededRandom random(static_cast<unsigned>(seed));
            board::BoardModel model;
            board::ShuffleBoard(board::kCells, board::kColumns, board::kRows, model, random);
            samples.push_back(timed(*tilesFromBoard(model.board), db.get()));
        }
        report("game shuffles (300 gap moves)", samples);
    }

    // The fallback bound alone, as hints get it before the tables are ready: game shuffles with
    // a time limit per board.
    {
        std::vector<Sample> answered;
        const int count = quick ? 5 : 20;
        const int limitMs = quick ? 1000 : 5000;
        int gaveUp = 0;
        for (int seed = 1; seed <= count; ++seed) {
            SeededRandom random(static_cast<unsigned>(seed));
            board::BoardModel model;
            board::ShuffleBoard(board::kCells, board::kColumns, board::kRows, model, random);
            SolveLimits limits;
            limits.maxTime = std::chrono::milliseconds(limitMs);
            const Sample s = timed(*tilesFromBoard(model.board), nullptr, limits);
            if (s.length < 0)
                ++gaveUp;
            else
                answered.push_back(s);
        }
        std::printf("Manhattan + linear conflicts only, game shuffles: %d of %d answered within %d ms\n",
                    count - gaveUp, count, limitMs);
        report("  of which answered", answered);
    }

    // Known instances: three random ones with published lengths, and two of the hardest boards.
    struct Known {
        const char* name;
        Tiles tiles;
        int optimal;
    };
    const Known known[] = {
        {"random instance (55)", {13, 5, 4, 10, 9, 12, 8, 14, 2, 3, 7, 1, 0, 15, 11, 6}, 55},
        {"random instance (57)", {14, 13, 15, 7, 11, 12, 9, 5, 6, 0, 2, 1, 4, 8, 10, 3}, 57},
        {"random instance (59)", {14, 7, 8, 2, 13, 11, 10, 4, 9, 12, 5, 0, 3, 6, 1, 15}, 59},
        {"hardest board (80)", {15, 14, 8, 12, 10, 11, 9, 13, 2, 6, 5, 1, 3, 7, 4, 0}, 80},
        {"hardest board (80)", {15, 11, 13, 12, 14, 10, 8, 9, 7, 2, 5, 1, 3, 6, 4, 0}, 80},
    };
    const int knownCount = quick ? 3 : static_cast<int>(std::size(known));
    for (int i = 0; i < knownCount; ++i) {
        SolveLimits limits;
        limits.maxTime = std::chrono::seconds(hardSeconds);
        const SolveResult r = solve(known[i].tiles, db.get(), limits);
        const double ms = std::chrono::duration<double, std::milli>(r.elapsed).count();
        if (r.solved())
            std::printf("%s: %d moves%s in %.1f ms, %llu nodes\n", known[i].name, r.length(),
                        r.length() == known[i].optimal ? "" : " (WRONG)", ms, static_cast<unsigned long long>(r.nodes));
        else
            std::printf("%s: gave up after %.0f s at bound %d, %llu nodes\n", known[i].name, ms / 1000, r.lowerBound,
                        static_cast<unsigned long long>(r.nodes));
    }
    return 0;
}
