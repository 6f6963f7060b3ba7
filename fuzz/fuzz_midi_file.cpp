// Fuzz target: a MIDI file as a sequencer device checks it on open, then plays what it accepts.
//
// media::Piece::fromBytes is the whole check that "open <file> type sequencer alias <name>" makes
// after reading the file; an accepted piece is sent, message by message, to FluidSynth when it
// plays. This target runs both on each input, the run on the same synthesizer set-up as the
// program (with a small General MIDI SoundFont, so that notes start voices) for a fixed stretch of
// audio. Promises checked: the device's check and the strict reader agree, a refusal gives a
// reason, and an accepted piece has a consistent end tick and a finite, non-negative duration.
#include "FuzzSupport.h"
#include "SoundFontLocator.h"
#include "StandardMidiFile.h"
#include "Synthesis.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

media::Synth* g_synth = nullptr;

constexpr int kBlock = 512;
constexpr int kBlocks = 8;   // about 93 ms of audio per input

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static media::Synth synth;
    // The smallest SoundFont first: every one makes notes sound, and it loads in a moment.
    const std::string soundFont = media::locateSoundFont({"/usr/share/sounds/sf2/TimGM6mb.sf2",
                                                          "/usr/share/sounds/sf2/default-GM.sf2",
                                                          "/usr/share/sounds/sf2/FluidR3_GM.sf2"});
    if (!soundFont.empty())
        synth.loadSoundFont(soundFont);
    g_synth = &synth;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    std::string reason;
    const auto file = media::parseStandardMidiFile(bytes, &reason);
    const auto piece = media::Piece::fromBytes(bytes);
    fuzz::Require(file.has_value() == piece.has_value(), "a device accepts exactly the files the reader accepts");
    if (!file) {
        fuzz::Require(!reason.empty(), "a refused file comes with a reason");
        return 0;
    }

    std::uint32_t lastTick = 0;
    for (const media::MidiTrack& track : file->tracks)
        lastTick = std::max(lastTick, track.endTick);
    fuzz::Require(!file->tracks.empty(), "an accepted file has a track");
    fuzz::Require(file->division > 0 && file->division < 0x8000, "an accepted file counts ticks per quarter note");
    fuzz::Require(piece->endTick == lastTick && file->endTick() == lastTick, "a piece ends with its longest track");
    fuzz::Require(std::isfinite(piece->seconds) && piece->seconds >= 0.0, "a piece lasts a finite, non-negative time");
    fuzz::Require(file->secondsAt(lastTick / 2) <= piece->seconds, "time does not run backwards within a piece");

    // What the playback thread does with it: a run on the synthesizer, rendered block by block.
    std::vector<float> left(kBlock);
    std::vector<float> right(kBlock);
    {
        media::PieceRun run(*g_synth, *piece);
        for (int i = 0; i < kBlocks && !run.finished(); ++i)
            run.render(kBlock, left.data(), right.data());
    }
    g_synth->silenceAll();
    g_synth->render(kBlock, left.data(), right.data());
    return 0;
}
