// Building, storing and reading the additive pattern databases.
#include "PatternDatabase.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace solver {

namespace {

constexpr std::uint32_t kNotFirstColumn = 0xEEEE;  // cells a shift to the right may land on
constexpr std::uint32_t kNotLastColumn = 0x7777;   // cells a shift to the left may land on
constexpr std::uint32_t kAllCells = 0xFFFF;
constexpr std::uint8_t kUnset = 0xFF;
constexpr int kMaxGroupSize = 7;
constexpr int kMaxHalfExcess = 15;

constexpr char kMagic[8] = {'T', 'A', 'V', 'P', 'D', 'B', '\r', '\n'};
constexpr std::uint32_t kFormatVersion = 1;

struct ManhattanTable {
    std::array<std::array<std::uint8_t, kCellCount>, kCellCount> d{};
    constexpr ManhattanTable()
    {
        for (int t = 0; t < kCellCount; ++t)
            for (int c = 0; c < kCellCount; ++c) {
                const int dr = t / kSide - c / kSide;
                const int dc = t % kSide - c % kSide;
                d[static_cast<std::size_t>(t)][static_cast<std::size_t>(c)] =
                    static_cast<std::uint8_t>((dr < 0 ? -dr : dr) + (dc < 0 ? -dc : dc));
            }
    }
};
constexpr ManhattanTable kManhattan;

struct NeighbourMasks {
    std::array<std::uint32_t, kCellCount> m{};
    constexpr NeighbourMasks()
    {
        for (int c = 0; c < kCellCount; ++c) {
            std::uint32_t bits = 0;
            if (c / kSide > 0) bits |= 1u << (c - kSide);
            if (c / kSide < kSide - 1) bits |= 1u << (c + kSide);
            if (c % kSide > 0) bits |= 1u << (c - 1);
            if (c % kSide < kSide - 1) bits |= 1u << (c + 1);
            m[static_cast<std::size_t>(c)] = bits;
        }
    }
};
constexpr NeighbourMasks kNeighbours;

// The cells the gap reaches from `seed` without crossing a cell outside `open`.
std::uint32_t flood(std::uint32_t seed, std::uint32_t open)
{
    std::uint32_t region = seed;
    while (true) {
        const std::uint32_t grown = (region | ((region << 1) & kNotFirstColumn) |
                                     ((region >> 1) & kNotLastColumn) | (region << kSide) |
                                     (region >> kSide)) & open;
        if (grown == region)
            return region;
        region = grown;
    }
}

// Mixed-radix rank of distinct cells: the i-th cell is counted among the cells not yet used.
// Pairwise comparisons rather than bit counts, which are slow on CPUs without a popcount.
std::uint64_t rankCells(const std::uint8_t* cells, int count)
{
    std::uint64_t rank = 0;
    for (int i = 0; i < count; ++i) {
        unsigned digit = cells[i];
        for (int j = 0; j < i; ++j)
            digit -= cells[j] < cells[i];
        rank = rank * static_cast<std::uint64_t>(kCellCount - i) + digit;
    }
    return rank;
}

// Inverse of rankCells; returns the mask of the cells.
std::uint32_t unrankCells(std::uint64_t rank, int count, std::uint8_t* cells)
{
    std::array<unsigned, kMaxGroupSize> digits{};
    for (int i = count - 1; i >= 0; --i) {
        const auto radix = static_cast<std::uint64_t>(kCellCount - i);
        digits[static_cast<std::size_t>(i)] = static_cast<unsigned>(rank % radix);
        rank /= radix;
    }
    std::uint32_t used = 0;
    for (int i = 0; i < count; ++i) {
        std::uint32_t free = ~used & kAllCells;
        for (unsigned skip = digits[static_cast<std::size_t>(i)]; skip > 0; --skip)
            free &= free - 1;
        const int c = std::countr_zero(free);
        cells[i] = static_cast<std::uint8_t>(c);
        used |= 1u << c;
    }
    return used;
}

int manhattanOf(const std::vector<std::uint8_t>& tiles, const std::uint8_t* cells)
{
    int sum = 0;
    for (std::size_t i = 0; i < tiles.size(); ++i)
        sum += kManhattan.d[tiles[i]][cells[i]];
    return sum;
}

// Breadth-first search from the solved placement. A state is the group's cells plus the region
// of cells the gap can reach without moving a group tile, named by its lowest cell; moving a
// group tile into that region costs one. Returns nothing when cancelled.
std::optional<std::vector<std::uint8_t>> buildTable(const std::vector<std::uint8_t>& tiles,
                                                    const std::atomic<bool>* cancel)
{
    const int k = static_cast<int>(tiles.size());
    const std::uint64_t placements = placementCount(k);
    std::vector<std::uint8_t> distance(placements, kUnset);
    std::vector<std::uint64_t> seen((placements * kCellCount + 63) / 64, 0);
    std::vector<std::uint64_t> layer;
    std::vector<std::uint64_t> nextLayer;

    // The seen bits are far too many for the processor's caches and are hit at random: children
    // wait in a short queue, their words fetched ahead, before the test that keeps new ones.
    constexpr std::size_t kPending = 32;
    std::array<std::uint64_t, kPending> pending{};
    std::size_t pendingCount = 0;
    std::size_t pendingHead = 0;
    // A queued state: its index in `seen` above bit 32, then the cells four bits each, then the
    // gap's seed cell, so that expanding it needs no unranking.
    auto settle = [&](std::uint64_t entry) {
        const std::uint64_t state = entry >> 32;
        std::uint64_t& word = seen[state >> 6];
        const std::uint64_t bit = std::uint64_t{1} << (state & 63);
        if ((word & bit) == 0) {
            word |= bit;
            nextLayer.push_back(entry);
        }
    };
    auto offer = [&](std::uint64_t state) {
        __builtin_prefetch(&seen[(state >> 32) >> 6], 1);
        if (pendingCount == kPending) {
            settle(pending[pendingHead]);
            pending[pendingHead] = state;
            pendingHead = (pendingHead + 1) % kPending;
        } else {
            pending[(pendingHead + pendingCount++) % kPending] = state;
        }
    };
    auto flush = [&] {
        for (; pendingCount > 0; --pendingCount, pendingHead = (pendingHead + 1) % kPending)
            settle(pending[pendingHead]);
        pendingHead = 0;
    };

    std::array<std::uint8_t, kMaxGroupSize> cells{};
    std::copy(tiles.begin(), tiles.end(), cells.begin());
    auto entryOf = [k](std::uint64_t state, const std::uint8_t* at, int gapSeed) {
        std::uint64_t packed = 0;
        for (int i = k - 1; i >= 0; --i)
            packed = (packed << 4) | at[i];
        return (state << 32) | (packed << 4) | static_cast<std::uint64_t>(gapSeed);
    };
    const std::uint64_t start = rankCells(cells.data(), k) * kCellCount;  // gap region holds cell 0
    seen[start >> 6] |= std::uint64_t{1} << (start & 63);
    layer.push_back(entryOf(start, cells.data(), 0));

    std::uint64_t expanded = 0;
    constexpr std::size_t kAhead = 8;
    for (int depth = 0; !layer.empty(); ++depth) {
        for (std::size_t at = 0; at < layer.size(); ++at) {
            if ((++expanded & 0xFFFF) == 0 && cancel && cancel->load(std::memory_order_relaxed))
                return std::nullopt;
            if (at + kAhead < layer.size())
                __builtin_prefetch(&distance[(layer[at + kAhead] >> 32) / kCellCount], 1);
            const std::uint64_t entry = layer[at];
            const std::uint64_t rank = (entry >> 32) / kCellCount;
            const int gapSeed = static_cast<int>(entry & 15);
            std::uint32_t used = 0;
            for (int i = 0; i < k; ++i) {
                cells[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((entry >> (4 + 4 * i)) & 15);
                used |= 1u << cells[static_cast<std::size_t>(i)];
            }
            if (distance[rank] == kUnset)
                distance[rank] = static_cast<std::uint8_t>(depth);
            const std::uint32_t region = flood(1u << gapSeed, ~used & kAllCells);
            for (int i = 0; i < k; ++i) {
                const std::uint8_t from = cells[static_cast<std::size_t>(i)];
                std::uint32_t targets = kNeighbours.m[from] & region;
                while (targets != 0) {
                    const int to = std::countr_zero(targets);
                    targets &= targets - 1;
                    cells[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(to);
                    const std::uint32_t nowUsed = (used & ~(1u << from)) | (1u << to);
                    const std::uint32_t gapRegion = flood(1u << from, ~nowUsed & kAllCells);
                    const int seed = std::countr_zero(gapRegion);
                    offer(entryOf(rankCells(cells.data(), k) * kCellCount + static_cast<std::uint64_t>(seed),
                                  cells.data(), seed));
                }
                cells[static_cast<std::size_t>(i)] = from;
            }
        }
        flush();
        layer.swap(nextLayer);
        nextLayer.clear();
    }
    seen = {};

    // Keep half the excess over the Manhattan distance, two placements per byte.
    std::vector<std::uint8_t> packed((placements + 1) / 2, 0);
    for (std::uint64_t rank = 0; rank < placements; ++rank) {
        unrankCells(rank, k, cells.data());
        const int excess = (distance[rank] - manhattanOf(tiles, cells.data())) / 2;
        const auto half = static_cast<std::uint8_t>(std::clamp(excess, 0, kMaxHalfExcess));
        packed[rank / 2] |= static_cast<std::uint8_t>(half << ((rank & 1) * 4));
    }
    return packed;
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void putU64(std::vector<std::uint8_t>& out, std::uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}


// Sequential little-endian reads that fail softly at the end of the input.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    bool take(std::size_t n, std::span<const std::uint8_t>& out)
    {
        if (m_bytes.size() - m_offset < n)
            return false;
        out = m_bytes.subspan(m_offset, n);
        m_offset += n;
        return true;
    }
    bool u32(std::uint32_t& v)
    {
        std::span<const std::uint8_t> s;
        if (!take(4, s))
            return false;
        v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | s[static_cast<std::size_t>(i)];
        return true;
    }
    bool u64(std::uint64_t& v)
    {
        std::span<const std::uint8_t> s;
        if (!take(8, s))
            return false;
        v = 0;
        for (int i = 7; i >= 0; --i)
            v = (v << 8) | s[static_cast<std::size_t>(i)];
        return true;
    }
    std::size_t offset() const { return m_offset; }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_offset = 0;
};

}  // namespace

// Chosen by measurement among several 6-6-3 splits: on random boards it examined two to five
// times fewer nodes than the others tried. Its reflection is {1..6}, {8,9,10,12,13,14}, {7,11,15},
// different enough to raise the bound often.
Partition standardPartition()
{
    return {{1, 4, 5, 8, 9, 12}, {2, 3, 6, 7, 10, 11}, {13, 14, 15}};
}

bool isValidPartition(const Partition& partition, std::string* why)
{
    auto fail = [why](std::string text) {
        if (why)
            *why = std::move(text);
        return false;
    };
    unsigned seen = 0;
    for (const TileGroup& group : partition) {
        if (group.empty() || static_cast<int>(group.size()) > kMaxGroupSize)
            return fail("each group needs 1 to 7 tiles");
        for (const std::uint8_t tile : group) {
            if (tile == 0 || tile >= kCellCount)
                return fail("tile " + std::to_string(tile) + " is not one of 1 to 15");
            if (seen & (1u << tile))
                return fail("tile " + std::to_string(tile) + " is in two groups");
            seen |= 1u << tile;
        }
    }
    if (seen != (kAllCells & ~1u))
        return fail("some tile is in no group");
    return true;
}

CellsOfTiles cellsOf(const Tiles& tiles)
{
    CellsOfTiles cellOf{};
    for (int c = 0; c < kCellCount; ++c)
        cellOf[tiles[static_cast<std::size_t>(c)] & 15] = static_cast<std::uint8_t>(c);
    return cellOf;
}

std::uint64_t placementCount(int tiles)
{
    std::uint64_t n = 1;
    for (int i = 0; i < tiles; ++i)
        n *= static_cast<std::uint64_t>(kCellCount - i);
    return n;
}

std::size_t tableBytes(const Partition& partition)
{
    std::size_t bytes = 0;
    for (const TileGroup& group : partition)
        bytes += static_cast<std::size_t>((placementCount(static_cast<int>(group.size())) + 1) / 2);
    return bytes;
}

std::uint64_t fileChecksum(std::span<const std::uint8_t> bytes, std::uint64_t checksum)
{
    for (const std::uint8_t b : bytes) {
        checksum ^= b;
        checksum *= 0x100000001b3ull;
    }
    return checksum;
}

PatternDatabases PatternDatabases::withGroups(const Partition& partition)
{
    PatternDatabases db;
    db.m_partition = partition;
    db.m_groups.resize(partition.size());
    db.m_groupOf.fill(-1);
    for (std::size_t g = 0; g < partition.size(); ++g) {
        Group& group = db.m_groups[g];
        group.tiles = partition[g];
        for (const std::uint8_t t : group.tiles) {
            group.mirrorTiles.push_back(static_cast<std::uint8_t>(transposeCell(t)));
            db.m_groupOf[t] = static_cast<std::int8_t>(g);
        }
    }
    for (int t = 0; t < kCellCount; ++t)
        db.m_reflectedGroupOf[static_cast<std::size_t>(t)] = db.m_groupOf[static_cast<std::size_t>(transposeCell(t))];
    return db;
}

std::optional<PatternDatabases> PatternDatabases::build(const Partition& partition, const BuildOptions& options)
{
    std::string why;
    if (!isValidPartition(partition, &why))
        throw std::invalid_argument("invalid tile partition: " + why);

    PatternDatabases db = withGroups(partition);

    // Largest groups first, so that parallel workers finish together.
    std::vector<std::size_t> order(partition.size());
    for (std::size_t g = 0; g < order.size(); ++g)
        order[g] = g;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return partition[a].size() > partition[b].size(); });

