// FluidSynth set-up shared by live playback and offline rendering, so both sound the same.
//
// Contract
//   Piece: a checked MIDI file held in memory with the tick of its last event.
//   Synth: owns one fluid_settings_t and one fluid_synth_t configured identically everywhere
//     (44.1 kHz stereo, the program's gain, reverb, 32 voices); loadSoundFont() may take a while (FluidR3
//     about 0.3 s) and so is never called on the user-interface thread. A Synth is destroyed only
//     after every audio driver and player that uses it.
//   PieceRun: one play-through of a piece on a synth, from its beginning. It never uses the
//     player's loop mode. finished() is true once the player has passed the piece's last event
//     (or has stopped by itself): a note that is never released cannot keep the piece alive.
//     Create, query and destroy a PieceRun only on the thread that renders the synth.
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
typedef struct _fluid_player_t fluid_player_t;

namespace media {

inline constexpr int kSampleRate = 44100;

struct Piece {
    std::vector<std::uint8_t> bytes;
    std::uint32_t endTick = 0;
    double seconds = 0.0;

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
    fluid_settings_t* settings() const { return m_settings; }
    fluid_synth_t* synth() const { return m_synth; }

    // Renders frames into left and right (each at least frames long), overwriting them.
    void render(int frames, float* left, float* right);
    void releaseAll();   // every note goes into its release
    void silenceAll();   // every voice stops at once
    int activeVoices() const;

private:
    fluid_settings_t* m_settings = nullptr;
    fluid_synth_t* m_synth = nullptr;
};

class PieceRun {
public:
    PieceRun(Synth& synth, const Piece& piece);
    ~PieceRun();
    PieceRun(const PieceRun&) = delete;
    PieceRun& operator=(const PieceRun&) = delete;

    bool finished() const;

private:
    fluid_player_t* m_player = nullptr;
    std::uint32_t m_endTick = 0;
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
