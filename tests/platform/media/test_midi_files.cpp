// MIDI files in and out: the strict reader that decides what a device accepts, and the note-source
// generator that writes the game's music.
#include "NoteSource.h"
#include "SmfWriter.h"
#include "StandardMidiFile.h"

#include <QtTest>

#include <algorithm>
#include <initializer_list>

Q_DECLARE_METATYPE(std::vector<std::uint8_t>)

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes header(int format, int tracks, int division)
{
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, std::uint8_t(format), 0, std::uint8_t(tracks),
            std::uint8_t(division >> 8), std::uint8_t(division & 0xFF)};
}

// A track chunk around raw event data (delta times included), with its true length.
Bytes track(std::initializer_list<std::uint8_t> data)
{
    Bytes chunk{'M', 'T', 'r', 'k', 0, 0, std::uint8_t(data.size() >> 8), std::uint8_t(data.size() & 0xFF)};
    for (const std::uint8_t byte : data)
        chunk.push_back(byte);
    return chunk;
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// One quarter-note middle C at 480 ticks per quarter, then End of Track.
const Bytes kNoteTrack = track({0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 64, 0x00, 0xFF, 0x2F, 0x00});

midigen::Song song(const std::string& source)
{
    return midigen::parseNoteSource(source);
}

}  // namespace

