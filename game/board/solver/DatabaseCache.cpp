// Cache files for the pattern databases and their background loading.
#include "DatabaseCache.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <random>
#include <system_error>
#include <vector>

namespace solver {

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds since(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

}  // namespace

std::filesystem::path defaultCacheDirectory()
{
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && std::filesystem::path(xdg).is_absolute())
        return std::filesystem::path(xdg) / "tavorin";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".cache" / "tavorin";
    return {};
}

std::filesystem::path cacheFile(const std::filesystem::path& directory, const Partition& partition)
{
    std::string sizes;
    std::uint32_t hash = 2166136261u;
    for (const TileGroup& group : partition) {
        sizes += std::to_string(group.size());
        for (const std::uint8_t tile : group)
            hash = (hash ^ tile) * 16777619u;
        hash = (hash ^ 0xFFu) * 16777619u;
    }
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(hash));
    return directory / ("patterns-" + sizes + "-" + hex + "-v1.bin");
}

std::optional<PatternDatabases> loadDatabases(const std::filesystem::path& file, const Partition& partition,
                                              std::string& error)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) {
        error = "cannot read " + file.string() + ": " + ec.message();
        return std::nullopt;
    }
    // Far larger than any table set: not worth reading.
    if (size > 2 * tableBytes(partition) + 4096) {
        error = file.string() + " is too large (" + std::to_string(size) + " bytes)";
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        error = "cannot read " + file.string();
        return std::nullopt;
    }
    std::string why;
    auto db = PatternDatabases::deserialize(bytes, partition, why);
    if (!db)
        error = file.string() + ": " + why;
    return db;
}

bool saveDatabases(const PatternDatabases& databases, const std::filesystem::path& file, std::string& error)
{
    std::error_code ec;
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) {
        error = "cannot create " + file.parent_path().string() + ": " + ec.message();
        return false;
    }
    std::random_device random;
    std::filesystem::path temporary = file;
    temporary += ".tmp" + std::to_string(random());
    const std::vector<std::uint8_t> bytes = databases.serialize();
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::filesystem::remove(temporary, ec);
            error = "cannot write " + temporary.string();
            return false;
        }
    }
    std::filesystem::rename(temporary, file, ec);
    if (ec) {
        error = "cannot replace " + file.string() + ": " + ec.message();
        std::filesystem::remove(temporary, ec);
        return false;
    }
    return true;
}

std::shared_ptr<const PatternDatabases> loadOrBuild(const std::filesystem::path& directory,
                                                    const Partition& partition, const BuildOptions& options,
                                                    CacheReport* report)
{
    CacheReport local;
    CacheReport& r = report ? *report : local;
    r = CacheReport{};
    const std::filesystem::path file = directory.empty() ? std::filesystem::path() : cacheFile(directory, partition);
    if (!file.empty()) {
        const auto start = Clock::now();
        std::string error;
        auto loaded = loadDatabases(file, partition, error);
        r.loadTime = since(start);
        if (loaded) {
            r.fromCache = true;
            return std::make_shared<const PatternDatabases>(std::move(*loaded));
        }
        r.note = error;
    } else {
        r.note = "no cache folder";
    }

    const auto start = Clock::now();
    auto built = PatternDatabases::build(partition, options);
    r.buildTime = since(start);
    if (!built)
        return nullptr;
    if (!file.empty()) {
        const auto saveStart = Clock::now();
        std::string error;
        if (!saveDatabases(*built, file, error))
            r.note += (r.note.empty() ? "" : "; ") + error;
        r.saveTime = since(saveStart);
    }
    return std::make_shared<const PatternDatabases>(std::move(*built));
}

BackgroundDatabases::BackgroundDatabases(std::filesystem::path directory, Partition partition, int threads)
{
    m_thread = std::thread([this, directory = std::move(directory), partition = std::move(partition), threads] {
        CacheReport report;
        std::shared_ptr<const PatternDatabases> db;
        try {
            db = loadOrBuild(directory, partition, BuildOptions{threads, &m_cancel}, &report);
        } catch (const std::exception& e) {
            report.note = e.what();
        }
        {
            const std::lock_guard lock(m_lock);
            m_databases = std::move(db);
            m_report = std::move(report);
        }
#ifdef __GLIBC__
        // A build's working memory (tens of MiB, freed by now) stays with this thread's malloc
        // arena unless it is handed back; the program keeps running long after.
        malloc_trim(0);
#endif
        m_finished = true;
    });
}

BackgroundDatabases::~BackgroundDatabases()
{
    m_cancel = true;
    if (m_thread.joinable())
        m_thread.join();
}

std::shared_ptr<const PatternDatabases> BackgroundDatabases::current() const
{
    const std::lock_guard lock(m_lock);
    return m_databases;
}

CacheReport BackgroundDatabases::report() const
{
    const std::lock_guard lock(m_lock);
    return m_report;
}

}  // namespace solver
