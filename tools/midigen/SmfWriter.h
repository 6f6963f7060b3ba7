// Writing standard MIDI files: raw track encoding, and a whole piece from its note source.
//
// Contract
//   encodeTrack() sorts the events by tick (at one tick: meta events, then program and controller
//   changes, then note-offs, then note-ons, each group in the order given) and returns a complete
//   "MTrk" chunk ending with an End of Track event at endTick (or at the last event, if later).
//   encodeFile() puts a header chunk before the given track chunks.
//   writeSong() returns a format 1 file: a conductor track (title, time and key signature,
//   tempo changes) followed by one track per note-source track, every track ending at the
//   piece's length, so that the file's last event is the end of its last bar.
#pragma once

#include "NoteSource.h"

#include <cstdint>
#include <vector>

namespace midigen {

struct RawEvent {
    enum Rank { Meta = 0, Control = 1, NoteOff = 2, NoteOn = 3 };
    std::uint32_t tick = 0;
    Rank rank = Meta;
    std::vector<std::uint8_t> bytes;   // status byte included; meta events as FF type length data
};

std::vector<std::uint8_t> encodeTrack(std::vector<RawEvent> events, std::uint32_t endTick);
std::vector<std::uint8_t> encodeFile(int format, int division,
                                     const std::vector<std::vector<std::uint8_t>>& trackChunks);
std::vector<std::uint8_t> writeSong(const Song& song);

// Convenience builders for the events above.
RawEvent noteOn(std::uint32_t tick, int channel, int key, int velocity);
RawEvent noteOff(std::uint32_t tick, int channel, int key);
RawEvent metaText(std::uint32_t tick, int type, const std::string& text);
RawEvent metaTempo(std::uint32_t tick, std::uint32_t microsPerQuarter);

}  // namespace midigen
