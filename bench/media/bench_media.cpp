// Figures for the media layer: the memory held after the game's two opens, during play and after a
// long rest; the CPU taken at rest; how long a "play" command takes to return; how fast the
// synthesis renders against real time; the CPU that real-time playback takes.
//
// Usage: bench_media [music.mid]   (default: the game's juesmansdesiring.mid in the build folder)
#include "MediaCommand.h"
#include "MediaEngine.h"
#include "SoundFontLocator.h"
#include "Synthesis.h"

#include <sys/resource.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double residentMiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Processor time of the whole program; the playback thread is stopped while it is used.
double processCpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void printSpread(const char* what, std::vector<double> samples, const char* goal)
{
    std::sort(samples.begin(), samples.end());
    std::printf("%-34s min %.4f ms, median %.4f ms, max %.4f ms over %zu runs%s\n", what,
                samples.front(), samples[samples.size() / 2], samples.back(), samples.size(), goal);
}

std::vector<std::string> soundFonts()
{
    std::vector<std::string> found;
    for (const std::string& path : media::defaultSoundFontCandidates())
        if (!media::locateSoundFont({path}).empty() && path.find("default") == std::string::npos)
            found.push_back(path);
    return found;
}

std::string baseName(const std::string& path)
{
    return path.substr(path.find_last_of('/') + 1);
}

// Share of one core the whole process uses over the next stretch of wall time.
double cpuPercentOver(std::chrono::milliseconds stretch)
{
    const double cpu0 = cpuSeconds();
    const auto wall0 = Clock::now();
    std::this_thread::sleep_for(stretch);
    const double cpu = cpuSeconds() - cpu0;
    return 100.0 * cpu / std::chrono::duration<double>(Clock::now() - wall0).count();
}

