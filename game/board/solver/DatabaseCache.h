// The pattern databases the hints use: the tables installed with the game, else those kept in
// the user's cache folder, else built; made ready on a thread of their own so that start-up
// never waits for them.
//
// Installed tables
//   The tables are made at build time (tools/tablegen) into the file kInstalledTablesName next
//   to the program in the build folder, and installed with the game's data (share/tavorin, which
//   also holds the music). The program finds them from its own place, whatever folder it was
//   started in: installedTablesFiles() names the file beside the program (a run in the build
//   folder) and the one in the installed data folder reached from the program's folder
//   (libexec/tavorin -> ../../share/tavorin). The first of these that opens and passes every
//   check of the file form (size, magic, format version, tile groups, checksum) is mapped
//   read-only and used in place: nothing is copied, and its pages count in the program's memory
//   only as hints touch them. The file is read through once to check its checksum; a file
//   changed in place after that check is not noticed (installed files are replaced, never
//   rewritten, by the package manager).
// The user's cache
//   Used only when no installed file passes: read, or built (about 8 s of one core) and written
//   there. BackgroundDatabases does that only once asked to (the game asks at its first hint),
//   so that a player who never asks for a hint never pays for the tables.
#pragma once

#include "PatternDatabase.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

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

// The name of the tables file made at build time and installed with the game's data.
inline constexpr const char* kInstalledTablesName = "hint-tables.bin";

// Where the installed tables are looked for, in order: beside the running program, in each of
// the folders `alsoIn`, then in the installed data folder taken relative to the program's folder.
// Only the files in `alsoIn` when the program's own path cannot be read.
std::vector<std::filesystem::path> installedTablesFiles(const std::vector<std::filesystem::path>& alsoIn = {});

// Maps a tables file read-only after reading it through to check it. Nothing, with the reason in
// `error`, when it is missing, unreadable, not a regular file, or fails any check of deserialize.
std::optional<PatternDatabases> mapDatabases(const std::filesystem::path& file, const Partition& partition,
                                             std::string& error);

// Writes to a temporary file beside `file`, then renames it over `file`, so that readers see the
// old file or the whole new one. Creates the folder if needed.
bool saveDatabases(const PatternDatabases& databases, const std::filesystem::path& file, std::string& error);

struct CacheReport {
    std::filesystem::path installed;       // the installed tables file used, or empty
    bool fromCache = false;
    std::string note;                      // why installed tables or the cache were not used, or why saving failed
    std::chrono::milliseconds loadTime{0};
    std::chrono::milliseconds buildTime{0};
    std::chrono::milliseconds saveTime{0};
};

// Maps the first of `installed` that passes its checks; when none does, reads the cache file in
// `directory`; when that is absent or damaged, builds the tables and stores them (an empty
// directory means: build, store nothing). Nothing when cancelled.
std::shared_ptr<const PatternDatabases> loadOrBuild(const std::filesystem::path& directory,
                                                    const Partition& partition, const BuildOptions& options,
                                                    CacheReport* report = nullptr,
                                                    const std::vector<std::filesystem::path>& installed = {});

// Runs loadOrBuild on its own thread from construction on, in two steps: it maps the first of
// `installed` that passes at once; when none does, it waits for request() before it reads the
// cache file or builds the tables. The destructor cancels a build in progress (or the wait) and
// waits for the thread, which then ends within a fraction of a second.
class BackgroundDatabases {
public:
    explicit BackgroundDatabases(std::filesystem::path directory, Partition partition = standardPartition(),
                                 int threads = 1, std::vector<std::filesystem::path> installed = {});
    ~BackgroundDatabases();
    BackgroundDatabases(const BackgroundDatabases&) = delete;
    BackgroundDatabases& operator=(const BackgroundDatabases&) = delete;

    // Lets the cache step run once no installed tables passed; at once if they are already
    // known not to, and without effect once the tables are ready. Safe from any thread.
    void request();
    // True while the thread waits for request(): no installed tables passed, and neither the
    // cache nor a build has been touched.
    bool waiting() const { return m_waiting.load(); }
    // The tables once ready, null before (or when cancelled). Safe from any thread.
    std::shared_ptr<const PatternDatabases> current() const;
    bool finished() const { return m_finished.load(); }
    // Stops a build in progress, or the wait for request(); current() then stays null. A file
    // read is not stopped.
    void cancel();
    // Meaningful once finished() is true.
    CacheReport report() const;

private:
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_waiting{false};
    bool m_requested = false;   // under m_lock
    std::condition_variable m_wake;
    mutable std::mutex m_lock;
    std::shared_ptr<const PatternDatabases> m_databases;
    CacheReport m_report;
    std::thread m_thread;
};

}  // namespace solver
