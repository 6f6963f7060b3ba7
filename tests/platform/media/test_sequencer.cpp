// The sequencer that plays a checked piece: when each message goes to the synthesizer, how a
// burst is spread out, and where a piece ends.
#include "SmfWriter.h"
#include "SoundFontLocator.h"
#include "Synthesis.h"

#include <QtTest>

#include <cmath>
#include <vector>

namespace {

using midigen::RawEvent;
using Bytes = std::vector<std::uint8_t>;

RawEvent channel(std::uint32_t tick, std::initializer_list<std::uint8_t> bytes)
{
    return {tick, RawEvent::Control, bytes};
}

std::uint64_t frameAt(double seconds)
{
    return static_cast<std::uint64_t>(std::llround(seconds * media::kSampleRate));
}

}  // namespace

class SequencerTest : public QObject {
    Q_OBJECT

private slots:
    void cuesFollowOneTempoMapAcrossTracks()
    {
        // Track 0 holds the first tempo and a controller; the second tempo sits in track 1 and
        // must still rule track 0. 480 ticks a quarter: 0.5 s for the first quarter, 0.25 s after.
        const Bytes conductor = midigen::encodeTrack(
            {midigen::metaTempo(0, 500000), channel(960, {0xB1, 7, 90}), channel(1440, {0xB1, 10, 30})}, 1440);
        const Bytes notes = midigen::encodeTrack(
            {channel(0, {0xC0, 19}), midigen::noteOn(0, 0, 60, 100), midigen::metaTempo(480, 250000),
             channel(480, {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}), midigen::noteOn(960, 0, 64, 90),
             midigen::noteOff(1440, 0, 60), channel(1440, {0xE0, 0x00, 0x50})},
            1920);
        const auto piece = media::Piece::fromBytes(midigen::encodeFile(1, 480, {conductor, notes}));
        QVERIFY(piece);

        struct Expected {
            double seconds;
            std::uint8_t status;
            std::uint8_t data1;
        };
        const std::vector<Expected> expected{
            {0.0, 0xC0, 19},  {0.0, 0x90, 60},   {0.5, 0xF0, 0},      {0.75, 0xB1, 7},
            {0.75, 0x90, 64}, {1.0, 0xB1, 10},   {1.0, 0xE0, 0x00},   {1.0, 0x80, 60},
        };
        QCOMPARE(piece->cues.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const media::Cue& cue = piece->cues[i];
            QCOMPARE(cue.frame, frameAt(expected[i].seconds));
            QCOMPARE(int(cue.status), int(expected[i].status));
            if (cue.status != 0xF0)
                QCOMPARE(int(cue.data1), int(expected[i].data1));
        }
        // The system-exclusive message goes out without the F7 that closes it in the file.
        const media::Cue& sysex = piece->cues[2];
        const Bytes data(piece->sysex.begin() + sysex.sysexAt, piece->sysex.begin() + sysex.sysexAt + sysex.sysexLength);
        QCOMPARE(data, (Bytes{0x7E, 0x7F, 0x09, 0x01}));
        QCOMPARE(int(piece->cues[6].data2), 0x50);   // pitch bend keeps both data bytes

        QCOMPARE(piece->endTick, 1920u);
        QCOMPARE(piece->endFrame, frameAt(1.25));
        QVERIFY(std::abs(piece->seconds - 1.25) < 1e-9);
    }

    void extremeTemposStayFinite()
    {
        // A tempo of zero puts everything after it at the same instant; the slowest tempo with the
        // longest delta a file can hold gives a piece of centuries, still a whole number of frames.
        const Bytes instant = midigen::encodeTrack(
            {midigen::metaTempo(0, 0), midigen::noteOn(0, 0, 60, 100), midigen::noteOff(100000, 0, 60)}, 200000);
        const auto zero = media::Piece::fromBytes(midigen::encodeFile(0, 96, {instant}));
        QVERIFY(zero);
        QCOMPARE(zero->endFrame, std::uint64_t{0});
        QCOMPARE(zero->cues.back().frame, std::uint64_t{0});

        const std::uint32_t longest = 0x0FFFFFFF;
        const Bytes slow = midigen::encodeTrack({midigen::metaTempo(0, 0xFFFFFF), midigen::noteOn(longest, 0, 60, 100)}, longest);
        const auto ages = media::Piece::fromBytes(midigen::encodeFile(0, 1, {slow}));
        QVERIFY(ages);
        const double seconds = double(longest) * 0xFFFFFF / 1e6;
        QVERIFY(std::abs(ages->seconds - seconds) / seconds < 1e-12);
        QCOMPARE(ages->endFrame, frameAt(seconds));
        QCOMPARE(ages->cues.back().frame, ages->endFrame);

        // Playing the instant piece: every message at once, then it is over.
        media::Synth synth;
        media::PieceRun run(synth, *zero);
        std::vector<float> left(64);
        std::vector<float> right(64);
        run.render(64, left.data(), right.data());
        QVERIFY(run.finished());
    }

