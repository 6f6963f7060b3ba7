// FluidSynth synth, player run and offline rendering, configured once for the whole program.
#include "Synthesis.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>

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
        for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
            fluid_set_log_function(level, nullptr, nullptr);
        snd_lib_error_set_handler(quietAlsa);
    });
}

std::optional<Piece> Piece::fromBytes(std::vector<std::uint8_t> bytes)
{
    const auto file = parseStandardMidiFile(bytes);
    if (!file)
        return std::nullopt;
    Piece piece;
    piece.endTick = file->endTick();
    piece.seconds = file->durationSeconds();
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

Synth::Synth()
{
    silenceLibraryLogs();
    m_settings = new_fluid_settings();
    fluid_settings_setnum(m_settings, "synth.sample-rate", kSampleRate);
    fluid_settings_setnum(m_settings, "synth.gain", kGain);
    fluid_settings_setint(m_settings, "synth.cpu-cores", 1);
    fluid_settings_setint(m_settings, "synth.polyphony", kPolyphony);
    fluid_settings_setint(m_settings, "synth.chorus.active", 0);   // no piece sends to it
    fluid_settings_setint(m_settings, "player.reset-synth", 1);   // a new piece starts from a clean synth
    m_synth = new_fluid_synth(m_settings);
}

Synth::~Synth()
{
    if (m_synth)
        delete_fluid_synth(m_synth);
    delete_fluid_settings(m_settings);
}

bool Synth::loadSoundFont(const std::string& path)
{
    return m_synth && fluid_synth_sfload(m_synth, path.c_str(), 1) != FLUID_FAILED;
}

void Synth::render(int frames, float* left, float* right)
{
    if (!m_synth || fluid_synth_write_float(m_synth, frames, left, 0, 1, right, 0, 1) != FLUID_OK) {
        std::fill(left, left + frames, 0.0f);
        std::fill(right, right + frames, 0.0f);
    }
}

void Synth::releaseAll()
{
    if (!m_synth)
        return;
    for (int channel = 0; channel < fluid_synth_count_midi_channels(m_synth); ++channel) {
        fluid_synth_cc(m_synth, channel, 64, 0);   // sustain pedal up, or held notes would stay
        fluid_synth_cc(m_synth, channel, 66, 0);   // sostenuto up
        fluid_synth_all_notes_off(m_synth, channel);
    }
}

void Synth::silenceAll()
{
    if (!m_synth)
        return;
    for (int channel = 0; channel < fluid_synth_count_midi_channels(m_synth); ++channel)
        fluid_synth_all_sounds_off(m_synth, channel);
}

int Synth::activeVoices() const
{
    return m_synth ? fluid_synth_get_active_voice_count(m_synth) : 0;
}

PieceRun::PieceRun(Synth& synth, const Piece& piece) : m_endTick(piece.endTick)
{
    if (!synth.synth())
        return;
    m_player = new_fluid_player(synth.synth());
    if (!m_player)
        return;
    if (fluid_player_add_mem(m_player, piece.bytes.data(), piece.bytes.size()) != FLUID_OK ||
        fluid_player_play(m_player) != FLUID_OK) {
        delete_fluid_player(m_player);
        m_player = nullptr;
    }
}

PieceRun::~PieceRun()
{
    if (m_player) {
        fluid_player_stop(m_player);
        delete_fluid_player(m_player);
    }
}

bool PieceRun::finished() const
{
    if (!m_player || fluid_player_get_status(m_player) != FLUID_PLAYER_PLAYING)
        return true;
    return static_cast<std::uint32_t>(std::max(0, fluid_player_get_current_tick(m_player))) >= m_endTick;
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

    // A piece always reaches its last event; the cap only guards against a synth that stalls.
    const auto cap = static_cast<std::size_t>((piece.seconds * 2.0 + 10.0) * kSampleRate);
    {
        PieceRun run(synth, piece);
        while (!run.finished() && frames < cap) {
            synth.render(kBlock, left, right);
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
