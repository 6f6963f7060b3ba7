// Fuzz target: a MIDI file opened, played, queried and closed through the media command interface.
//
// Each input is written to a file and driven through mciSendStringA exactly as the game drives its
// music: open ... type sequencer alias, play ... from 0, status ... mode, stop all, close all. The
// engine runs its real playback thread with the silent output (no audio driver), in real time.
// Promises checked: a file the device check refuses is an unknown alias from then on (open, play
// and status fail, and status never answers "stopped", so the game never restarts it); an accepted
// one answers "playing" or "stopped"; stop and close always succeed and leave no alias behind.
#include "FuzzSupport.h"
#include "MediaCommand.h"
#include "MediaEngine.h"
#include "SoundFontLocator.h"
#include "Synthesis.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string g_open;

struct Reply {
    int code = -1;
    std::string text;
};

Reply Send(const std::string& command)
{
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    Reply reply;
    reply.code = mciSendStringA(command.c_str(), buffer, sizeof buffer);
    reply.text = buffer;   // NUL-terminated by the interface whatever the outcome
    return reply;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    media::EngineOptions silent;
    silent.soundFont = media::locateSoundFont({"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
                                               "/usr/share/sounds/sf2/FluidR3_GM.sf2"});
    silent.drivers = {};
    media::MediaEngine::instance().reconfigure(silent);
    g_open = "open " + fuzz::ScratchFolder().toStdString() + "/piece.mid type sequencer alias Fuzz";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::WriteFile(fuzz::ScratchFolder() + QStringLiteral("/piece.mid"),
                    QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const bool playable = media::Piece::fromBytes(std::vector<std::uint8_t>(data, data + size)).has_value();

    const Reply open = Send(g_open);
    fuzz::Require(open.code == (playable ? 0 : 2) && open.text.empty(), "open succeeds exactly for a playable file");
    const Reply play = Send("play Fuzz from 0");
    fuzz::Require(play.code == open.code && play.text.empty(), "play succeeds exactly for an opened alias");
    const Reply status = Send("status Fuzz mode");
    if (playable) {
        fuzz::Require(status.code == 0 && (status.text == "playing" || status.text == "stopped"),
                      "an opened alias reports playing or stopped", QString::fromStdString(status.text));
        // Let the playback thread take the piece and render a block of it, as the game would.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        const Reply later = Send("status Fuzz mode");
        fuzz::Require(later.code == 0 && (later.text == "playing" || later.text == "stopped"),
                      "an alias keeps reporting while it plays", QString::fromStdString(later.text));
    } else {
        fuzz::Require(status.code == 2 && status.text.empty(), "a refused file never reports \"stopped\"");
    }
    fuzz::Require(Send("stop all").code == 0, "stop all always succeeds");
    fuzz::Require(Send("close all").code == 0, "close all always succeeds");
    const Reply gone = Send("status Fuzz mode");
    fuzz::Require(gone.code == 2 && gone.text.empty(), "close all forgets the alias");
    return 0;
}