    auto tables = std::make_shared<std::vector<std::vector<std::uint8_t>>>(partition.size());
    std::atomic<std::size_t> next{0};
    std::atomic<bool> cancelled{false};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto work = [&] {
        try {
            for (std::size_t i = next++; i < order.size(); i = next++) {
                auto table = buildTable(partition[order[i]], options.cancel);
                if (!table) {
                    cancelled = true;
                    return;
                }
                (*tables)[order[i]] = std::move(*table);   // each worker its own groups
            }
        } catch (...) {
            const std::lock_guard lock(failureLock);
            failure = std::current_exception();
        }
    };
    const int threads = std::clamp(options.threads, 1, static_cast<int>(order.size()));
    std::vector<std::thread> helpers;
    for (int i = 1; i < threads; ++i)
        helpers.emplace_back(work);
    work();
    for (std::thread& t : helpers)
        t.join();
    if (failure)
        std::rethrow_exception(failure);
    if (cancelled)
        return std::nullopt;
    for (std::size_t g = 0; g < partition.size(); ++g)
        db.m_groups[g].table = (*tables)[g];
    db.m_storage = std::move(tables);
    return db;
}

std::size_t PatternDatabases::memoryBytes() const
{
    std::size_t bytes = 0;
    for (const Group& group : m_groups)
        bytes += group.table.size();
    return bytes;
}

