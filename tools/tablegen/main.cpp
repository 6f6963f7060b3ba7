// tavorin-tablegen: builds the hint solver's pattern tables and writes them to one file.
//
// Usage: tavorin-tablegen [--threads N] <output file>
//
// The file has the form PatternDatabases::serialize gives it (magic, format version, tile groups,
// tables, checksum) and holds the game's standard tile groups. It is written beside the output
// under a temporary name and then renamed over it, so that an interrupted build never leaves a
// partial file behind. The tables take about 8 s of one core; the build runs this only when the
// code that makes them changes.
#include "PatternDatabase.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

int main(int argc, char** argv)
{
    int threads = 1;
    std::filesystem::path output;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--threads" && i + 1 < argc && std::atoi(argv[i + 1]) >= 1) {
            threads = std::atoi(argv[++i]);
        } else if (output.empty() && !arg.empty() && arg[0] != '-') {
            output = arg;
        } else {
            output.clear();
            break;
        }
    }
    if (output.empty()) {
        std::cerr << "usage: tavorin-tablegen [--threads N] <output file>\n";
        return 2;
    }

    const auto start = std::chrono::steady_clock::now();
    const auto tables = solver::PatternDatabases::build(solver::standardPartition(), solver::BuildOptions{threads, nullptr});
    if (!tables) {
        std::cerr << "tavorin-tablegen: the tables were not built\n";
        return 1;
    }
    const std::vector<std::uint8_t> bytes = tables->serialize();
    std::filesystem::path temporary = output;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::cerr << "tavorin-tablegen: cannot write " << temporary << "\n";
            std::filesystem::remove(temporary);
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, output, ec);
    if (ec) {
        std::cerr << "tavorin-tablegen: cannot replace " << output << ": " << ec.message() << "\n";
        std::filesystem::remove(temporary, ec);
        return 1;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::cout << "hint tables: " << bytes.size() << " bytes in " << ms.count() << " ms\n";
    return 0;
}
