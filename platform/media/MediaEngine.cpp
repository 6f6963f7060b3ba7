// Sequencer devices, the request queue between the calling thread and the playback thread, and
// the playback thread itself (SoundFont loading, audio driver or silent real-time output).
#include "MediaEngine.h"

#include "SoundFontLocator.h"
#include "Synthesis.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace media {

namespace {

std::string keyOf(const std::string& alias)
{
    std::string key = alias;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return key;
}

float peakOf(int frames, const float* left, const float* right)
{
    float peak = 0.0f;
    for (int i = 0; i < frames; ++i)
        peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    return peak;
}

}  // namespace

struct MediaEngine::RenderState {
    Synth synth;
    std::unique_ptr<PieceRun> run;
    std::shared_ptr<const Piece> piece;
    std::string key;
    std::uint64_t generation = 0;
    MediaEngine* engine = nullptr;
};

MediaEngine& MediaEngine::instance()
{
    static MediaEngine engine;
    return engine;
}

MediaEngine::MediaEngine(EngineOptions options) : m_options(std::move(options)) {}

MediaEngine::~MediaEngine()
{
    stopThread(std::nullopt);
}

bool MediaEngine::open(const std::string& alias, const std::string& path)
{
    auto piece = Piece::load(path);   // file work before taking the lock
    if (!piece)
        return false;
    std::lock_guard lock(m_mutex);
    const auto [where, added] = m_devices.try_emplace(keyOf(alias));
    if (!added)
        return false;
    where->second.piece = std::make_shared<const Piece>(std::move(*piece));
    startThreadLocked();
    return true;
}

bool MediaEngine::play(const std::string& alias)
{
    std::lock_guard lock(m_mutex);
    const std::string key = keyOf(alias);
    const auto found = m_devices.find(key);
    if (found == m_devices.end())
        return false;
    for (auto& [other, device] : m_devices)
        device.playing = false;
    Device& device = found->second;
    device.playing = true;
    device.generation = m_nextGeneration++;
    m_requests.push_back({device.piece, key, device.generation});
    m_wake.notify_all();
    return true;
}

std::optional<bool> MediaEngine::isPlaying(const std::string& alias) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_devices.find(keyOf(alias));
    if (found == m_devices.end())
        return std::nullopt;
    return found->second.playing;
}

void MediaEngine::stopAll()
{
    std::lock_guard lock(m_mutex);
    for (auto& [key, device] : m_devices)
        device.playing = false;
    requestSilenceLocked();
}

void MediaEngine::closeAll()
{
    std::lock_guard lock(m_mutex);
    m_devices.clear();
    requestSilenceLocked();
}

void MediaEngine::requestSilenceLocked()
{
    if (!m_threadRunning)
        return;   // nothing has sounded, and nobody would take the request
    m_requests.push_back({});
    m_wake.notify_all();
}

void MediaEngine::reconfigure(EngineOptions options)
{
    stopThread(std::move(options));
}

bool MediaEngine::waitUntilReady(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_readyChanged.wait_for(lock, timeout, [this] { return m_ready; });
}

std::string MediaEngine::outputName() const
{
    std::lock_guard lock(m_mutex);
    return m_output;
}

std::string MediaEngine::soundFontPath() const
{
    std::lock_guard lock(m_mutex);
    return m_soundFont;
}

void MediaEngine::startThreadLocked()
{
    // While stopThread() joins, m_threadRunning stays true; it starts a new thread afterwards
    // for any device opened meanwhile.
    if (m_threadRunning)
        return;
    m_quit = false;
    m_thread = std::thread(&MediaEngine::playbackThread, this, m_options);
    m_threadRunning = true;
}

void MediaEngine::stopThread(std::optional<EngineOptions> next)
{
    std::lock_guard lifecycle(m_lifecycle);
    {
        std::lock_guard lock(m_mutex);
        m_devices.clear();
        m_requests.clear();
        m_quit = true;
        m_wake.notify_all();
    }
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard lock(m_mutex);
    m_threadRunning = false;
    m_quit = false;
    m_ready = false;
    m_output.clear();
    m_soundFont.clear();
    m_peak = 0.0f;
    if (next) {
        m_options = std::move(*next);
        if (!m_devices.empty())
            startThreadLocked();
    }
}

