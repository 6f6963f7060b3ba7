// Sequencer devices, the request queue between the calling thread and the playback thread, and
// the playback thread itself (SoundFont loading at the first play, an audio driver opened for
// each stretch of sound or the silent real-time output).
#include "MediaEngine.h"

#include "FluidSynthLibrary.h"
#include "SoundFontLocator.h"
#include "Synthesis.h"

#include <malloc.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stop_token>

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

// 4 periods of 512 frames: about 46 ms of latency, and a tenth of the wake-ups of FluidSynth's
// default 64-frame periods.
constexpr int kPeriodFrames = 512;
constexpr int kPeriods = 4;

// An open audio output; its callbacks have ended once it is destroyed.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
};

class FluidDriver final : public AudioOutput {
public:
    FluidDriver(const FluidSynth& library, fluid_audio_driver_t* driver) : m_library(library), m_driver(driver) {}
    ~FluidDriver() override { m_library.delete_fluid_audio_driver(m_driver); }
    FluidDriver(const FluidDriver&) = delete;
    FluidDriver& operator=(const FluidDriver&) = delete;

private:
    const FluidSynth& m_library;
    fluid_audio_driver_t* m_driver;
};

// A sound card without sound: asks for a period every 512 frames of real time, whatever plays.
class TimerDriver final : public AudioOutput {
public:
    TimerDriver(fluid_audio_func_t callback, void* data)
        : m_thread([callback, data](std::stop_token stop) {
              using Clock = std::chrono::steady_clock;
              float left[kPeriodFrames];
              float right[kPeriodFrames];
              float* out[2] = {left, right};
              const Clock::time_point start = Clock::now();
              std::uint64_t periods = 0;
              while (!stop.stop_requested()) {
                  callback(data, kPeriodFrames, 0, nullptr, 2, out);
                  ++periods;
                  std::this_thread::sleep_until(
                      start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                                  double(periods * kPeriodFrames) / kSampleRate)));
              }
          })
    {
    }

private:
    std::jthread m_thread;   // asked to stop and joined first thing in destruction
};

// Opens the driver an entry names ("name" or "name:device") for the synth; null when it does not
// open (always so without the synthesizer library, but for "timer").
std::unique_ptr<AudioOutput> openOutput(const std::string& entry, const Synth& synth, fluid_audio_func_t callback,
                                        void* data)
{
    const std::size_t colon = entry.find(':');
    const std::string name = entry.substr(0, colon);
    if (name == "timer")
        return std::make_unique<TimerDriver>(callback, data);
    fluid_settings_t* settings = synth.settings();
    if (!settings)
        return nullptr;
    const FluidSynth& f = *synth.library();
    if (f.fluid_settings_setstr(settings, "audio.driver", name.c_str()) != FLUID_OK)
        return nullptr;
    const std::string device = "audio." + name + ".device";
    if (colon != std::string::npos) {
        if (f.fluid_settings_setstr(settings, device.c_str(), entry.substr(colon + 1).c_str()) != FLUID_OK)
            return nullptr;
    } else {
        char* standard = nullptr;   // an earlier entry may have chosen another device
        if (f.fluid_settings_getstr_default(settings, device.c_str(), &standard) == FLUID_OK && standard)
            f.fluid_settings_setstr(settings, device.c_str(), std::string(standard).c_str());
    }
    f.fluid_settings_setint(settings, "audio.period-size", kPeriodFrames);
    f.fluid_settings_setint(settings, "audio.periods", kPeriods);
    fluid_audio_driver_t* driver = f.new_fluid_audio_driver2(settings, callback, data);
    if (!driver)
        return nullptr;
    return std::make_unique<FluidDriver>(f, driver);
}

// Gives the pages of a freed SoundFont's small allocations back to the system.
void trimHeap()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

}  // namespace

