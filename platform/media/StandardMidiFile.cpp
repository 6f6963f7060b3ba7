// Strict reader of standard MIDI files (format 0 and 1).
#include "StandardMidiFile.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace media {

namespace {

class Cursor {
public:
    Cursor(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::size_t left() const { return m_bytes.size() - m_at; }
    std::size_t position() const { return m_at; }

    bool byte(std::uint8_t& out)
    {
        if (left() < 1)
            return false;
        out = m_bytes[m_at++];
        return true;
    }
    bool peek(std::uint8_t& out) const
    {
        if (left() < 1)
            return false;
        out = m_bytes[m_at];
        return true;
    }
    bool bigEndian(int count, std::uint32_t& out)
    {
        if (left() < static_cast<std::size_t>(count))
            return false;
        out = 0;
        for (int i = 0; i < count; ++i)
            out = (out << 8) | m_bytes[m_at++];
        return true;
    }
    bool variableLength(std::uint32_t& out)
    {
        out = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t b = 0;
            if (!byte(b))
                return false;
            out = (out << 7) | (b & 0x7Fu);
            if ((b & 0x80) == 0)
                return true;
        }
        return false;   // more than four bytes
    }
    bool take(std::size_t count, std::vector<std::uint8_t>& out)
    {
        if (left() < count)
            return false;
        out.assign(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_at),
                   m_bytes.begin() + static_cast<std::ptrdiff_t>(m_at + count));
        m_at += count;
        return true;
    }
    bool skip(std::size_t count)
    {
        if (left() < count)
            return false;
        m_at += count;
        return true;
    }
    bool tag(const char (&expected)[5])
    {
        if (left() < 4)
            return false;
        return std::equal(expected, expected + 4, m_bytes.begin() + static_cast<std::ptrdiff_t>(m_at));
    }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
};

int dataBytesOf(std::uint8_t status)
{
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 1;
    default:
        return 2;
    }
}

std::optional<MidiTrack> parseTrack(std::span<const std::uint8_t> data, std::string& reason)
{
    MidiTrack track;
    Cursor in(data);
    std::uint32_t tick = 0;
    std::uint8_t running = 0;
    while (in.left() > 0) {
        std::uint32_t delta = 0;
        if (!in.variableLength(delta)) {
            reason = "bad delta time";
            return std::nullopt;
        }
        tick += delta;
        MidiEvent event;
        event.tick = tick;
        std::uint8_t first = 0;
        if (!in.peek(first)) {
            reason = "event missing after its delta time";
            return std::nullopt;
        }
        if (first == 0xFF) {
            in.byte(first);
            std::uint32_t length = 0;
            if (!in.byte(event.metaType) || !in.variableLength(length) || !in.take(length, event.payload)) {
                reason = "truncated meta event";
                return std::nullopt;
            }
            event.status = 0xFF;
            running = 0;
            track.events.push_back(std::move(event));
            if (track.events.back().metaType == 0x2F)
                break;   // End of Track: whatever follows in the chunk is ignored
            continue;
        }
        if (first == 0xF0 || first == 0xF7) {
            in.byte(first);
            std::uint32_t length = 0;
            if (!in.variableLength(length) || !in.take(length, event.payload)) {
                reason = "truncated system-exclusive event";
                return std::nullopt;
            }
            event.status = first;
            running = 0;
            track.events.push_back(std::move(event));
            continue;
        }
        if (first >= 0xF0) {
            reason = "system message inside a track";
            return std::nullopt;
        }
        if (first & 0x80) {
            in.byte(first);
            running = first;
        } else if (running == 0) {
            reason = "data byte without a status";
            return std::nullopt;
        }
        event.status = running;
        std::uint8_t d1 = 0;
        std::uint8_t d2 = 0;
        if (!in.byte(d1) || (dataBytesOf(running) == 2 && !in.byte(d2))) {
            reason = "truncated channel message";
            return std::nullopt;
        }
        if ((d1 | d2) & 0x80) {
            reason = "status byte where data was expected";
            return std::nullopt;
        }
        event.data1 = d1;
        event.data2 = d2;
        track.events.push_back(std::move(event));
    }
    track.endTick = tick;
    return track;
}

}  // namespace