    void burstIsSpreadOverBlocksAndStillEnds()
    {
        // 1,000 messages at tick 0 in a piece that ends there: a cable's worth per block of 64
        // frames, so it is spread over ceil(1000 / budget) blocks, and none of them is skipped.
        std::vector<RawEvent> burst;
        for (int i = 0; i < 1000; ++i)
            burst.push_back(channel(0, {std::uint8_t(0xB0 | (i % 16)), 7, std::uint8_t(i % 128)}));
        const auto piece = media::Piece::fromBytes(midigen::encodeFile(0, 480, {midigen::encodeTrack(burst, 0)}));
        QVERIFY(piece);
        QCOMPARE(piece->cues.size(), std::size_t{1000});

        media::Synth synth;
        media::PieceRun run(synth, *piece);
        std::vector<float> left(64);
        std::vector<float> right(64);
        // The last batch goes out as the last of those blocks begins.
        const int blocks = (1000 + media::PieceRun::kCuesPerBlock - 1) / media::PieceRun::kCuesPerBlock;
        for (int block = 0; block < blocks - 1; ++block) {
            QVERIFY2(!run.finished(), qPrintable(QString("finished after %1 blocks").arg(block)));
            run.render(64, left.data(), right.data());
        }
        QVERIFY(run.finished());
        QCOMPARE(run.position(), std::uint64_t(64 * (blocks - 1)));
    }

    void noteSoundsAtItsFrameAndNotBefore()
    {
        const std::string soundFont = media::locateSoundFont();
        QVERIFY2(!soundFont.empty(), "no General MIDI SoundFont is installed (timgm6mb-soundfont)");
        media::Synth synth;
        QVERIFY(synth.loadSoundFont(soundFont));

        // Silence until 0.5 s, then a loud organ chord; rendered in odd-sized periods.
        const Bytes notes = midigen::encodeTrack({midigen::metaTempo(0, 500000), channel(0, {0xC0, 19}),
                                                  midigen::noteOn(480, 0, 60, 127), midigen::noteOn(480, 0, 67, 127),
                                                  midigen::noteOff(960, 0, 60), midigen::noteOff(960, 0, 67)},
                                                 960);
        const auto piece = media::Piece::fromBytes(midigen::encodeFile(0, 480, {notes}));
        QVERIFY(piece);
        media::PieceRun run(synth, *piece);
        constexpr int kPeriod = 1000;
        std::vector<float> left(kPeriod);
        std::vector<float> right(kPeriod);
        std::uint64_t firstSound = 0;
        bool sounded = false;
        while (!run.finished()) {
            const std::uint64_t start = run.position();
            run.render(kPeriod, left.data(), right.data());
            for (int i = 0; i < kPeriod && !sounded; ++i) {
                if (std::abs(left[i]) > 1e-4f || std::abs(right[i]) > 1e-4f) {
                    firstSound = start + std::uint64_t(i);
                    sounded = true;
                }
            }
        }
        QVERIFY(sounded);
        const std::uint64_t due = frameAt(0.5);
        qInfo("note due at frame %llu, first heard at %llu", static_cast<unsigned long long>(due),
              static_cast<unsigned long long>(firstSound));
        QVERIFY(firstSound >= due);
        QVERIFY(firstSound < due + 2 * 64 + 256);   // the synth's block, plus the organ's attack
        QCOMPARE(run.position(), std::uint64_t((frameAt(1.0) + kPeriod - 1) / kPeriod * kPeriod));
    }

