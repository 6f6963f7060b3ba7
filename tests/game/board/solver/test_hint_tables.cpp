// The hint tables installed with the game: used in place when whole, and otherwise the user's
// cache as before (read when there, else built and written there).
#include "DatabaseCache.h"
#include "PatternDatabase.h"
#include "Solver.h"

#include <QtTest>

#include <fstream>
#include <functional>
#include <thread>

using namespace solver;

Q_DECLARE_METATYPE(std::function<void(const std::filesystem::path&)>)

namespace {

using Damage = std::function<void(const std::filesystem::path&)>;

// Small groups: their tables take milliseconds to build.
const Partition kSmall{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15}};
// A well-known random instance of 56 slides. With the tables the solver needs about 11,000
// nodes, with the weaker bound alone 4.6 million.
const Tiles kFiftySix{5, 12, 10, 7, 15, 11, 14, 0, 8, 2, 1, 13, 3, 4, 9, 6};

std::vector<std::uint8_t> readAll(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeAll(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()),
                                                                   static_cast<std::streamsize>(bytes.size()));
}

// Changes one byte and, when `reseal`, writes the checksum anew: a file whole in form but not in content.
Damage changeByte(std::size_t at, bool reseal)
{
    return [at, reseal](const std::filesystem::path& file) {
        std::vector<std::uint8_t> bytes = readAll(file);
        bytes[at] ^= 0x5a;
        if (reseal) {
            const std::uint64_t sum = fileChecksum(std::span(bytes).first(bytes.size() - 8));
            for (int i = 0; i < 8; ++i)
                bytes[bytes.size() - 8 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(sum >> (8 * i));
        }
        writeAll(file, bytes);
    };
}

// The resident part of this process's mapping of `file`, or -1 when the file is not mapped.
long mappedResidentKib(const std::filesystem::path& file)
{
    std::ifstream smaps("/proc/self/smaps");
    bool inMapping = false;
    for (std::string line; std::getline(smaps, line);) {
        if (line.size() > file.string().size() && line.ends_with(" " + file.string()))
            inMapping = true;
        else if (inMapping && line.rfind("Rss:", 0) == 0)
            return std::stol(line.substr(4));
    }
    return -1;
}

}  // namespace

class HintTablesTest : public QObject {
    Q_OBJECT
private slots:
    // The built tables answer the hard board within a node budget the weaker bound cannot meet, from
    // a mapping whose pages come in only as the solver reads them; no cache folder is made.
    void wholeTablesAreUsedInPlace()
    {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const std::filesystem::path cache = home.filePath(QStringLiteral("cache/tavorin")).toStdString();
        const std::filesystem::path built = HINT_TABLES;
        // The first place has no tables (a program folder without them): the second is used.
        BackgroundDatabases background(cache, standardPartition(), 1,
                                       {home.filePath(QStringLiteral("none.bin")).toStdString(), built});
        QTRY_VERIFY_WITH_TIMEOUT(background.finished(), 60000);
        const CacheReport report = background.report();
        QCOMPARE(QString::fromStdString(report.installed.string()), QString::fromStdString(built.string()));
        QVERIFY(!report.fromCache);
        const auto tables = background.current();
        QVERIFY(tables);
        // Mapped, and none of it in memory yet: the checks read the file, not the mapping.
        const long resident = mappedResidentKib(built);
        QVERIFY2(resident >= 0, "the tables are not mapped");
        QVERIFY2(resident < 64, qPrintable(QStringLiteral("%1 KiB of the tables in memory at once").arg(resident)));
        QVERIFY(!std::filesystem::exists(cache.parent_path()));

        const SolveResult answer = solve(kFiftySix, tables.get(), SolveLimits{100'000, {}, nullptr});
        QCOMPARE(answer.status, SolveStatus::Solved);
        QCOMPARE(answer.length(), 56);
        QVERIFY(!std::filesystem::exists(cache.parent_path()));
    }

    void damagedTablesFallBackToTheCache_data()
    {
        QTest::addColumn<Damage>("damage");
        QTest::newRow("missing") << Damage([](const auto& file) { std::filesystem::remove(file); });
        QTest::newRow("a folder in its place") << Damage([](const auto& file) {
            std::filesystem::remove(file);
            std::filesystem::create_directory(file);
        });
        QTest::newRow("empty") << Damage([](const auto& file) { std::filesystem::resize_file(file, 0); });
        QTest::newRow("cut short") << Damage([](const auto& file) {
            std::filesystem::resize_file(file, std::filesystem::file_size(file) - 100);
        });
        QTest::newRow("longer") << Damage([](const auto& file) { std::ofstream(file, std::ios::app) << "more"; });
        QTest::newRow("a table byte changed") << changeByte(30000, false);
        QTest::newRow("the checksum changed") << Damage([](const auto& file) {
            changeByte(std::filesystem::file_size(file) - 1, false)(file);
        });
        QTest::newRow("another format version, checksum made anew") << changeByte(8, true);
        QTest::newRow("other tile groups, checksum made anew") << changeByte(20, true);   // the first tile of the first group
        QTest::newRow("not a tables file, checksum made anew") << changeByte(0, true);
    }
    void damagedTablesFallBackToTheCache()
    {
        QFETCH(Damage, damage);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const std::filesystem::path installed = folder.filePath(QStringLiteral("hint-tables.bin")).toStdString();
        const std::filesystem::path cache = folder.filePath(QStringLiteral("cache")).toStdString();
        const auto made = PatternDatabases::build(kSmall);
        QVERIFY(made);
        writeAll(installed, made->serialize());
        CacheReport report;
        QVERIFY(loadOrBuild(cache, kSmall, {}, &report, {installed}));
        QVERIFY(!report.installed.empty());   // whole, the file itself is used

        damage(installed);
        // No cache yet: built, and written there.
        const auto built = loadOrBuild(cache, kSmall, {}, &report, {installed});
        QVERIFY(built);
        QVERIFY(report.installed.empty());
        QVERIFY(!report.fromCache);
        QVERIFY2(report.note.find(installed.string()) != std::string::npos, report.note.c_str());
        QVERIFY(readAll(cacheFile(cache, kSmall)) == made->serialize());
        // Now the cache answers.
        QVERIFY(loadOrBuild(cache, kSmall, {}, &report, {installed}));
        QVERIFY(report.installed.empty());
        QVERIFY(report.fromCache);
    }
};

QTEST_APPLESS_MAIN(HintTablesTest)
#include "test_hint_tables.moc"