std::optional<MidiFile> parseStandardMidiFile(std::span<const std::uint8_t> bytes, std::string* reason)
{
    std::string why;
    const auto fail = [&](const std::string& text) -> std::optional<MidiFile> {
        if (reason)
            *reason = text;
        return std::nullopt;
    };

    Cursor in(bytes);
    std::uint32_t headerLength = 0;
    std::uint32_t format = 0;
    std::uint32_t trackCount = 0;
    std::uint32_t division = 0;
    if (!in.tag("MThd"))
        return fail("not a standard MIDI file");
    in.skip(4);
    if (!in.bigEndian(4, headerLength) || headerLength < 6 || headerLength > in.left())
        return fail("bad header length");
    in.bigEndian(2, format);
    in.bigEndian(2, trackCount);
    in.bigEndian(2, division);
    in.skip(headerLength - 6);
    if (format > 1)
        return fail("format " + std::to_string(format) + " is not played");
    if (trackCount == 0 || (format == 0 && trackCount != 1))
        return fail("wrong number of tracks");
    if (division == 0 || (division & 0x8000) != 0)
        return fail("SMPTE or zero division");

    MidiFile file;
    file.format = static_cast<int>(format);
    file.division = static_cast<int>(division);
    while (file.tracks.size() < trackCount) {
        if (in.left() < 8)
            return fail("missing track " + std::to_string(file.tracks.size() + 1));
        const bool isTrack = in.tag("MTrk");
        in.skip(4);
        std::uint32_t length = 0;
        in.bigEndian(4, length);
        if (length > in.left())
            return fail("chunk longer than the file");
        const auto chunk = bytes.subspan(in.position(), length);
        in.skip(length);
        if (!isTrack)
            continue;
        auto track = parseTrack(chunk, why);
        if (!track)
            return fail("track " + std::to_string(file.tracks.size() + 1) + ": " + why);
        file.tracks.push_back(std::move(*track));
    }
    return file;
}

std::uint32_t MidiFile::endTick() const
{
    std::uint32_t end = 0;
    for (const MidiTrack& track : tracks)
        end = std::max(end, track.endTick);
    return end;
}

double MidiFile::secondsAt(std::uint32_t tick) const
{
    return TempoMap(*this).secondsAt(tick);
}

TempoMap::TempoMap(const MidiFile& file) : m_division(std::max(1, file.division))
{
    std::map<std::uint32_t, std::uint32_t> tempos{{0, 500000}};   // tick -> microseconds per quarter note
    for (const MidiTrack& track : file.tracks)
        for (const MidiEvent& event : track.events)
            if (event.status == 0xFF && event.metaType == 0x51 && event.payload.size() == 3)
                tempos[event.tick] = (std::uint32_t{event.payload[0]} << 16) |
                                     (std::uint32_t{event.payload[1]} << 8) | event.payload[2];
    double seconds = 0.0;
    Change last{0, 0.0, 500000};
    for (const auto& [at, micros] : tempos) {
        seconds += double(at - last.tick) * last.micros / (1e6 * m_division);
        last = {at, seconds, micros};
        m_changes.push_back(last);
    }
}

double TempoMap::secondsAt(std::uint32_t tick) const
{
    auto after = std::upper_bound(m_changes.begin(), m_changes.end(), tick,
                                  [](std::uint32_t t, const Change& change) { return t < change.tick; });
    const Change& from = *std::prev(after);   // the first change is at tick 0
    return from.seconds + double(tick - from.tick) * from.micros / (1e6 * m_division);
}

std::vector<MidiNote> MidiFile::notes() const
{
    std::vector<MidiNote> result;
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        std::map<std::pair<int, int>, std::vector<std::size_t>> sounding;   // (channel, key) -> notes
        for (const MidiEvent& event : tracks[t].events) {
            const int kind = event.status & 0xF0;
            if (kind != 0x80 && kind != 0x90)
                continue;
            const std::pair<int, int> id{event.status & 0x0F, event.data1};
            if (kind == 0x90 && event.data2 > 0) {
                sounding[id].push_back(result.size());
                result.push_back({t, id.first, id.second, event.data2, event.tick, 0, false});
            } else if (auto found = sounding.find(id); found != sounding.end() && !found->second.empty()) {
                MidiNote& note = result[found->second.front()];
                note.end = event.tick;
                note.released = true;
                found->second.erase(found->second.begin());
            }
        }
        for (auto& [id, open] : sounding)
            for (const std::size_t index : open)
                result[index].end = tracks[t].endTick;
    }
    std::stable_sort(result.begin(), result.end(), [](const MidiNote& a, const MidiNote& b) {
        if (a.start != b.start)
            return a.start < b.start;
        if (a.track != b.track)
            return a.track < b.track;
        return a.key < b.key;
    });
    return result;
}

}  // namespace media