    void stopsAndBurstsNeverLoseVoices()
    {
        // What the music and the fanfare do to the one synth when a player starts and stops games
        // quickly: pieces cut off while every voice is busy, and runs replaced before they rendered
        // anything. A voice whose end the synth misses is held for good; once all are, nothing sounds.
        const std::string soundFont = media::locateSoundFont();
        QVERIFY2(!soundFont.empty(), "no General MIDI SoundFont is installed (timgm6mb-soundfont)");
        media::Synth synth;
        QVERIFY(synth.loadSoundFont(soundFont));

        // A dense piece: every channel (the drums too) plays a chord of six notes every 20 ms for
        // two seconds, on instruments with layered and stereo samples, all held to the end.
        std::vector<RawEvent> dense{midigen::metaTempo(0, 500000)};   // 960 ticks a second
        const std::uint8_t programs[] = {0, 48, 52, 19, 61, 89, 24, 40, 56, 0, 73, 46, 16, 81, 95, 50};
        for (int ch = 0; ch < 16; ++ch)
            dense.push_back(channel(0, {std::uint8_t(0xC0 | ch), programs[ch]}));
        for (std::uint32_t tick = 0; tick < 1920; tick += 19)
            for (int ch = 0; ch < 16; ++ch)
                for (int n = 0; n < 6; ++n)
                    dense.push_back(midigen::noteOn(tick, ch, 36 + (int(tick) / 19 + ch * 5 + n * 7) % 60, 100));
        const auto densePiece = media::Piece::fromBytes(midigen::encodeFile(0, 480, {midigen::encodeTrack(dense, 1920)}));
        // A hostile one: 3,000 note-ons at the very first tick.
        std::vector<RawEvent> burst;
        for (int i = 0; i < 3000; ++i)
            burst.push_back(midigen::noteOn(0, i % 16, 24 + (i * 7) % 80, 127));
        const auto burstPiece = media::Piece::fromBytes(midigen::encodeFile(0, 480, {midigen::encodeTrack(burst, 960)}));
        QVERIFY(densePiece && burstPiece);

        constexpr int kPeriod = 512;
        std::vector<float> left(kPeriod);
        std::vector<float> right(kPeriod);
        std::uint32_t random = 12345;
        for (int cycle = 0; cycle < 300; ++cycle) {
            random = random * 1103515245u + 12345u;
            const media::Piece& piece = cycle % 5 == 4 ? *burstPiece : *densePiece;
            if (cycle % 3 == 0) {
                media::PieceRun replaced(synth, *densePiece);   // asked for, then replaced at once
                synth.silenceAll();
            }
            media::PieceRun run(synth, piece);
            const int periods = int(random >> 16) % 12;   // up to 140 ms, often none
            for (int p = 0; p < periods; ++p)
                run.render(kPeriod, left.data(), right.data());
            synth.silenceAll();
        }

        // Every voice ends once nothing plays, and the synth still has all of them for a new piece.
        for (int p = 0; p < 3 * media::kSampleRate / kPeriod; ++p)
            synth.render(kPeriod, left.data(), right.data());
        QCOMPARE(synth.activeVoices(), 0);
        const Bytes chord = midigen::encodeTrack({channel(0, {0xC0, 19}), midigen::noteOn(0, 0, 60, 127),
                                                  midigen::noteOn(0, 0, 64, 127), midigen::noteOn(0, 0, 67, 127)},
                                                 480);
        const auto chordPiece = media::Piece::fromBytes(midigen::encodeFile(0, 480, {chord}));
        QVERIFY(chordPiece);
        media::PieceRun run(synth, *chordPiece);
        float peak = 0.0f;
        for (int p = 0; p < 20; ++p) {
            run.render(kPeriod, left.data(), right.data());
            for (int i = 0; i < kPeriod; ++i)
                peak = std::max({peak, std::abs(left[i]), std::abs(right[i])});
        }
        QVERIFY2(peak > 0.01f, qPrintable(QStringLiteral("the chord peaked at %1").arg(peak)));
    }
};

QTEST_APPLESS_MAIN(SequencerTest)
#include "test_sequencer.moc"