int MediaEngine::audioCallback(void* data, int frames, int, float*[], int nout, float* out[])
{
    auto* state = static_cast<RenderState*>(data);
    if (nout < 2)
        return FLUID_FAILED;
    state->engine->renderCycle(*state, frames, out[0], out[1]);
    return FLUID_OK;
}

void MediaEngine::renderCycle(RenderState& state, int frames, float* left, float* right)
{
    std::vector<Request> requests;
    {
        std::lock_guard lock(m_mutex);
        requests.swap(m_requests);
    }
    for (Request& request : requests) {
        state.run.reset();
        state.synth.silenceAll();
        state.piece = std::move(request.piece);
        state.key = std::move(request.key);
        state.generation = request.generation;
        if (state.piece)
            state.run = std::make_unique<PieceRun>(state.synth, *state.piece);
    }

    state.synth.render(frames, left, right);
    m_peak = peakOf(frames, left, right);

    if (state.run && state.run->finished()) {
        state.run.reset();
        state.piece.reset();
        state.synth.releaseAll();   // the last notes ring out naturally
        std::lock_guard lock(m_mutex);
        const auto found = m_devices.find(state.key);
        if (found != m_devices.end() && found->second.generation == state.generation)
            found->second.playing = false;
    }
}

void MediaEngine::silentOutput(RenderState& state)
{
    using Clock = std::chrono::steady_clock;
    constexpr int kBlock = 1024;   // about 23 ms: a piece ends within one block of its last event
    float left[kBlock];
    float right[kBlock];
    Clock::time_point start = Clock::now();
    std::uint64_t rendered = 0;
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            if (m_quit)
                return;
            // Idle only once nothing plays and the last voices have faded.
            if (!state.run && m_requests.empty() && state.synth.activeVoices() == 0) {
                m_peak = 0.0f;
                m_wake.wait(lock, [this] { return m_quit || !m_requests.empty(); });
                if (m_quit)
                    return;
                start = Clock::now();
                rendered = 0;
            }
        }
        renderCycle(state, kBlock, left, right);
        rendered += kBlock;
        std::this_thread::sleep_until(
            start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                        static_cast<double>(rendered) / kSampleRate)));
    }
}

void MediaEngine::playbackThread(EngineOptions options)
{
    RenderState state;
    state.engine = this;
    const std::string soundFont = options.soundFont ? *options.soundFont : locateSoundFont();
    const bool loaded = !soundFont.empty() && state.synth.loadSoundFont(soundFont);

    fluid_audio_driver_t* driver = nullptr;
    std::string output = "none";
    for (const std::string& name : options.drivers) {
        {
            std::lock_guard lock(m_mutex);
            if (m_quit)
                break;
        }
        fluid_settings_t* settings = state.synth.settings();
        if (!settings || fluid_settings_setstr(settings, "audio.driver", name.c_str()) != FLUID_OK)
            continue;
        // 4 periods of 512 frames: about 46 ms of latency, and a tenth of the wake-ups of
        // FluidSynth's default 64-frame periods.
        fluid_settings_setint(settings, "audio.period-size", 512);
        fluid_settings_setint(settings, "audio.periods", 4);
        driver = new_fluid_audio_driver2(state.synth.settings(), &MediaEngine::audioCallback, &state);
        if (driver) {
            output = name;
            break;
        }
    }
    {
        std::lock_guard lock(m_mutex);
        m_ready = true;
        m_output = output;
        m_soundFont = loaded ? soundFont : std::string();
    }
    m_readyChanged.notify_all();

    if (driver) {
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return m_quit; });
    } else {
        silentOutput(state);
    }

    // Teardown order matters: the driver's thread calls into the player and the synth.
    if (driver)
        delete_fluid_audio_driver(driver);
    state.run.reset();
    // state.synth goes last, with state.
}

}  // namespace media
