// The two MIDI files the game ships: rendered through the game's own synthesis they are audible
// and of the right length, and their notes are the music they claim to be.
#include "SoundFontLocator.h"
#include "StandardMidiFile.h"
#include "Synthesis.h"

#include <QtTest>

#include <algorithm>
#include <set>

namespace {

const QString kMusicDir = QStringLiteral(TAVORIN_MUSIC_DIR);

std::optional<media::Piece> shipped(const QString& name)
{
    return media::Piece::load((kMusicDir + '/' + name).toStdString());
}

// Bach's triplet line, the eight-bar ritornello of BWV 147/10 in G (MIDI keys, eighths of 9/8;
// the first eighth of the first bar is a rest).
const std::vector<int> kRitornello = {
    /* bar 1 */ 67, 69, 71, 74, 72, 72, 76, 74,
    /* bar 2 */ 74, 79, 78, 79, 74, 71, 67, 69, 71,
    /* bar 3 */ 72, 74, 76, 74, 72, 71, 69, 71, 67,
    /* bar 4 */ 66, 67, 69, 62, 66, 69, 72, 71, 69,
    /* bar 5 */ 71, 67, 69, 71, 74, 72, 72, 76, 74,
    /* bar 6 */ 74, 79, 78, 79, 74, 71, 67, 69, 71,
    /* bar 7 */ 64, 74, 72, 71, 69, 67, 62, 67, 66,
    /* bar 8 */ 67, 71, 74, 79, 74, 71, 67, 71, 74,
};

// The chorale's first line, "Jesus bleibet meine Freude" (Schop's tune, Bach's rhythm).
const std::vector<int> kChoraleFirstLine = {71, 72, 74, 74, 72, 71, 69};

std::vector<media::MidiNote> notesOnChannel(const media::MidiFile& file, int channel)
{
    std::vector<media::MidiNote> result;
    for (const auto& note : file.notes())
        if (note.channel == channel)
            result.push_back(note);
    return result;
}

std::set<int> programsOf(const media::MidiFile& file)
{
    std::set<int> programs;
    for (const auto& track : file.tracks)
        for (const auto& event : track.events)
            if ((event.status & 0xF0) == 0xC0)
                programs.insert(event.data1);
    return programs;
}

}  // namespace

