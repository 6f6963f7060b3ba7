// FluidSynth synth, the sequencer that plays a piece on it, and offline rendering, configured once for the whole program.
#include "Synthesis.h"

#include "FluidSynthLibrary.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>

namespace media {

namespace {

constexpr std::size_t kLargestMidiFile = 16u << 20;   // far above any real piece
constexpr double kGain = 0.5;
// Voices cost CPU in proportion to their number; FluidR3's harp alone rings for nine seconds
// a note. With 32, FluidSynth drops the oldest, quietest released voices first, which keeps the
// music near 1 % of a core instead of 3 % without an audible change.
constexpr int kPolyphony = 32;
// FluidSynth sizes its message queue (64 entries a voice) and its list of voices that ended
// (one a voice) by the polyphony it is created with. At 32 both are too small: a voice cut off
// to make room for another ends twice (the voice and its overflow copy), so a stop while the
// synth is full loses end notices, and each lost notice holds a voice for good until nothing
// sounds any more. Created for 256 and then limited to 32, it has room to spare: 16384 queue
// entries against the 32 note-ons of a block (about 60 entries a voice, up to 4 voices a note)
// and 256 end notices against at most 64.
constexpr int kPolyphonyCreated = 256;

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

double toDbfs(double rms)
{
    return rms > 0.0 ? 20.0 * std::log10(rms) : -200.0;
}

}  // namespace

void silenceLibraryLogs()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const FluidSynth* f = fluid();
        if (!f)
            return;
        for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
            f->fluid_set_log_function(level, nullptr, nullptr);
        if (f->alsaErrorHandlerSetter)
            f->alsaErrorHandlerSetter(quietAlsa);
    });
}

std::optional<Piece> Piece::fromBytes(std::vector<std::uint8_t> bytes)
{
    const auto file = parseStandardMidiFile(bytes);
    if (!file)
        return std::nullopt;
    const TempoMap tempo(*file);
    const auto frameAt = [&](std::uint32_t tick) {
        return static_cast<std::uint64_t>(std::llround(tempo.secondsAt(tick) * kSampleRate));
    };

    struct Due {
        std::uint32_t tick;
        std::size_t track;
        const MidiEvent* event;   // tracks keep their events in file order
    };
    std::vector<Due> due;
    for (std::size_t t = 0; t < file->tracks.size(); ++t)
        for (const MidiEvent& event : file->tracks[t].events)
            if (event.status < 0xF0 || (event.status == 0xF0 && !event.payload.empty()))
                due.push_back({event.tick, t, &event});
    std::stable_sort(due.begin(), due.end(), [](const Due& a, const Due& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.track < b.track;
    });

    Piece piece;
    piece.cues.reserve(due.size());
    for (const Due& item : due) {
        const MidiEvent& event = *item.event;
        Cue cue{frameAt(item.tick), event.status, event.data1, event.data2};
        if (event.status == 0xF0) {
            std::size_t length = event.payload.size();
            if (event.payload.back() == 0xF7)
                --length;   // the F7 that ends the message
            cue.sysexAt = static_cast<std::uint32_t>(piece.sysex.size());
            cue.sysexLength = static_cast<std::uint32_t>(length);
            piece.sysex.insert(piece.sysex.end(), event.payload.begin(), event.payload.begin() + std::ptrdiff_t(length));
        }
        piece.cues.push_back(cue);
    }
    piece.endTick = file->endTick();
    piece.seconds = tempo.secondsAt(piece.endTick);
    piece.endFrame = frameAt(piece.endTick);
    piece.bytes = std::move(bytes);
    return piece;
}

std::optional<Piece> Piece::load(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return std::nullopt;
    const std::streamoff size = in.tellg();
    if (size <= 0 || static_cast<std::size_t>(size) > kLargestMidiFile)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size))
        return std::nullopt;
    return fromBytes(std::move(bytes));
}

