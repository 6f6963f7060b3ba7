// Reading standard MIDI files strictly: the check a sequencer device makes before it accepts a file.
//
// Hand-written rather than taken from a library: FluidSynth's own reader accepts files that it
// later fails to play, and Debian's only other reader (libsmf) has been unmaintained since 2010.
//
// Contract
//   parseStandardMidiFile() accepts exactly the files that the synthesizer can play from start to
//   end: a header chunk of format 0 (one track) or 1, at least one track, a division in ticks per
//   quarter note (SMPTE time is refused), and that many complete "MTrk" chunks whose events all
//   decode (delta times of at most four bytes, running status only after a channel message, data
//   bytes below 0x80, meta and system-exclusive lengths inside the chunk; no system real-time or
//   common messages). Unknown chunk types are skipped; a track may lack its End of Track event.
//   Anything else yields std::nullopt and, when asked, a reason.
//   A track's endTick is the tick of its last event (End of Track included); the piece ends at
//   the largest endTick of its tracks.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace media {

struct MidiEvent {
    std::uint32_t tick = 0;
    std::uint8_t status = 0;     // 0x80-0xEF channel message, 0xF0/0xF7 system exclusive, 0xFF meta
    std::uint8_t metaType = 0;   // meta events only
    std::uint8_t data1 = 0;      // channel messages: first and second data byte
    std::uint8_t data2 = 0;
    std::vector<std::uint8_t> payload;   // meta and system-exclusive data
};

struct MidiTrack {
    std::vector<MidiEvent> events;
    std::uint32_t endTick = 0;
};

struct MidiNote {
    std::size_t track = 0;
    int channel = 0;
    int key = 0;
    int velocity = 0;
    std::uint32_t start = 0;
    std::uint32_t end = 0;       // the release, or the track's end for a note never released
    bool released = true;
};

struct MidiFile {
    int format = 0;
    int division = 0;            // ticks per quarter note
    std::vector<MidiTrack> tracks;

    std::uint32_t endTick() const;
    double secondsAt(std::uint32_t tick) const;   // through every tempo change of every track
    double durationSeconds() const { return secondsAt(endTick()); }
    std::vector<MidiNote> notes() const;          // sorted by start, then track, then key
};

// Seconds from the start of a piece at any tick, through every tempo change of every track (a
// later track's change at the same tick wins); 500,000 microseconds a quarter note until the first.
class TempoMap {
public:
    explicit TempoMap(const MidiFile& file);
    double secondsAt(std::uint32_t tick) const;

private:
    struct Change {
        std::uint32_t tick = 0;
        double seconds = 0.0;          // at tick
        std::uint32_t micros = 500000; // per quarter note from tick on
    };
    std::vector<Change> m_changes;   // by tick; the first at tick 0
    int m_division = 1;
};

std::optional<MidiFile> parseStandardMidiFile(std::span<const std::uint8_t> bytes,
                                              std::string* reason = nullptr);

}  // namespace media
