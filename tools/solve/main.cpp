// tavorin-solve: optimal move counts and first moves for boards read from standard input.
//
// Each input line holds sixteen numbers in reading order, 0 for the gap and tile t as t - 1.
// Blank lines and lines starting with '#' are skipped. For each board one line is printed:
//   <optimal moves> TAB <first move: tile number and direction, or "-"> TAB <milliseconds> TAB <nodes>
// Bad lines are reported on standard error and make the exit status 1 once all lines are read.
//
// The pattern tables are found as the game finds them: the hint tables file beside this program,
// beside the game in the build folder (where tools/tablegen writes it), or in the installed data
// folder, mapped in place; only when none of these passes, the cache is read or written.
#include "DatabaseCache.h"
#include "Solver.h"
#include "Tiles.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Options {
    bool fallback = false;
    bool useCache = true;
    std::filesystem::path cacheDirectory = solver::defaultCacheDirectory();
    int threads = 1;
    double maxSeconds = 0;
};

void usage()
{
    std::cerr << "usage: tavorin-solve [--fallback] [--no-cache] [--cache-dir DIR] [--threads N] [--max-seconds S]\n"
                 "  reads boards from standard input, one per line: 16 numbers, 0 the gap, tile t as t-1\n"
                 "  --fallback     search with Manhattan distance + linear conflicts only (no databases)\n"
                 "  --no-cache     build the pattern databases, using neither the built tables nor the cache\n"
                 "  --cache-dir    where the databases are cached (default: $XDG_CACHE_HOME/tavorin)\n"
                 "  --threads      threads used to build the databases (default 1)\n"
                 "  --max-seconds  give up on a board after this long (default: no limit)\n";
}

bool parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--fallback") {
            options.fallback = true;
        } else if (arg == "--no-cache") {
            options.useCache = false;
        } else if (arg == "--cache-dir") {
            const char* v = value();
            if (!v)
                return false;
            options.cacheDirectory = v;
        } else if (arg == "--threads") {
            const char* v = value();
            if (!v || std::atoi(v) < 1)
                return false;
            options.threads = std::atoi(v);
        } else if (arg == "--max-seconds") {
            const char* v = value();
            if (!v || std::atof(v) <= 0)
                return false;
            options.maxSeconds = std::atof(v);
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        usage();
        return 2;
    }

    std::shared_ptr<const solver::PatternDatabases> databases;
    if (!options.fallback) {
        solver::CacheReport report;
        databases = solver::loadOrBuild(
            options.useCache ? options.cacheDirectory : std::filesystem::path(), solver::standardPartition(),
            solver::BuildOptions{options.threads, nullptr}, &report,
            options.useCache ? solver::installedTablesFiles({TAVORIN_BUILD_TABLES_FOLDER})
                             : std::vector<std::filesystem::path>{});
        if (!report.installed.empty()) {
            std::cerr << "pattern databases mapped from " << report.installed.string() << " in "
                      << report.loadTime.count() << " ms\n";
        } else if (report.fromCache) {
            std::cerr << "pattern databases read from the cache in " << report.loadTime.count() << " ms\n";
        } else {
            std::cerr << "pattern databases built in " << report.buildTime.count() << " ms";
            if (options.useCache)
                std::cerr << " (" << report.note << ")";
            std::cerr << "\n";
        }
    }

    solver::SolveLimits limits;
    limits.maxTime = std::chrono::milliseconds(static_cast<long long>(options.maxSeconds * 1000));

    bool failed = false;
    std::string line;
    for (int number = 1; std::getline(std::cin, line); ++number) {
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#')
            continue;
        std::string error;
        const auto tiles = solver::parseTiles(line, error);
        if (!tiles) {
            std::cerr << "line " << number << ": " << error << "\n";
            failed = true;
            continue;
        }
        const solver::SolveResult result = solver::solve(*tiles, databases.get(), limits);
        if (!result.solved()) {
            std::cerr << "line " << number << ": "
                      << (result.error.empty() ? std::string(solver::statusName(result.status)) +
                                                     " (at least " + std::to_string(result.lowerBound) + " moves)"
                                               : result.error)
                      << "\n";
            failed = true;
            continue;
        }
        const auto move = result.firstMove();
        const double ms = std::chrono::duration<double, std::milli>(result.elapsed).count();
        char time[32];
        std::snprintf(time, sizeof time, "%.2f ms", ms);
        std::cout << result.length() << '\t' << (move ? solver::describeMove(*move) : std::string("-")) << '\t'
                  << time << '\t' << result.nodes << " nodes" << std::endl;
    }
    return failed ? 1 : 0;
}