struct MediaEngine::RenderState {
    Synth synth;
    std::shared_ptr<const Piece> piece;
    std::unique_ptr<PieceRun> run;   // declared after synth and piece: destroyed before them
    std::string key;
    std::uint64_t generation = 0;
    MediaEngine* engine = nullptr;
    std::uint64_t lingerFrames = 0;   // silence after which a driver is let go
    std::uint64_t silentFrames = 0;   // rendered since something last played or sounded
    bool retired = false;             // the driver is being let go: it gets silence only
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

bool MediaEngine::pieceAskedLocked()
{
    // Only the newest request counts; at rest a stop has nothing to stop.
    if (!m_requests.empty() && !m_requests.back().piece)
        m_requests.clear();
    return !m_requests.empty();
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

bool MediaEngine::driverOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_driverOpen;
}

std::uint64_t MediaEngine::driversOpened() const
{
    std::lock_guard lock(m_mutex);
    return m_driversOpened;
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
    m_driverResting = false;
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
    state->engine->driverCycle(*state, frames, out[0], out[1]);
    return FLUID_OK;
}

void MediaEngine::driverCycle(RenderState& state, int frames, float* left, float* right)
{
    if (state.retired) {
        std::fill(left, left + frames, 0.0f);
        std::fill(right, right + frames, 0.0f);
        return;
    }
    renderCycle(state, frames, left, right);
    if (state.run || state.synth.activeVoices() > 0) {
        state.silentFrames = 0;
        return;
    }
    state.silentFrames += static_cast<std::uint64_t>(frames);
    if (state.silentFrames < state.lingerFrames)
        return;
    std::lock_guard lock(m_mutex);
    if (!m_requests.empty())
        return;   // asked for since this period began: the next one takes it
    // From here on this callback leaves the state alone; requests wait for the next start.
    state.retired = true;
    m_driverResting = true;
    m_peak = 0.0f;
    m_wake.notify_all();
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

    if (state.run)
        state.run->render(frames, left, right);
    else
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
    outputStarted("none", false);
    const Clock::time_point start = Clock::now();
    std::uint64_t rendered = 0;
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (m_quit)
                return;
            // Rest once nothing plays and the last voices have faded.
            if (!state.run && m_requests.empty() && state.synth.activeVoices() == 0) {
                m_peak = 0.0f;
                return;
            }
        }
        renderCycle(state, kBlock, left, right);
        rendered += kBlock;
        std::this_thread::sleep_until(
            start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                        static_cast<double>(rendered) / kSampleRate)));
    }
}

void MediaEngine::outputStarted(const std::string& name, bool driver)
{
    {
        std::lock_guard lock(m_mutex);
        m_output = name;
        m_ready = true;
        if (driver) {
            m_driverOpen = true;
            ++m_driversOpened;
        }
    }
    m_readyChanged.notify_all();
}

bool MediaEngine::soundThroughDriver(RenderState& state, const EngineOptions& options)
{
    state.lingerFrames = static_cast<std::uint64_t>(std::max<std::int64_t>(0, options.driverLinger.count())) *
                         kSampleRate / 1000;
    state.silentFrames = 0;
    state.retired = false;
    {
        std::lock_guard lock(m_mutex);
        m_driverResting = false;
    }
    std::unique_ptr<AudioOutput> driver;
    std::string name;
    for (const std::string& entry : options.drivers) {
        driver = openOutput(entry, state.synth, &MediaEngine::audioCallback, &state);
        if (driver) {
            name = entry;
            break;
        }
    }
    if (!driver)
        return false;
    outputStarted(name, true);
    {
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return m_quit || m_driverResting; });
    }
    // The driver goes first: its thread calls into the piece run and the synth. Once it is
    // deleted, only this thread touches the state.
    driver.reset();
    state.retired = false;
    state.silentFrames = 0;
    std::lock_guard lock(m_mutex);
    m_driverOpen = false;
    m_driverResting = false;
    m_peak = 0.0f;
    return true;
}

void MediaEngine::playbackThread(EngineOptions options)
{
    std::unique_ptr<RenderState> state;   // the synthesizer and its SoundFont, from the first play
    for (;;) {
        {
            // At rest: no output runs, nothing plays and no voice sounds.
            std::unique_lock lock(m_mutex);
            const auto asked = [this] { return m_quit || pieceAskedLocked(); };
            if (!state || options.unloadAfter <= std::chrono::milliseconds::zero()) {
                m_wake.wait(lock, asked);
            } else if (!m_wake.wait_for(lock, options.unloadAfter, asked)) {
                lock.unlock();
                state.reset();
                trimHeap();
                lock.lock();
                m_soundFont.clear();
                m_ready = false;
                continue;
            }
            if (m_quit)
                break;
        }
        if (!state) {
            state = std::make_unique<RenderState>();
            state->engine = this;
            const std::string soundFont = options.soundFont ? *options.soundFont : locateSoundFont();
            const bool loaded = !soundFont.empty() && state->synth.loadSoundFont(soundFont);
            std::lock_guard lock(m_mutex);
            m_soundFont = loaded ? soundFont : std::string();
            continue;   // look again: the piece may have been stopped, or the program ended, meanwhile
        }
        if (!soundThroughDriver(*state, options))
            silentOutput(*state);
    }
    // No driver is left by now; the state goes with its run before its synth.
}

}  // namespace media
