// Installed and cached files of the pattern databases, and their background loading.
#include "DatabaseCache.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

std::vector<std::filesystem::path> installedTablesFiles(const std::vector<std::filesystem::path>& alsoIn)
{
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    const bool known = !ec && program.is_absolute();
    if (known)
        files.push_back(program.parent_path() / kInstalledTablesName);
    for (const std::filesystem::path& folder : alsoIn)
        files.push_back(folder / kInstalledTablesName);
    if (known)
        files.push_back((program.parent_path() / TAVORIN_PROGRAM_TO_DATA / kInstalledTablesName).lexically_normal());
    return files;
}

namespace {

// A whole file mapped read-only; unmapped with its last owner.
struct Mapping {
    void* address = MAP_FAILED;
    std::size_t length = 0;
    Mapping() = default;
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping()
    {
        if (address != MAP_FAILED)
            munmap(address, length);
    }
};

struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            close(fd);
    }
};

std::string systemError(const std::filesystem::path& file, const char* what)
{
    return std::string(what) + " " + file.string() + ": " + std::strerror(errno);
}

}  // namespace

std::optional<PatternDatabases> mapDatabases(const std::filesystem::path& file, const Partition& partition,
                                             std::string& error)
{
    Descriptor in{open(file.c_str(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0) {
        error = systemError(file, "cannot open");
        return std::nullopt;
    }
    struct stat status {};
    if (fstat(in.fd, &status) != 0) {
        error = systemError(file, "cannot read");
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode) || status.st_size < 8 ||
        static_cast<std::uint64_t>(status.st_size) > 2 * tableBytes(partition) + 4096) {
        error = file.string() + " is not a tables file (" + std::to_string(status.st_size) + " bytes)";
        return std::nullopt;
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    // The checksum is read with read(2) in pieces, so that checking leaves the mapping untouched:
    // its pages then become the program's only as the solver reads them.
    std::uint64_t checksum = kChecksumStart;
    {
        std::vector<std::uint8_t> piece(std::size_t{1} << 16);
        std::size_t done = 0;
        while (done < size - 8) {
            const std::size_t want = std::min(piece.size(), size - 8 - done);
            const ssize_t got = pread(in.fd, piece.data(), want, static_cast<off_t>(done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                error = got < 0 ? systemError(file, "cannot read") : file.string() + " ended early";
                return std::nullopt;
            }
            checksum = fileChecksum(std::span<const std::uint8_t>(piece.data(), static_cast<std::size_t>(got)), checksum);
            done += static_cast<std::size_t>(got);
        }
    }
    auto mapping = std::make_shared<Mapping>();
    mapping->address = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, in.fd, 0);
    if (mapping->address == MAP_FAILED) {
        error = systemError(file, "cannot map");
        return std::nullopt;
    }
    mapping->length = size;
    const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(mapping->address), size);
    std::string why;
    auto db = PatternDatabases::view(mapping, bytes, partition, checksum, why);
    if (!db) {
        error = file.string() + ": " + why;
        return db;
    }
    // Reading the header and the table sizes mapped their pages, and the kernel maps a whole
    // large folio (up to megabytes) on one fault: let them go again. The mapping is private and
    // never written, so later reads find the same bytes, from the page cache.
    madvise(mapping->address, size, MADV_DONTNEED);
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

namespace {

void addNote(CacheReport& r, const std::string& note)
{
    r.note += (r.note.empty() ? "" : "; ") + note;
}

// The first of `installed` that passes its checks, mapped; null when none does.
std::shared_ptr<const PatternDatabases> mapInstalled(const std::vector<std::filesystem::path>& installed,
                                                     const Partition& partition, CacheReport& r)
{
    for (const std::filesystem::path& candidate : installed) {
        const auto start = Clock::now();
        std::string error;
        auto mapped = mapDatabases(candidate, partition, error);
        r.loadTime = since(start);
        if (mapped) {
            r.installed = candidate;
            return std::make_shared<const PatternDatabases>(std::move(*mapped));
        }
        addNote(r, error);
    }
    return nullptr;
}

// The cache file in `directory` when it is whole, else the tables built and stored there.
std::shared_ptr<const PatternDatabases> loadOrBuildCache(const std::filesystem::path& directory,
                                                         const Partition& partition, const BuildOptions& options,
                                                         CacheReport& r)
{
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
        addNote(r, error);
    } else {
        addNote(r, "no cache folder");
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
            addNote(r, error);
        r.saveTime = since(saveStart);
    }
    return std::make_shared<const PatternDatabases>(std::move(*built));
}

}  // namespace

std::shared_ptr<const PatternDatabases> loadOrBuild(const std::filesystem::path& directory,
                                                    const Partition& partition, const BuildOptions& options,
                                                    CacheReport* report,
                                                    const std::vector<std::filesystem::path>& installed)
{
    CacheReport local;
    CacheReport& r = report ? *report : local;
    r = CacheReport{};
    if (auto mapped = mapInstalled(installed, partition, r))
        return mapped;
    return loadOrBuildCache(directory, partition, options, r);
}

BackgroundDatabases::BackgroundDatabases(std::filesystem::path directory, Partition partition, int threads,
                                         std::vector<std::filesystem::path> installed)
{
    m_thread = std::thread([this, directory = std::move(directory), partition = std::move(partition), threads,
                            installed = std::move(installed)] {
        CacheReport report;
        std::shared_ptr<const PatternDatabases> db;
        try {
            db = mapInstalled(installed, partition, report);
            if (!db) {
                {
                    std::unique_lock lock(m_lock);
                    m_waiting = true;
                    m_wake.wait(lock, [this] { return m_requested || m_cancel; });
                    m_waiting = false;
                }
                if (!m_cancel)
                    db = loadOrBuildCache(directory, partition, BuildOptions{threads, &m_cancel}, report);
            }
        } catch (const std::exception& e) {
            addNote(report, e.what());
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
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void BackgroundDatabases::request()
{
    {
        const std::lock_guard lock(m_lock);
        m_requested = true;
    }
    m_wake.notify_all();
}

void BackgroundDatabases::cancel()
{
    {
        const std::lock_guard lock(m_lock);
        m_cancel = true;
    }
    m_wake.notify_all();
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