int PatternDatabases::excess(const Group& group, const std::uint8_t* cells) const
{
    const std::uint64_t rank = rankCells(cells, static_cast<int>(group.tiles.size()));
    return 2 * ((group.table[rank >> 1] >> ((rank & 1) * 4)) & 0xF);
}

int PatternDatabases::groupExcess(int group, const CellsOfTiles& cellOf) const
{
    const Group& g = m_groups[static_cast<std::size_t>(group)];
    std::array<std::uint8_t, kMaxGroupSize> cells{};
    for (std::size_t i = 0; i < g.tiles.size(); ++i)
        cells[i] = cellOf[g.tiles[i]];
    return excess(g, cells.data());
}

int PatternDatabases::reflectedGroupExcess(int group, const CellsOfTiles& cellOf) const
{
    const Group& g = m_groups[static_cast<std::size_t>(group)];
    std::array<std::uint8_t, kMaxGroupSize> cells{};
    for (std::size_t i = 0; i < g.tiles.size(); ++i)
        cells[i] = static_cast<std::uint8_t>(transposeCell(cellOf[g.mirrorTiles[i]]));
    return excess(g, cells.data());
}

int PatternDatabases::groupCost(int group, const CellsOfTiles& cellOf) const
{
    const Group& g = m_groups[static_cast<std::size_t>(group)];
    std::array<std::uint8_t, kMaxGroupSize> cells{};
    for (std::size_t i = 0; i < g.tiles.size(); ++i)
        cells[i] = cellOf[g.tiles[i]];
    return manhattanOf(g.tiles, cells.data()) + excess(g, cells.data());
}