class MidiFilesTest : public QObject {
    Q_OBJECT

private slots:
    void readerAcceptsOnlyPlayableFiles_data()
    {
        QTest::addColumn<Bytes>("bytes");
        QTest::addColumn<bool>("accepted");
        const Bytes eot{0x00, 0xFF, 0x2F, 0x00};
        QTest::newRow("format 0, one track") << join({header(0, 1, 480), kNoteTrack}) << true;
        QTest::newRow("format 1, two tracks") << join({header(1, 2, 480), kNoteTrack, kNoteTrack}) << true;
        QTest::newRow("running status")
            << join({header(0, 1, 96), track({0x00, 0x90, 60, 100, 0x10, 64, 100, 0x10, 60, 0, 0x00, 64, 0})}) << true;
        QTest::newRow("system exclusive")
            << join({header(0, 1, 96), track({0x00, 0xF0, 0x03, 0x7E, 0x09, 0xF7, 0x00, 0xFF, 0x2F, 0x00})}) << true;
        QTest::newRow("unknown chunk skipped")
            << join({header(0, 1, 96), Bytes{'X', 'F', 'I', 'H', 0, 0, 0, 2, 1, 2}, kNoteTrack}) << true;
        QTest::newRow("no End of Track") << join({header(0, 1, 96), track({0x00, 0x90, 60, 100})}) << true;
        QTest::newRow("not MThd") << join({Bytes{'R', 'I', 'F', 'F'}, kNoteTrack}) << false;
        QTest::newRow("header too short")
            << Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 5, 0, 0, 0, 1, 0} << false;
        QTest::newRow("format 2") << join({header(2, 1, 480), kNoteTrack}) << false;
        QTest::newRow("format 0 with two tracks") << join({header(0, 2, 480), kNoteTrack, kNoteTrack}) << false;
        QTest::newRow("no tracks") << header(1, 0, 480) << false;
        QTest::newRow("SMPTE division") << join({header(0, 1, 0xE728), kNoteTrack}) << false;
        QTest::newRow("zero division") << join({header(0, 1, 0), kNoteTrack}) << false;
        QTest::newRow("track missing") << join({header(1, 2, 480), kNoteTrack}) << false;
        Bytes longChunk = kNoteTrack;
        longChunk[6] = 0x10;   // claims 4 KiB more than there is
        QTest::newRow("chunk longer than the file") << join({header(0, 1, 480), longChunk}) << false;
        QTest::newRow("delta time of five bytes")
            << join({header(0, 1, 96), track({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 100})}) << false;
        QTest::newRow("data without a status") << join({header(0, 1, 96), track({0x00, 60, 100})}) << false;
        QTest::newRow("meta event cancels running status")
            << join({header(0, 1, 96), track({0x00, 0x90, 60, 100, 0x00, 0xFF, 0x01, 0x00, 0x00, 60, 0})}) << false;
        QTest::newRow("real-time message in a track") << join({header(0, 1, 96), track({0x00, 0xF8})}) << false;
        QTest::newRow("status where data belongs") << join({header(0, 1, 96), track({0x00, 0x90, 60, 0x90})}) << false;
        QTest::newRow("truncated note") << join({header(0, 1, 96), track({0x00, 0x90, 60})}) << false;
        QTest::newRow("truncated meta") << join({header(0, 1, 96), track({0x00, 0xFF, 0x03, 0x10, 'a'})}) << false;
        QTest::newRow("empty") << Bytes{} << false;
    }
    void readerAcceptsOnlyPlayableFiles()
    {
        QFETCH(Bytes, bytes);
        QFETCH(bool, accepted);
        std::string reason;
        const auto file = media::parseStandardMidiFile(bytes, &reason);
        QVERIFY2(file.has_value() == accepted, reason.c_str());
        QCOMPARE(reason.empty(), accepted);
    }

    void pieceEndAndDuration_data()
    {
        QTest::addColumn<Bytes>("bytes");
        QTest::addColumn<int>("endTick");
        QTest::addColumn<double>("seconds");
        // Tempo meta: FF 51 03 and microseconds per quarter note.
        QTest::newRow("default tempo") << join({header(0, 1, 480), kNoteTrack}) << 480 << 0.5;
        QTest::newRow("rest before End of Track")
            << join({header(0, 1, 480), track({0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0, 0x87, 0x40, 0xFF, 0x2F, 0x00})})
            << 1440 << 1.5;
        QTest::newRow("tempo change halfway")
            << join({header(0, 1, 480), track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,     // 120 bpm
                                               0x83, 0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,  // 60 bpm at 480
                                               0x83, 0x60, 0xFF, 0x2F, 0x00})})
            << 960 << 1.5;
        QTest::newRow("tempo in the conductor track of format 1")
            << join({header(1, 2, 480), track({0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, 0x00, 0xFF, 0x2F, 0x00}), kNoteTrack})
            << 480 << 1.0;
        QTest::newRow("longest track decides")
            << join({header(1, 2, 480), kNoteTrack, track({0x8F, 0x00, 0xFF, 0x2F, 0x00})}) << 1920 << 2.0;
    }
    void pieceEndAndDuration()
    {
        QFETCH(Bytes, bytes);
        QFETCH(int, endTick);
        QFETCH(double, seconds);
        const auto file = media::parseStandardMidiFile(bytes);
        QVERIFY(file);
        QCOMPARE(int(file->endTick()), endTick);
        QCOMPARE(file->durationSeconds(), seconds);
    }

    void notesPairOnsWithOffs()
    {
        // Two overlapping C's (first on, first off), a note-on of velocity 0 as release, and an E
        // that is never released.
        const Bytes bytes = join({header(0, 1, 100), track({0x00, 0x90, 60, 90, 0x0A, 0x90, 60, 80, 0x0A, 0x80, 60, 0,
                                                            0x0A, 0x90, 60, 0, 0x00, 0x90, 64, 70, 0x14, 0xFF, 0x2F, 0x00})});
        const auto file = media::parseStandardMidiFile(bytes);
        QVERIFY(file);
        const auto notes = file->notes();
        QCOMPARE(notes.size(), std::size_t(3));
        QCOMPARE(notes[0].start, 0u);
        QCOMPARE(notes[0].end, 20u);
        QCOMPARE(notes[0].velocity, 90);
        QCOMPARE(notes[1].start, 10u);
        QCOMPARE(notes[1].end, 30u);
        QCOMPARE(notes[2].key, 64);
        QVERIFY(!notes[2].released);
        QCOMPARE(notes[2].end, 50u);
    }

    void durations_data()
    {
        QTest::addColumn<QString>("music");
        QTest::addColumn<QList<int>>("lengths");   // at 480 ticks per quarter
        QTest::newRow("quarter") << "c4/4" << QList<int>{480};
        QTest::newRow("whole and sixteenth") << "c4/1 d4/16" << QList<int>{1920, 120};
        QTest::newRow("dotted eighth") << "c4/8." << QList<int>{360};
        QTest::newRow("double dotted half") << "c4/2.." << QList<int>{1680};
        QTest::newRow("triplet eighths") << "c4/8t d4 e4" << QList<int>{160, 160, 160};
        QTest::newRow("sum, a bar of 9/8") << "c4/2.+4." << QList<int>{2160};
        QTest::newRow("duration carries on") << "c4/8 d4 e4/4 f4" << QList<int>{240, 240, 480, 480};
    }
    void durations()
    {
        QFETCH(QString, music);
        QFETCH(QList<int>, lengths);
        const auto piece = song("track A\n" + music.toStdString() + "\n");
        const auto& notes = piece.tracks.at(0).notes;
        QCOMPARE(int(notes.size()), int(lengths.size()));
        std::uint32_t start = 0;
        for (int i = 0; i < lengths.size(); ++i) {
            QCOMPARE(int(notes[std::size_t(i)].length), lengths[i]);
            QCOMPARE(notes[std::size_t(i)].start, start);
            start += notes[std::size_t(i)].length;
        }
    }

    void pitches_data()
    {
        QTest::addColumn<QString>("pitch");
        QTest::addColumn<int>("key");
        QTest::newRow("middle C") << "c4" << 60;
        QTest::newRow("sharp") << "f#4" << 66;
        QTest::newRow("B flat, not B") << "bb3" << 58;
        QTest::newRow("B") << "b3" << 59;
        QTest::newRow("double sharp") << "c##4" << 62;
        QTest::newRow("lowest") << "c-1" << 0;
        QTest::newRow("highest") << "g9" << 127;
    }
    void pitches()
    {
        QFETCH(QString, pitch);
        QFETCH(int, key);
        const auto piece = song("track A\n" + pitch.toStdString() + "/4   # a comment with c5 in it\n");
        QCOMPARE(piece.tracks.at(0).notes.size(), std::size_t(1));
        QCOMPARE(piece.tracks.at(0).notes[0].key, key);
    }

    void sourceErrorsNameTheirLine_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("line");
        QTest::newRow("bar check") << "time 3/4\ntrack A\nc4/4 d4 |\n" << 3;
        QTest::newRow("tracks of unequal length") << "track A\nc4/4\ntrack B\nc4/2\n" << 3;
        QTest::newRow("tie leading nowhere") << "track A\nc4/4~ d4\n" << 2;
        QTest::newRow("tied rest") << "track A\nr/4~\n" << 2;
        QTest::newRow("tie at the end") << "track A\nc4/4\nd4~\n" << 3;
        QTest::newRow("unknown word") << "track A\nfrob\n" << 2;
        QTest::newRow("pitch without octave") << "track A\nc/4\n" << 2;
        QTest::newRow("pitch above the MIDI range") << "track A\ng#9/4\n" << 2;
        QTest::newRow("transposed out of range") << "define hi\ng9/4\nend\ntrack A\n@hi+1\n" << 2;
        QTest::newRow("no duration yet") << "track A\nc4\n" << 2;
        QTest::newRow("finer than a tick") << "ppq 24\ntrack A\nc4/64t\n" << 3;
        QTest::newRow("channel used twice") << "track A\nchannel 3\nc4/4\ntrack B\nchannel 3\n" << 5;
        QTest::newRow("unknown passage") << "track A\n@nothing\n" << 2;
        QTest::newRow("passage using itself") << "define loop\n@loop\nend\ntrack A\n@loop\n" << 2;
        QTest::newRow("header inside a track") << "track A\nc4/4\ntempo 90\n" << 3;
        QTest::newRow("passage without end") << "define x\nc4/4\n" << 1;
        QTest::newRow("one pitch twice in a chord") << "track A\n<c4 c4>/4\n" << 2;
        QTest::newRow("no track") << "title Nothing\n" << 1;
    }
    void sourceErrorsNameTheirLine()
    {
        QFETCH(QString, source);
        QFETCH(int, line);
        try {
            song(source.toStdString());
            QFAIL("accepted");
        } catch (const midigen::NoteSourceError& error) {
            QCOMPARE(error.line(), line);
            QVERIFY(!error.message().empty());
        }
    }

    void tiesChordsRepeatsAndPassages()
    {
        const auto piece = song("define rise\n c4/8 d4\nend\n"
                                "track A\n"
                                "<c4 e4>/2~ <c4 e4>/2 | r/4 g4/8*2 @rise+2 r/4 |\n");
        const auto& notes = piece.tracks.at(0).notes;
        std::vector<std::pair<int, int>> got;   // (start, key) pairs of every note, with tied lengths
        for (const auto& note : notes)
            got.emplace_back(int(note.start), note.key);
        const std::vector<std::pair<int, int>> expected{{0, 60}, {0, 64}, {2400, 67}, {2640, 67}, {2880, 62}, {3120, 64}};
        QCOMPARE(got, expected);
        QCOMPARE(int(notes[0].length), 1920);   // the tie made one note of two halves
        QCOMPARE(int(notes[1].length), 1920);
        QCOMPARE(int(piece.tracks[0].length), 3840);
    }

    void accentsFallOnBeats()
    {
        // In 9/8 the beat is a dotted quarter: every third eighth is accented.
        const auto piece = song("time 9/8\ntrack A\nvelocity 60\naccent 20\nc4/8 d4 e4 f4 g4 a4 b4 c5 d5 |\n");
        QList<int> velocities;
        for (const auto& note : piece.tracks.at(0).notes)
            velocities << note.velocity;
        QCOMPARE(velocities, (QList<int>{80, 60, 60, 80, 60, 60, 80, 60, 60}));
    }

    void generatedFileReadsBack()
    {
        const auto piece = song("title Test\ntempo 120\ntime 2/4\n"
                                "track Lead\nchannel 4\nprogram 46\ngate 50\nc5/4 e5 | tempo=60 g5/2 |\n"
                                "track Low\nprogram 42\n<c3 g3>/2 | c3/2 |\n");
        const auto bytes = midigen::writeSong(piece);
        const auto file = media::parseStandardMidiFile(bytes);
        QVERIFY(file);
        QCOMPARE(file->format, 1);
        QCOMPARE(file->division, 480);
        QCOMPARE(file->tracks.size(), std::size_t(3));   // conductor + two
        QCOMPARE(int(file->endTick()), 1920);
        QCOMPARE(file->durationSeconds(), 0.5 + 0.5 + 2.0);   // one bar at 120, one at 60

        const auto notes = file->notes();
        QCOMPARE(notes.size(), std::size_t(6));
        for (const auto& note : notes) {
            QVERIFY(note.released);
            if (note.track == 1) {
                QCOMPARE(note.channel, 4);
                QCOMPARE(note.end - note.start, (note.key == 79 ? 960u : 480u) / 2);   // gate 50
            } else {
                QCOMPARE(note.channel, 0);   // the first channel no track claimed
            }
        }
        // Each track states its program before its first note.
        for (std::size_t t = 1; t < file->tracks.size(); ++t) {
            const auto& events = file->tracks[t].events;
            const auto program = std::find_if(events.begin(), events.end(), [](const media::MidiEvent& e) {
                return (e.status & 0xF0) == 0xC0;
            });
            QVERIFY(program != events.end());
            QCOMPARE(int(program->data1), t == 1 ? 46 : 42);
            QCOMPARE(program->tick, 0u);
        }
    }
};

QTEST_APPLESS_MAIN(MidiFilesTest)
#include "test_midi_files.moc"