bool waitFor(const std::function<bool()>& condition, std::chrono::seconds timeout)
{
    const auto end = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string musicPath = argc > 1 ? argv[1] : TAVORIN_MUSIC_DIR "/juesmansdesiring.mid";
    const auto music = media::Piece::load(musicPath);
    if (!music) {
        std::fprintf(stderr, "%s: missing or not a playable MIDI file\n", musicPath.c_str());
        return 1;
    }
    const std::string openMusic = "open " + musicPath + " type sequencer alias MoveSound";
    media::MediaEngine& engine = media::MediaEngine::instance();
    std::printf("music: %s, %.1f s\n", musicPath.c_str(), music->seconds);

    const std::string fanfarePath = TAVORIN_MUSIC_DIR "/fanfa4.mid";
    const std::string openFanfare = "open " + fanfarePath + " type sequencer alias EndSound";
    const auto openTheGamesTwo = [&] {
        mciSendStringA(openMusic.c_str(), nullptr, 0);
        mciSendStringA(openFanfare.c_str(), nullptr, 0);
    };

    // Memory: resident size after the game's two opens (nothing may load yet), while the music
    // plays (the SoundFont is in), and once a rest has freed the SoundFont again.
    for (const std::string& soundFont : soundFonts()) {
        media::EngineOptions options;
        options.soundFont = soundFont;
        options.drivers = {};
        options.unloadAfter = std::chrono::seconds(1);
        engine.reconfigure(options);
        malloc_trim(0);
        const double before = residentMiB();
        openTheGamesTwo();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const double opened = residentMiB();
        mciSendStringA("play MoveSound from 0", nullptr, 0);
        engine.waitUntilReady(std::chrono::seconds(60));
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const double playing = residentMiB();
        mciSendStringA("stop all", nullptr, 0);
        waitFor([&] { return engine.soundFontPath().empty(); }, std::chrono::seconds(30));
        const double rested = residentMiB();
        std::printf("%-34s after the two opens %+.1f MiB, while playing %+.1f MiB, after the rest %+.1f MiB"
                    " (from %.1f MiB)\n",
                    ("memory with " + baseName(soundFont) + ":").c_str(), opened - before, playing - before,
                    rested - before, before);
    }

    // CPU at rest, as in the picture selection: both devices open, the music stopped.
    for (const char* driver : {"none", "timer"}) {
        media::EngineOptions options;
        if (std::string(driver) == "none")
            options.drivers = {};
        else
            options.drivers = {driver};
        options.driverLinger = std::chrono::seconds(8);
        engine.reconfigure(options);
        openTheGamesTwo();
        mciSendStringA("play EndSound from 0", nullptr, 0);
        engine.waitUntilReady(std::chrono::seconds(60));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        mciSendStringA("stop all", nullptr, 0);
        std::string lingering;
        if (engine.driverOpen()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            char figure[96];
            std::snprintf(figure, sizeof figure, "; %.2f %% while the driver lingers over silence",
                          cpuPercentOver(std::chrono::seconds(5)));
            lingering = figure;
            waitFor([&] { return !engine.driverOpen(); }, std::chrono::seconds(30));
        }
        std::printf("%-34s %.3f %% of one core over 10 s (%s output)%s\n", "at rest the process uses",
                    cpuPercentOver(std::chrono::seconds(10)), driver, lingering.c_str());
    }

    // The command latency, with the output the game itself would choose.
    engine.reconfigure({});
    const auto openStart = Clock::now();
    mciSendStringA(openMusic.c_str(), nullptr, 0);
    const double openMs = ms(Clock::now() - openStart);
    const auto firstPlayStart = Clock::now();
    mciSendStringA("play MoveSound from 0", nullptr, 0);
    const double firstPlayMs = ms(Clock::now() - firstPlayStart);
    engine.waitUntilReady(std::chrono::seconds(60));
    const double soundMs = ms(Clock::now() - firstPlayStart);
    std::printf("output: %s, SoundFont %s\n", engine.outputName().c_str(), engine.soundFontPath().c_str());
    std::printf("%-34s %.4f ms (reads and checks the file)\n", "open command returns in", openMs);
    std::printf("%-34s %.4f ms (the music starts %.0f ms later, once the SoundFont is in)\n",
                "first play command returns in", firstPlayMs, soundMs);
    std::vector<double> play;
    std::vector<double> status;
    char reply[255];
    for (int run = 0; run < 200; ++run) {
        const auto t0 = Clock::now();
        mciSendStringA("play MoveSound from 0", nullptr, 0);
        const auto t1 = Clock::now();
        mciSendStringA("status MoveSound mode ", reply, sizeof reply);
        const auto t2 = Clock::now();
        play.push_back(ms(t1 - t0));
        status.push_back(ms(t2 - t1));
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    printSpread("play command returns:", play, " (goal < 5 ms)");
    printSpread("status command returns:", status, "");

    // CPU of real-time playback over ten seconds of the music.
    mciSendStringA("play MoveSound from 0", nullptr, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const double cpu0 = cpuSeconds();
    const auto wall0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const double cpu = cpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
    std::printf("%-34s %.2f %% of one core (%s output)\n", "real-time playback uses", 100.0 * cpu / wall,
                engine.outputName().c_str());
    mciSendStringA("close all", nullptr, 0);
    engine.reconfigure({});

    // Offline rendering speed through the same synthesis, in processor time (the machine may be
    // busy with other work) and in wall time; SoundFont loading included.
    for (const std::string& soundFont : soundFonts()) {
        const double cpu0 = processCpuSeconds();
        const auto wall0 = Clock::now();
        const auto figures = media::renderOffline(*music, soundFont, 0.0);
        const double cpuUsed = processCpuSeconds() - cpu0;
        const double wallUsed = std::chrono::duration<double>(Clock::now() - wall0).count();
        if (!figures)
            continue;
        std::printf("%-34s %.0f x real time by CPU time (%.2f %% of a core), %.0f x by wall time\n",
                    ("render with " + baseName(soundFont) + ":").c_str(), figures->pieceSeconds / cpuUsed,
                    100.0 * cpuUsed / figures->pieceSeconds, figures->pieceSeconds / wallUsed);
    }
    return 0;
}
