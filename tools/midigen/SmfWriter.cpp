// Standard MIDI file encoding of note-source pieces.
#include "SmfWriter.h"

#include <algorithm>

namespace midigen {

namespace {

void putVariableLength(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    std::uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1)
        out.push_back(static_cast<std::uint8_t>(groups[--count] | 0x80));
    out.push_back(groups[0]);
}

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

std::uint8_t log2Of(int value)
{
    std::uint8_t result = 0;
    while ((1 << result) < value)
        ++result;
    return result;
}

}  // namespace

RawEvent noteOn(std::uint32_t tick, int channel, int key, int velocity)
{
    return {tick, RawEvent::NoteOn,
            {static_cast<std::uint8_t>(0x90 | channel), static_cast<std::uint8_t>(key),
             static_cast<std::uint8_t>(velocity)}};
}

RawEvent noteOff(std::uint32_t tick, int channel, int key)
{
    return {tick, RawEvent::NoteOff,
            {static_cast<std::uint8_t>(0x80 | channel), static_cast<std::uint8_t>(key), 64}};
}

RawEvent metaText(std::uint32_t tick, int type, const std::string& text)
{
    RawEvent event{tick, RawEvent::Meta, {0xFF, static_cast<std::uint8_t>(type)}};
    putVariableLength(event.bytes, static_cast<std::uint32_t>(text.size()));
    event.bytes.insert(event.bytes.end(), text.begin(), text.end());
    return event;
}

RawEvent metaTempo(std::uint32_t tick, std::uint32_t microsPerQuarter)
{
    RawEvent event{tick, RawEvent::Meta, {0xFF, 0x51, 0x03}};
    putBigEndian(event.bytes, microsPerQuarter, 3);
    return event;
}

std::vector<std::uint8_t> encodeTrack(std::vector<RawEvent> events, std::uint32_t endTick)
{
    std::stable_sort(events.begin(), events.end(), [](const RawEvent& a, const RawEvent& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.rank < b.rank;
    });
    std::vector<std::uint8_t> data;
    std::uint32_t now = 0;
    for (const RawEvent& event : events) {
        putVariableLength(data, event.tick - now);
        now = event.tick;
        data.insert(data.end(), event.bytes.begin(), event.bytes.end());
    }
    putVariableLength(data, std::max(endTick, now) - now);
    data.insert(data.end(), {0xFF, 0x2F, 0x00});

    std::vector<std::uint8_t> chunk{'M', 'T', 'r', 'k'};
    putBigEndian(chunk, static_cast<std::uint32_t>(data.size()), 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    return chunk;
}

std::vector<std::uint8_t> encodeFile(int format, int division,
                                     const std::vector<std::vector<std::uint8_t>>& trackChunks)
{
    std::vector<std::uint8_t> file{'M', 'T', 'h', 'd', 0, 0, 0, 6};
    putBigEndian(file, static_cast<std::uint32_t>(format), 2);
    putBigEndian(file, static_cast<std::uint32_t>(trackChunks.size()), 2);
    putBigEndian(file, static_cast<std::uint32_t>(division), 2);
    for (const auto& chunk : trackChunks)
        file.insert(file.end(), chunk.begin(), chunk.end());
    return file;
}

std::vector<std::uint8_t> writeSong(const Song& song)
{
    const std::uint32_t end = song.length();
    std::vector<std::vector<std::uint8_t>> chunks;

    std::vector<RawEvent> conductor;
    if (!song.title.empty())
        conductor.push_back(metaText(0, 0x03, song.title));
    conductor.push_back({0, RawEvent::Meta,
                         {0xFF, 0x58, 0x04, static_cast<std::uint8_t>(song.timeNumerator),
                          log2Of(song.timeDenominator), 24, 8}});
    if (song.hasKey)
        conductor.push_back({0, RawEvent::Meta,
                             {0xFF, 0x59, 0x02, static_cast<std::uint8_t>(song.keySharps),
                              static_cast<std::uint8_t>(song.keyMinor ? 1 : 0)}});
    for (const TempoChange& tempo : song.tempos)
        conductor.push_back(metaTempo(tempo.tick, tempo.microsPerQuarter));
    chunks.push_back(encodeTrack(std::move(conductor), end));

    for (const SongTrack& track : song.tracks) {
        std::vector<RawEvent> events;
        if (!track.name.empty())
            events.push_back(metaText(0, 0x03, track.name));
        for (const ControlEvent& control : track.controls) {
            if (control.kind == ControlEvent::Kind::Program)
                events.push_back({control.tick, RawEvent::Control,
                                  {static_cast<std::uint8_t>(0xC0 | track.channel),
                                   static_cast<std::uint8_t>(control.value)}});
            else
                events.push_back({control.tick, RawEvent::Control,
                                  {static_cast<std::uint8_t>(0xB0 | track.channel),
                                   static_cast<std::uint8_t>(control.number),
                                   static_cast<std::uint8_t>(control.value)}});
        }
        for (const TimedNote& note : track.notes) {
            const std::uint32_t sounding =
                std::max<std::uint32_t>(1, note.length * static_cast<std::uint32_t>(note.gatePercent) / 100);
            events.push_back(noteOn(note.start, track.channel, note.key, note.velocity));
            events.push_back(noteOff(note.start + sounding, track.channel, note.key));
        }
        chunks.push_back(encodeTrack(std::move(events), end));
    }
    return encodeFile(1, song.ppq, chunks);
}

}  // namespace midigen
