// synth_probe: plays one short piece through the media commands as the game does, and prints
// what happened, one "key value" line each:
//   mapped-at-start / mapped-after   whether the synthesizer library is in the process
//   open / play                      the commands' result codes
//   status                           the mode reply right after play
//   stopped                          1 once the reply says "stopped", within 20 s
//   soundfont                        the SoundFont in use once the piece is done, or "-"
// Usage: synth_probe <scratch folder>
#include "MediaCommand.h"
#include "MediaEngine.h"
#include "MediaTestSupport.h"

#include <chrono>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

namespace {

bool synthesizerMapped()
{
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find("/libfluidsynth") != std::string::npos)
            return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: synth_probe <scratch folder>\n";
        return 2;
    }
    std::cout << "mapped-at-start " << synthesizerMapped() << "\n";
    const std::string file = media_test::writeFile(std::string(argv[1]) + "/short.mid",
                                                   media_test::pieceFromSource("tempo 120\ntrack Piano\n program 0\n c5/16\n"));
    std::cout << "open " << mciSendStringA(("open " + file + " type sequencer alias probe").c_str(), nullptr, 0) << "\n";
    std::cout << "play " << mciSendStringA("play probe from 0", nullptr, 0) << "\n";
    std::cout << "status " << media_test::send("status probe mode") << "\n";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool stopped = false;
    while (!stopped && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stopped = media_test::send("status probe mode") == "stopped";
    }
    std::cout << "stopped " << stopped << "\n";
    const std::string font = media::MediaEngine::instance().soundFontPath();
    std::cout << "soundfont " << (font.empty() ? "-" : font) << "\n";
    std::cout << "mapped-after " << synthesizerMapped() << std::endl;
    mciSendStringA("close all", nullptr, 0);
    return 0;
}
