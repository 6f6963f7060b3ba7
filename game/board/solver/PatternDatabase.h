// Additive disjoint pattern databases: exact costs of small tile groups, summed into a bound.
//
// The fifteen tiles are split into disjoint groups. For each group a table holds, for every way
// of placing that group's tiles on the board, the fewest slides OF THOSE TILES that bring them
// home with the gap back in the top-left cell (slides of other tiles are free). Since no slide
// moves tiles of two groups, the group costs add up to a lower bound on the whole solution.
// The solved board is symmetric about the main diagonal, so the same tables also bound the
// reflected board; the larger of the two sums is used.
//
// Storage: a group's cost always exceeds its tiles' Manhattan distance by an even amount, and
// only half that excess is kept, four bits per placement (excesses past 30 are stored as 30,
// which only weakens the bound). The standard 6-6-3 split takes 2 x 2,882,880 + 1,680 bytes.
#pragma once

#include "Tiles.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace solver {

using TileGroup = std::vector<std::uint8_t>;
using Partition = std::vector<TileGroup>;

// The split the game ships with: three groups of 6, 6 and 3 tiles.
Partition standardPartition();

// True when the groups hold each tile 1 to 15 exactly once and every group has 1 to 7 tiles.
bool isValidPartition(const Partition& partition, std::string* why = nullptr);

// The cell of each tile: cellOf[tile] for tile 0 (the gap) to 15.
using CellsOfTiles = std::array<std::uint8_t, kCellCount>;
CellsOfTiles cellsOf(const Tiles& tiles);

struct BuildOptions {
    int threads = 1;                             // groups built at once (at least 1)
    const std::atomic<bool>* cancel = nullptr;   // polled; when it turns true, build gives up
};

// Immutable once made, so one set may be shared by any number of threads.
class PatternDatabases {
public:
    // Breadth-first search over each group's placements. Returns nothing when cancelled.
    // Throws std::invalid_argument for an invalid partition.
    static std::optional<PatternDatabases> build(const Partition& partition, const BuildOptions& options = {});

    // The file form: a header naming the partition, the tables, and a 64-bit checksum of all
    // that precedes it.
    std::vector<std::uint8_t> serialize() const;

    // Accepts only a complete, unaltered file made for `expected`: any size, header or checksum
    // mismatch returns nothing with the reason in `error`. The tables are copied out of `bytes`.
    static std::optional<PatternDatabases> deserialize(std::span<const std::uint8_t> bytes,
                                                       const Partition& expected, std::string& error);

    // As deserialize, but the tables stay where they lie in `bytes` (a file mapped read-only),
    // which `keeper` keeps alive for as long as any copy of the result. The checksum is not
    // computed here: `checksum` is the caller's, over every byte but the last eight (with
    // fileChecksum), and must equal the one the file ends with.
    static std::optional<PatternDatabases> view(std::shared_ptr<const void> keeper,
                                                std::span<const std::uint8_t> bytes, const Partition& expected,
                                                std::uint64_t checksum, std::string& error);

    const Partition& partition() const { return m_partition; }
    int groupCount() const { return static_cast<int>(m_groups.size()); }

    // Bytes held by the tables.
    std::size_t memoryBytes() const;

    // The group whose share changes when `tile` moves, on the board and on its reflection.
    int groupOfTile(int tile) const { return m_groupOf[static_cast<std::size_t>(tile)]; }
    int reflectedGroupOfTile(int tile) const { return m_reflectedGroupOf[static_cast<std::size_t>(tile)]; }

    // One group's share of the bound, for the board and for its reflection.
    int groupCost(int group, const CellsOfTiles& cellOf) const;
    int reflectedGroupCost(int group, const CellsOfTiles& cellOf) const;

    // The same shares less the group's Manhattan distance (which the reflection leaves as it is),
    // for a search that keeps the Manhattan distance itself.
    int groupExcess(int group, const CellsOfTiles& cellOf) const;
    int reflectedGroupExcess(int group, const CellsOfTiles& cellOf) const;

    // Sum over the groups on the board, on its reflection, and the larger of the two.
    int directSum(const Tiles& tiles) const;
    int reflectedSum(const Tiles& tiles) const;
    int lowerBound(const Tiles& tiles) const;

private:
    struct Group {
        std::vector<std::uint8_t> tiles;        // the group's tiles in table order
        std::vector<std::uint8_t> mirrorTiles;  // for the reflection: transposeCell of each
        std::span<const std::uint8_t> table;    // half-excess over Manhattan, two per byte
    };

    PatternDatabases() = default;
    static PatternDatabases withGroups(const Partition& partition);  // tables left empty
    static std::optional<PatternDatabases> read(std::span<const std::uint8_t> bytes, const Partition& expected,
                                                std::uint64_t checksum, std::shared_ptr<const void> keeper,
                                                std::string& error);
    int excess(const Group& group, const std::uint8_t* cells) const;

    Partition m_partition;
    std::vector<Group> m_groups;
    std::shared_ptr<const void> m_storage;     // what the tables lie in: shared by copies
    std::array<std::int8_t, kCellCount> m_groupOf{};
    std::array<std::int8_t, kCellCount> m_reflectedGroupOf{};
};

// Placements of k tiles on 16 cells: 16! / (16 - k)!.
std::uint64_t placementCount(int tiles);

// Bytes of the tables for a partition (what memoryBytes() will report once built).
std::size_t tableBytes(const Partition& partition);

// The checksum the file form ends with (64-bit FNV-1a), over `bytes`; a file read in pieces
// passes each piece's result on as the next piece's `checksum`.
inline constexpr std::uint64_t kChecksumStart = 0xcbf29ce484222325ull;
std::uint64_t fileChecksum(std::span<const std::uint8_t> bytes, std::uint64_t checksum = kChecksumStart);

}  // namespace solver