int PatternDatabases::reflectedGroupCost(int group, const CellsOfTiles& cellOf) const
{
    const Group& g = m_groups[static_cast<std::size_t>(group)];
    std::array<std::uint8_t, kMaxGroupSize> cells{};
    for (std::size_t i = 0; i < g.tiles.size(); ++i)
        cells[i] = static_cast<std::uint8_t>(transposeCell(cellOf[g.mirrorTiles[i]]));
    return manhattanOf(g.tiles, cells.data()) + excess(g, cells.data());
}

int PatternDatabases::directSum(const Tiles& tiles) const
{
    const CellsOfTiles cellOf = cellsOf(tiles);
    int sum = 0;
    for (int g = 0; g < groupCount(); ++g)
        sum += groupCost(g, cellOf);
    return sum;
}

int PatternDatabases::reflectedSum(const Tiles& tiles) const
{
    const CellsOfTiles cellOf = cellsOf(tiles);
    int sum = 0;
    for (int g = 0; g < groupCount(); ++g)
        sum += reflectedGroupCost(g, cellOf);
    return sum;
}

int PatternDatabases::lowerBound(const Tiles& tiles) const
{
    return std::max(directSum(tiles), reflectedSum(tiles));
}

std::vector<std::uint8_t> PatternDatabases::serialize() const
{
    std::vector<std::uint8_t> out(std::begin(kMagic), std::end(kMagic));
    out.reserve(memoryBytes() + 128);
    putU32(out, kFormatVersion);
    putU32(out, static_cast<std::uint32_t>(m_groups.size()));
    for (const Group& group : m_groups) {
        putU32(out, static_cast<std::uint32_t>(group.tiles.size()));
        out.insert(out.end(), group.tiles.begin(), group.tiles.end());
    }
    for (const Group& group : m_groups) {
        putU64(out, group.table.size());
        out.insert(out.end(), group.table.begin(), group.table.end());
    }
    putU64(out, fileChecksum(out));
    return out;
}

