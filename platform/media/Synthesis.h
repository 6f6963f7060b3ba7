// FluidSynth set-up shared by live playback and offline rendering, so both sound the same.
//
// Contract
//   Piece: a checked MIDI file held in memory with the tick of its last event, and what a
//     sequencer sends of it: every channel message and system-exclusive message of every track,
//     merged in time order (at one tick, in track order, then file order), each at the audio frame
//     where the file's tempo map puts it; the piece ends at endFrame, the frame of its last event.
//   Synth: owns one fluid_settings_t and one fluid_synth_t configured identically everywhere
//     (44.1 kHz stereo, the program's gain, reverb, 32 voices); loadSoundFont() may take a while (FluidR3
//     about 0.3 s) and so is never called on the user-interface thread. A Synth is destroyed only
//     after every audio driver and piece run that uses it. The first Synth of the process opens
//     the synthesizer library (FluidSynthLibrary.h); without it every Synth renders silence, loads
//     no SoundFont and has no settings for an audio driver.
//   PieceRun: one play-through of a piece on a synth, from its beginning: it resets the synth's
//     channels (programs, controllers, voices), then render() sends each message when the audio
//     reaches its frame (to within the synth's own 64-frame block) and renders. Like a MIDI cable,
//     it sends at most kCuesPerBlock messages per block of the synth (FluidSynth takes the
//     messages sent meanwhile at the start of each 64-frame block, into a queue of fixed size
//     that must never overflow); a burst beyond that arrives a little late instead of stalling
//     the audio thread or losing voices. finished() is true once every message is sent
//     and the audio has reached endFrame: a note that is never released cannot keep the piece
//     alive. Create, render, query and destroy a PieceRun only on the thread that renders the
//     synth; it refers to its piece and synth, which outlive it.
//   silenceLibraryLogs(): FluidSynth and ALSA print nothing (the program keeps no log).
//   renderOffline(): plays a piece through a fresh synth as fast as possible, exactly as a
//     device would, then lets the release tails ring for tailSeconds; returns the level figures.
#pragma once

#include "StandardMidiFile.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;

namespace media {

struct FluidSynth;

inline constexpr int kSampleRate = 44100;

// One message as a sequencer sends it: a channel message, or a system-exclusive one whose data
// (without the F0 and F7 that frame it) lies in Piece::sysex.
struct Cue {
    std::uint64_t frame = 0;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
    std::uint32_t sysexAt = 0;
    std::uint32_t sysexLength = 0;
};

struct Piece {
    std::vector<std::uint8_t> bytes;
    std::uint32_t endTick = 0;
    double seconds = 0.0;
    std::vector<Cue> cues;                 // by frame
    std::vector<std::uint8_t> sysex;
    std::uint64_t endFrame = 0;

    // Reads and checks a file; nullopt when it is missing, unreadable or not a playable MIDI file.
    static std::optional<Piece> load(const std::string& path);
    static std::optional<Piece> fromBytes(std::vector<std::uint8_t> bytes);
};

class Synth {
public:
    Synth();
    ~Synth();
    Synth(const Synth&) = delete;
    Synth& operator=(const Synth&) = delete;

    bool loadSoundFont(const std::string& path);
    // All three are null when the synthesizer library is missing; the synth is silent then.
    const FluidSynth* library() const { return m_fluid; }
    fluid_settings_t* settings() const { return m_settings; }
    fluid_synth_t* synth() const { return m_synth; }

    // Renders frames into left and right (each at least frames long), overwriting them.
    void render(int frames, float* left, float* right);
    void releaseAll();   // every note goes into its release
    void silenceAll();   // every voice stops at once
    int activeVoices() const;
    // The synth's 64-frame block that takes the messages sent now: it begins at frame
    // 64 * nextBlock() of everything this synth has rendered.
    std::uint64_t nextBlock() const { return (m_rendered + kBlockFrames - 1) / kBlockFrames; }
    std::uint64_t rendered() const { return m_rendered; }
    static constexpr std::uint64_t kBlockFrames = 64;

private:
    const FluidSynth* m_fluid = nullptr;
    fluid_settings_t* m_settings = nullptr;
    fluid_synth_t* m_synth = nullptr;
    std::uint64_t m_rendered = 0;
};

class PieceRun {
public:
    static constexpr int kCuesPerBlock = 32;

    PieceRun(Synth& synth, const Piece& piece);
    PieceRun(const PieceRun&) = delete;
    PieceRun& operator=(const PieceRun&) = delete;

    // Renders frames into left and right as Synth::render does, sending the messages due.
    void render(int frames, float* left, float* right);
    bool finished() const;
    std::uint64_t position() const { return m_position; }   // frames rendered so far

private:
    void sendDue();

    Synth& m_synth;
    const Piece& m_piece;
    std::size_t m_next = 0;          // the first cue not sent
    std::uint64_t m_position = 0;
    std::uint64_t m_block = 0;       // the synth block the send budget belongs to
    int m_sentInBlock = 0;
};

void silenceLibraryLogs();

struct RenderFigures {
    double pieceSeconds = 0.0;        // audio time until the piece ended
    double totalSeconds = 0.0;        // including the tail
    double rmsDbfs = -200.0;          // over the whole rendering, both channels
    double peak = 0.0;                // largest absolute sample
    std::vector<double> secondRmsDbfs;   // RMS of each whole second of the piece
};

std::optional<RenderFigures> renderOffline(const Piece& piece, const std::string& soundFont,
                                           double tailSeconds = 1.0);

}  // namespace media
