// The sequencer devices behind the media commands, and the playback thread that sounds them.
//
// Contract
//   Devices: open() reads and checks the file at once (a missing, unreadable or malformed file is
//   refused and its alias stays unknown); aliases compare without regard to ASCII case; an alias
//   already open is refused. play() starts the device's piece from its beginning; since there is
//   one synthesizer, as with a MIDI port, a device that was playing stops when another starts.
//   isPlaying() is nullopt for an unknown alias, true from play() until the piece has passed its
//   last event or is stopped, false otherwise. stopAll() silences every device at once; closeAll()
//   also forgets them. Every call returns at once; all may come from any thread.
//   Playback thread: started by the first successful open(); it loads the SoundFont (so the
//   caller never waits for it), then sounds through the first audio driver in the options that
//   opens ("pulseaudio", then "alsa"), or, when none does, renders in real time into a discarded
//   buffer so that a piece lasts exactly as long as with sound. It never uses the player's loop
//   mode and ends each piece itself at its last event. Teardown (reconfigure() or the end of the
//   program) stops the driver first, then the player, then the synthesizer.
//   Test and benchmark hooks: reconfigure() closes every device, stops the playback thread and
//   sets the options the next start uses; waitUntilReady() waits until the SoundFont is loaded and
//   the output runs; outputName() names the output in use ("none" for the silent one);
//   recentPeak() is the largest sample of the last rendered block (0 when idle).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace media {

struct Piece;
class Synth;
class PieceRun;

struct EngineOptions {
    std::optional<std::string> soundFont;                       // unset: search; empty: none
    std::vector<std::string> drivers{"pulseaudio", "alsa"};     // tried in this order
};

class MediaEngine {
public:
    static MediaEngine& instance();

    explicit MediaEngine(EngineOptions options = {});
    ~MediaEngine();
    MediaEngine(const MediaEngine&) = delete;
    MediaEngine& operator=(const MediaEngine&) = delete;

    bool open(const std::string& alias, const std::string& path);
    bool play(const std::string& alias);
    std::optional<bool> isPlaying(const std::string& alias) const;
    void stopAll();
    void closeAll();

    void reconfigure(EngineOptions options);
    bool waitUntilReady(std::chrono::milliseconds timeout) const;
    std::string outputName() const;
    std::string soundFontPath() const;
    float recentPeak() const { return m_peak.load(); }

private:
    struct Device {
        std::shared_ptr<const Piece> piece;
        bool playing = false;
        std::uint64_t generation = 0;   // which play() the flag belongs to
    };
    struct Request {
        std::shared_ptr<const Piece> piece;   // null: stop
        std::string key;
        std::uint64_t generation = 0;
    };
    struct RenderState;   // what only the rendering thread touches

    static int audioCallback(void* data, int frames, int nfx, float* fx[], int nout, float* out[]);
    void startThreadLocked();
    void requestSilenceLocked();
    void stopThread(std::optional<EngineOptions> next);
    void playbackThread(EngineOptions options);
    void silentOutput(RenderState& state);
    void renderCycle(RenderState& state, int frames, float* left, float* right);

    mutable std::mutex m_mutex;   // guards the members down to m_options
    std::map<std::string, Device> m_devices;
    std::vector<Request> m_requests;
    std::uint64_t m_nextGeneration = 1;
    bool m_threadRunning = false;
    bool m_quit = false;
    bool m_ready = false;
    std::string m_output;
    std::string m_soundFont;
    EngineOptions m_options;
    std::condition_variable m_wake;            // requests or quit, for the playback thread
    mutable std::condition_variable m_readyChanged;

    std::mutex m_lifecycle;   // serializes starting and stopping the thread; taken before m_mutex
    std::thread m_thread;
    std::atomic<float> m_peak{0.0f};
};

}  // namespace media