Synth::Synth() : m_fluid(fluid())
{
    if (!m_fluid)
        return;   // no synthesizer library: this synth renders silence
    const FluidSynth& f = *m_fluid;
    silenceLibraryLogs();
    m_settings = f.new_fluid_settings();
    if (!m_settings)
        return;
    f.fluid_settings_setnum(m_settings, "synth.sample-rate", kSampleRate);
    f.fluid_settings_setnum(m_settings, "synth.gain", kGain);
    f.fluid_settings_setint(m_settings, "synth.cpu-cores", 1);
    f.fluid_settings_setint(m_settings, "synth.polyphony", kPolyphonyCreated);
    f.fluid_settings_setint(m_settings, "synth.chorus.active", 0);   // no piece sends to it
    // Only the samples of the instruments a piece selects are read into memory: with FluidR3
    // that is a few MiB for the music instead of all 141 MiB of the font.
    f.fluid_settings_setint(m_settings, "synth.dynamic-sample-loading", 1);
    m_synth = f.new_fluid_synth(m_settings);
    if (m_synth)
        f.fluid_synth_set_polyphony(m_synth, kPolyphony);
}

Synth::~Synth()
{
    if (m_synth)
        m_fluid->delete_fluid_synth(m_synth);
    if (m_settings)
        m_fluid->delete_fluid_settings(m_settings);
}

bool Synth::loadSoundFont(const std::string& path)
{
    return m_synth && m_fluid->fluid_synth_sfload(m_synth, path.c_str(), 1) != FLUID_FAILED;
}

void Synth::render(int frames, float* left, float* right)
{
    if (!m_synth || m_fluid->fluid_synth_write_float(m_synth, frames, left, 0, 1, right, 0, 1) != FLUID_OK) {
        std::fill(left, left + frames, 0.0f);
        std::fill(right, right + frames, 0.0f);
    }
    m_rendered += static_cast<std::uint64_t>(std::max(frames, 0));
}

void Synth::releaseAll()
{
    if (!m_synth)
        return;
    const FluidSynth& f = *m_fluid;
    for (int channel = 0; channel < f.fluid_synth_count_midi_channels(m_synth); ++channel) {
        f.fluid_synth_cc(m_synth, channel, 64, 0);   // sustain pedal up, or held notes would stay
        f.fluid_synth_cc(m_synth, channel, 66, 0);   // sostenuto up
        f.fluid_synth_all_notes_off(m_synth, channel);
    }
}

void Synth::silenceAll()
{
    if (!m_synth)
        return;
    for (int channel = 0; channel < m_fluid->fluid_synth_count_midi_channels(m_synth); ++channel)
        m_fluid->fluid_synth_all_sounds_off(m_synth, channel);
}

int Synth::activeVoices() const
{
    return m_synth ? m_fluid->fluid_synth_get_active_voice_count(m_synth) : 0;
}

namespace {

void send(const FluidSynth& f, fluid_synth_t* synth, const Piece& piece, const Cue& cue)
{
    const int channel = cue.status & 0x0F;
    switch (cue.status & 0xF0) {
    case 0x80:
        f.fluid_synth_noteoff(synth, channel, cue.data1);
        break;
    case 0x90:
        if (cue.data2 == 0)
            f.fluid_synth_noteoff(synth, channel, cue.data1);
        else
            f.fluid_synth_noteon(synth, channel, cue.data1, cue.data2);
        break;
    case 0xA0:
        f.fluid_synth_key_pressure(synth, channel, cue.data1, cue.data2);
        break;
    case 0xB0:
        f.fluid_synth_cc(synth, channel, cue.data1, cue.data2);
        break;
    case 0xC0:
        f.fluid_synth_program_change(synth, channel, cue.data1);
        break;
    case 0xD0:
        f.fluid_synth_channel_pressure(synth, channel, cue.data1);
        break;
    case 0xE0:
        f.fluid_synth_pitch_bend(synth, channel, (cue.data2 << 7) | cue.data1);
        break;
    case 0xF0:
        if (cue.sysexLength > 0)
            f.fluid_synth_sysex(synth, reinterpret_cast<const char*>(piece.sysex.data() + cue.sysexAt),
                              static_cast<int>(cue.sysexLength), nullptr, nullptr, nullptr, 0);
        break;
    default:
        break;
    }
}

}  // namespace

