// The sequencer devices behind the media commands, and the playback thread that sounds them.
//
// Contract
//   Devices: open() reads and checks the file at once (a missing, unreadable or malformed file is
//   refused and its alias stays unknown); aliases compare without regard to ASCII case; an alias
//   already open is refused. play() starts the device's piece from its beginning; since there is
//   one synthesizer, as with a MIDI port, a device that was playing stops when another starts.
//   isPlaying() is nullopt for an unknown alias, true from play() until the piece has passed its
//   last event or is stopped (so also while the SoundFont is still loading), false otherwise.
//   stopAll() silences every device at once; closeAll() also forgets them. Every call returns at
//   once; all may come from any thread.
//   Playback thread: started by the first successful open(), it rests until a piece is asked
//   for. Nothing of the synthesizer exists before: at the first play() it opens the synthesizer
//   library and loads the SoundFont (the caller never waits for it; the piece starts when the
//   font is ready). Without the library, or with no SoundFont, pieces play silently, in real
//   time, and every command answers as with sound. Each time a piece
//   starts from rest it opens the first audio driver in the options that opens ("pulseaudio",
//   then "alsa"; "name:device" picks the driver's device), or, when none does, renders in real
//   time into a discarded buffer so that a piece lasts exactly as long as with sound. A driver
//   renders without pause, so it is closed again once nothing has played and no voice has
//   sounded for driverLinger of audio (long enough that the music's restart between two
//   play-throughs keeps it); the silent output rests as soon as the voices have faded. After
//   unloadAfter at rest the synthesizer and its SoundFont are freed too (zero: kept). Each piece
//   is sent to the synthesizer by this engine's own sequencer (PieceRun) and ends at its last
//   event. Teardown (closing a driver, reconfigure(), the end of the program) stops the driver
//   first, then the piece's run, then the synthesizer. The driver "timer" has no device: it asks for periods in real time,
//   as a sound card does, and discards them (for tests and benchmarks).
//   Test and benchmark hooks: reconfigure() closes every device, stops the playback thread and
//   sets the options the next start uses; waitUntilReady() waits until the SoundFont is loaded and
//   an output has started for a piece; outputName() names the output of the latest start ("none"
//   for the silent one, empty before any); soundFontPath() is the SoundFont loaded now (empty
//   when none is); driverOpen() says whether an audio driver exists now, driversOpened() how
//   many have been opened since the program began; recentPeak() is the largest sample of the
//   last rendered block (0 at rest).
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
    std::chrono::milliseconds driverLinger{3000};               // silence before a driver closes
    std::chrono::milliseconds unloadAfter{60000};               // rest before the font is freed
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
    bool driverOpen() const;
    std::uint64_t driversOpened() const;
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
    bool pieceAskedLocked();
    void stopThread(std::optional<EngineOptions> next);
    void playbackThread(EngineOptions options);
    void outputStarted(const std::string& name, bool driver);
    bool soundThroughDriver(RenderState& state, const EngineOptions& options);
    void silentOutput(RenderState& state);
    void driverCycle(RenderState& state, int frames, float* left, float* right);
    void renderCycle(RenderState& state, int frames, float* left, float* right);

    mutable std::mutex m_mutex;   // guards the members down to m_options
    std::map<std::string, Device> m_devices;
    std::vector<Request> m_requests;
    std::uint64_t m_nextGeneration = 1;
    bool m_threadRunning = false;
    bool m_quit = false;
    bool m_ready = false;
    bool m_driverOpen = false;
    bool m_driverResting = false;   // the driver's callback found a long silence
    std::uint64_t m_driversOpened = 0;
    std::string m_output;
    std::string m_soundFont;
    EngineOptions m_options;
    std::condition_variable m_wake;            // requests, quit or a resting driver, for the playback thread
    mutable std::condition_variable m_readyChanged;

    std::mutex m_lifecycle;   // serializes starting and stopping the thread; taken before m_mutex
    std::thread m_thread;
    std::atomic<float> m_peak{0.0f};
};

}  // namespace media
