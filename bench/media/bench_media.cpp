// Figures for the media layer: how long a "play" command takes to return, how fast the synthesis
// renders against real time, the CPU that real-time playback takes, and the memory a SoundFont adds.
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

    // Memory: resident size before the playback thread loads a SoundFont and once it has.
    for (const std::string& soundFont : soundFonts()) {
        engine.reconfigure({soundFont, {}});
        malloc_trim(0);
        const double before = residentMiB();
        mciSendStringA(openMusic.c_str(), nullptr, 0);
        engine.waitUntilReady(std::chrono::seconds(60));
        const double after = residentMiB();
        std::printf("%-34s %.1f MiB resident (%.1f -> %.1f MiB)\n",
                    ("SoundFont " + baseName(soundFont) + " adds").c_str(), after - before, before, after);
    }

    // The command latency, with the output the game itself would choose.
    engine.reconfigure({});
    const auto openStart = Clock::now();
    mciSendStringA(openMusic.c_str(), nullptr, 0);
    const double openMs = ms(Clock::now() - openStart);
    engine.waitUntilReady(std::chrono::seconds(60));
    std::printf("output: %s, SoundFont %s\n", engine.outputName().c_str(), engine.soundFontPath().c_str());
    std::printf("%-34s %.4f ms (reads and checks the file; the SoundFont loads elsewhere)\n",
                "open command returns in", openMs);
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
