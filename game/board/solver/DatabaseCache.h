// Keeping the pattern databases between runs in the user's cache folder, and making them ready
// on a thread of their own so that start-up never waits for them.
//
// Why at run time and not in the build: the tables take about 8 s of one core to build (a second
// thread does not help on a two-core machine shared with other work) and 5.8 MB on disk, while
// reading and checking the cache file takes under 10 ms. A build-time generator would add those
// seconds to every clean build, sanitizer builds included, and tie the program to a data file
// that must be found next to it. Built once in the background, the cost is paid on the first run
// only, and hints in those first seconds still come, optimal, from the weaker bound.
#pragma once

#include "PatternDatabase.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace solver {

// $XDG_CACHE_HOME/tavorin when that variable holds an absolute path, else $HOME/.cache/tavorin;
// empty when neither is known.
std::filesystem::path defaultCacheDirectory();

// The file for `partition` inside `directory`; its name changes with the groups and the format.
std::filesystem::path cacheFile(const std::filesystem::path& directory, const Partition& partition);

// Reads a cache file. Nothing, with the reason in `error`, when it is missing, unreadable, of the
// wrong size, made for other groups, or fails its checksum.
std::optional<PatternDatabases> loadDatabases(const std::filesystem::path& file, const Partition& partition,
                                              std::string& error);

// Writes to a temporary file beside `file`, then renames it over `file`, so that readers see the
// old file or the whole new one. Creates the folder if needed.
bool saveDatabases(const PatternDatabases& databases, const std::filesystem::path& file, std::string& error);

struct CacheReport {
    bool fromCache = false;
    std::string note;                      // why the cache was not used, or why saving failed
    std::chrono::milliseconds loadTime{0};
    std::chrono::milliseconds buildTime{0};
    std::chrono::milliseconds saveTime{0};
};

// Reads the cache file in `directory`; when it is absent or damaged, builds the tables and stores
// them (an empty directory means: build, store nothing). Nothing when cancelled.
std::shared_ptr<const PatternDatabases> loadOrBuild(const std::filesystem::path& directory,
                                                    const Partition& partition, const BuildOptions& options,
                                                    CacheReport* report = nullptr);

// Runs loadOrBuild on its own thread from construction on. The destructor cancels a build in
// progress and waits for the thread, which then ends within a fraction of a second.
class BackgroundDatabases {
public:
    explicit BackgroundDatabases(std::filesystem::path directory, Partition partition = standardPartition(),
                                 int threads = 1);
    ~BackgroundDatabases();
    BackgroundDatabases(const BackgroundDatabases&) = delete;
    BackgroundDatabases& operator=(const BackgroundDatabases&) = delete;

    // The tables once ready, null before (or when cancelled). Safe from any thread.
    std::shared_ptr<const PatternDatabases> current() const;
    bool finished() const { return m_finished.load(); }
    // Stops a build in progress; current() then stays null. A cache file read is not stopped.
    void cancel() { m_cancel = true; }
    // Meaningful once finished() is true.
    CacheReport report() const;

private:
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_finished{false};
    mutable std::mutex m_lock;
    std::shared_ptr<const PatternDatabases> m_databases;
    CacheReport m_report;
    std::thread m_thread;
};

}  // namespace solver