std::optional<PatternDatabases> PatternDatabases::deserialize(std::span<const std::uint8_t> bytes,
                                                              const Partition& expected, std::string& error)
{
    if (bytes.size() < 8) {
        error = "file is " + std::to_string(bytes.size()) + " bytes, too short";
        return std::nullopt;
    }
    auto db = read(bytes, expected, fileChecksum(bytes.first(bytes.size() - 8)), nullptr, error);
    if (!db)
        return db;
    // Copied into one block of this object's own.
    auto copy = std::make_shared<std::vector<std::uint8_t>>();
    copy->reserve(db->memoryBytes());
    for (const Group& group : db->m_groups)
        copy->insert(copy->end(), group.table.begin(), group.table.end());
    std::size_t at = 0;
    for (Group& group : db->m_groups) {
        group.table = std::span<const std::uint8_t>(copy->data() + at, group.table.size());
        at += group.table.size();
    }
    db->m_storage = std::move(copy);
    return db;
}

std::optional<PatternDatabases> PatternDatabases::view(std::shared_ptr<const void> keeper,
                                                       std::span<const std::uint8_t> bytes,
                                                       const Partition& expected, std::uint64_t checksum,
                                                       std::string& error)
{
    return read(bytes, expected, checksum, std::move(keeper), error);
}

std::optional<PatternDatabases> PatternDatabases::read(std::span<const std::uint8_t> bytes, const Partition& expected,
                                                       std::uint64_t checksum, std::shared_ptr<const void> keeper,
                                                       std::string& error)
{
    std::string why;
    if (!isValidPartition(expected, &why)) {
        error = "invalid tile partition: " + why;
        return std::nullopt;
    }
    const std::size_t wanted = sizeof(kMagic) + 8 + 4 * expected.size() + [&] {
        std::size_t n = 0;
        for (const TileGroup& group : expected)
            n += group.size() + 8;
        return n;
    }() + tableBytes(expected) + 8;
    if (bytes.size() != wanted) {
        error = "file is " + std::to_string(bytes.size()) + " bytes, expected " + std::to_string(wanted);
        return std::nullopt;
    }
    if (std::memcmp(bytes.data(), kMagic, sizeof(kMagic)) != 0) {
        error = "not a pattern database file";
        return std::nullopt;
    }
    const auto body = bytes.first(bytes.size() - 8);
    std::uint64_t stored = 0;
    for (int i = 7; i >= 0; --i)
        stored = (stored << 8) | bytes[body.size() + static_cast<std::size_t>(i)];
    if (stored != checksum) {
        error = "checksum mismatch";
        return std::nullopt;
    }

    Reader in(body);
    std::span<const std::uint8_t> skip;
    in.take(sizeof(kMagic), skip);
    std::uint32_t version = 0;
    std::uint32_t groups = 0;
    in.u32(version);
    in.u32(groups);
    if (version != kFormatVersion || groups != expected.size()) {
        error = "file was made by another version or for other tile groups";
        return std::nullopt;
    }
    for (const TileGroup& group : expected) {
        std::uint32_t size = 0;
        std::span<const std::uint8_t> tiles;
        if (!in.u32(size) || size != group.size() || !in.take(size, tiles) ||
            !std::equal(tiles.begin(), tiles.end(), group.begin())) {
            error = "file was made for other tile groups";
            return std::nullopt;
        }
    }
    // Sizes all match from here on: the total length was checked above.
    PatternDatabases db = withGroups(expected);
    for (std::size_t g = 0; g < expected.size(); ++g) {
        std::uint64_t size = 0;
        std::span<const std::uint8_t> table;
        if (!in.u64(size) || size != (placementCount(static_cast<int>(expected[g].size())) + 1) / 2 ||
            !in.take(static_cast<std::size_t>(size), table)) {
            error = "table sizes do not match the tile groups";
            return std::nullopt;
        }
        db.m_groups[g].table = table;
    }
    db.m_storage = std::move(keeper);
    return db;
}

}  // namespace solver