PieceRun::PieceRun(Synth& synth, const Piece& piece) : m_synth(synth), m_piece(piece)
{
    if (synth.synth())
        synth.library()->fluid_synth_system_reset(synth.synth());   // programs and controllers as a new piece expects
}

void PieceRun::sendDue()
{
    fluid_synth_t* synth = m_synth.synth();
    const std::vector<Cue>& cues = m_piece.cues;
    if (m_synth.nextBlock() != m_block) {
        m_block = m_synth.nextBlock();
        m_sentInBlock = 0;
    }
    while (m_next < cues.size() && cues[m_next].frame <= m_position && m_sentInBlock < kCuesPerBlock) {
        if (synth)
            send(*m_synth.library(), synth, m_piece, cues[m_next]);
        ++m_next;
        ++m_sentInBlock;
    }
}

void PieceRun::render(int frames, float* left, float* right)
{
    const std::vector<Cue>& cues = m_piece.cues;
    int done = 0;
    while (done < frames) {
        sendDue();
        std::uint64_t chunk = static_cast<std::uint64_t>(frames - done);
        if (m_next < cues.size()) {
            const std::uint64_t next = cues[m_next].frame;
            // Up to the next message; when the budget held some back, through the block that
            // takes those sent (the synth then has room for more).
            const std::uint64_t throughBlock = Synth::kBlockFrames * (m_synth.nextBlock() + 1) - m_synth.rendered();
            chunk = std::min(chunk, next > m_position ? next - m_position : throughBlock);
        }
        m_synth.render(static_cast<int>(chunk), left + done, right + done);
        done += static_cast<int>(chunk);
        m_position += chunk;
    }
    sendDue();
}

bool PieceRun::finished() const
{
    return m_next >= m_piece.cues.size() && m_position >= m_piece.endFrame;
}

std::optional<RenderFigures> renderOffline(const Piece& piece, const std::string& soundFont,
                                           double tailSeconds)
{
    Synth synth;
    if (!synth.synth() || (!soundFont.empty() && !synth.loadSoundFont(soundFont)))
        return std::nullopt;

    constexpr int kBlock = 64;   // the synth's own block: the end is found to the sample block
    float left[kBlock];
    float right[kBlock];
    RenderFigures figures;
    double sumSquares = 0.0;
    double secondSum = 0.0;
    std::size_t secondFrames = 0;
    std::size_t frames = 0;
    const auto account = [&](bool inPiece) {
        for (int i = 0; i < kBlock; ++i) {
            const double l = left[i];
            const double r = right[i];
            const double square = l * l + r * r;
            sumSquares += square;
            figures.peak = std::max({figures.peak, std::abs(l), std::abs(r)});
            if (inPiece) {
                secondSum += square;
                if (++secondFrames == static_cast<std::size_t>(kSampleRate)) {
                    figures.secondRmsDbfs.push_back(toDbfs(std::sqrt(secondSum / (2.0 * kSampleRate))));
                    secondSum = 0.0;
                    secondFrames = 0;
                }
            }
        }
        frames += kBlock;
    };

    // The run ends at the last event of the piece; the cap only backs that up.
    const auto cap = static_cast<std::size_t>((piece.seconds * 2.0 + 10.0) * kSampleRate);
    {
        PieceRun run(synth, piece);
        while (!run.finished() && frames < cap) {
            run.render(kBlock, left, right);
            account(true);
        }
    }
    figures.pieceSeconds = double(frames) / kSampleRate;
    synth.releaseAll();
    const auto tailFrames = static_cast<std::size_t>(std::max(0.0, tailSeconds) * kSampleRate);
    for (std::size_t done = 0; done < tailFrames; done += kBlock) {
        synth.render(kBlock, left, right);
        account(false);
    }
    figures.totalSeconds = double(frames) / kSampleRate;
    figures.rmsDbfs = frames ? toDbfs(std::sqrt(sumSquares / (2.0 * double(frames)))) : -200.0;
    return figures;
}

}  // namespace media