class ShippedMusicTest : public QObject {
    Q_OBJECT

private slots:
    void rendersAudiblyForItsLength_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("shortest");
        QTest::addColumn<double>("longest");
        QTest::newRow("fanfare") << QStringLiteral("fanfa4.mid") << 3.0 << 10.0;
        QTest::newRow("music") << QStringLiteral("juesmansdesiring.mid") << 90.0 << 180.0;
    }
    void rendersAudiblyForItsLength()
    {
        QFETCH(QString, file);
        QFETCH(double, shortest);
        QFETCH(double, longest);
        const auto piece = shipped(file);
        QVERIFY2(piece, qPrintable(file + " is missing or not a playable MIDI file"));
        const std::string soundFont = media::locateSoundFont();
        QVERIFY2(!soundFont.empty(), "no General MIDI SoundFont is installed (timgm6mb-soundfont)");

        const auto figures = media::renderOffline(*piece, soundFont, 1.0);
        QVERIFY(figures);
        qInfo("%s with %s: %.1f s, RMS %.1f dBFS, peak %.3f", qPrintable(file), soundFont.c_str(),
              figures->pieceSeconds, figures->rmsDbfs, figures->peak);
        QVERIFY2(figures->pieceSeconds > shortest && figures->pieceSeconds < longest,
                 qPrintable(QString::number(figures->pieceSeconds)));
        // The run ends the piece where the file says it ends.
        QVERIFY(std::abs(figures->pieceSeconds - piece->seconds) < 0.05);
        QVERIFY2(figures->rmsDbfs > -40.0, qPrintable(QString::number(figures->rmsDbfs)));
        QVERIFY2(figures->peak < 1.0, "the synthesis clips");
        // No silent stretch anywhere in the piece.
        for (std::size_t second = 0; second < figures->secondRmsDbfs.size(); ++second)
            QVERIFY2(figures->secondRmsDbfs[second] > -60.0,
                     qPrintable(QStringLiteral("second %1 is silent").arg(second)));
    }

    void endsOnAHeldTonicChord_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("tonic");   // pitch class
        QTest::addColumn<int>("third");
        QTest::newRow("fanfare, C major") << QStringLiteral("fanfa4.mid") << 0 << 4;
        QTest::newRow("music, G major") << QStringLiteral("juesmansdesiring.mid") << 7 << 11;
    }
    void endsOnAHeldTonicChord()
    {
        QFETCH(QString, file);
        QFETCH(int, tonic);
        QFETCH(int, third);
        const auto piece = shipped(file);
        QVERIFY(piece);
        const auto midi = media::parseStandardMidiFile(piece->bytes);
        QVERIFY(midi);

        std::vector<media::MidiNote> pitched;
        for (const auto& note : midi->notes()) {
            QVERIFY2(note.released, "a note is never released: the piece would not loop cleanly");
            QVERIFY(note.end <= midi->endTick());
            if (note.channel != 9)
                pitched.push_back(note);
        }
        QVERIFY(!pitched.empty());
        const auto last = std::max_element(pitched.begin(), pitched.end(), [](const auto& a, const auto& b) {
            return a.end < b.end;
        })->end;
        std::set<int> classes;
        const media::MidiNote* bass = nullptr;
        for (const auto& note : pitched) {
            if (note.start < last && note.end >= last) {
                classes.insert(note.key % 12);
                if (!bass || note.key < bass->key)
                    bass = &note;
            }
        }
        QCOMPARE(classes, (std::set<int>{tonic, third, (tonic + 7) % 12}));
        QCOMPARE(bass->key % 12, tonic);
        // Held: the chord stands on its root for at least a second.
        QVERIFY(midi->secondsAt(last) - midi->secondsAt(bass->start) >= 1.0);
    }

    void musicIsBachsChorale()
    {
        const auto piece = shipped(QStringLiteral("juesmansdesiring.mid"));
        QVERIFY(piece);
        const auto midi = media::parseStandardMidiFile(piece->bytes);
        QVERIFY(midi);
        const std::uint32_t eighth = std::uint32_t(midi->division) / 2;
        const std::uint32_t bar = eighth * 9;

        // The triplet line opens the piece, one note every eighth after a first eighth's rest.
        const auto harp = notesOnChannel(*midi, 0);
        QVERIFY(harp.size() >= kRitornello.size());
        for (std::size_t i = 0; i < kRitornello.size(); ++i) {
            QCOMPARE(harp[i].key, kRitornello[i]);
            QCOMPARE(harp[i].start, eighth * std::uint32_t(i + 1));
        }
        // The chorale enters with its first line over the ritornello's second round.
        const auto chorale = notesOnChannel(*midi, 1);
        QVERIFY(chorale.size() >= kChoraleFirstLine.size());
        QCOMPARE(chorale.front().start, 8 * bar);
        for (std::size_t i = 0; i < kChoraleFirstLine.size(); ++i)
            QCOMPARE(chorale[i].key, kChoraleFirstLine[i]);

        // The pace of the chorale: a bar of 9/8 (three dotted-quarter beats) in 2 to 2.5 seconds,
        // 72 to 90 beats a minute.
        const double firstBar = midi->secondsAt(bar);
        QVERIFY2(firstBar >= 2.0 && firstBar <= 2.5, qPrintable(QString::number(firstBar)));
    }

    void instrumentsFitEachPiece()
    {
        const auto music = media::parseStandardMidiFile(shipped(QStringLiteral("juesmansdesiring.mid"))->bytes);
        const auto fanfare = media::parseStandardMidiFile(shipped(QStringLiteral("fanfa4.mid"))->bytes);
        QVERIFY(music && fanfare);
        // General MIDI: 16-23 organs, 40-51 strings and ensembles (46 is the harp), 56-63 brass,
        // 47 timpani; channel 10 (index 9) carries the percussion.
        for (const int program : programsOf(*music))
            QVERIFY2((program >= 16 && program <= 23) || (program >= 40 && program <= 51),
                     qPrintable(QString::number(program)));
        QVERIFY(programsOf(*music).count(46));
        for (const int program : programsOf(*fanfare))
            QVERIFY2((program >= 56 && program <= 63) || program == 47, qPrintable(QString::number(program)));
        QVERIFY(!notesOnChannel(*fanfare, 9).empty());
        QVERIFY(notesOnChannel(*music, 9).empty());
    }
};

QTEST_APPLESS_MAIN(ShippedMusicTest)
#include "test_shipped_music.moc"
