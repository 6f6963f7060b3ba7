// The note-source format: readable text that describes a multi-track piece, and its parser.
//
// Format
//   A source is read line by line; a '#' at the start of a line or after a blank starts a comment
//   that runs to the end of the line (a '#' inside a word is a sharp).
//
//   Header statements (before the first track):
//     title <text>            name of the piece, written as the sequence name
//     ppq <n>                 ticks per quarter note (default 480)
//     time <n>/<d>            time signature, used for bar checks and accents (default 4/4)
//     key <name>              key signature: C G D A E B F# C# F Bb Eb Ab Db Gb Cb, minor with
//                             a trailing m (Em, F#m, Dm ...); written as a key-signature event
//     tempo <bpm> [<unit>]    starting tempo: <bpm> units a minute, the unit a duration as below
//                             (default 4, a quarter): "tempo 80 4." is 80 dotted quarters a minute
//
//   Anywhere outside a track, a named passage of music (lines of music tokens) is kept for later:
//     define <name>
//       ...music...
//     end
//
//   A track begins with "track <name>"; its lines are settings or music. Settings:
//     channel <0-15>   program <0-127>   volume <0-127>   pan <0-127>   reverb <0-127>
//     chorus <0-127>   velocity <1-127>  gate <1-100>     accent <0-127>
//   gate is the percentage of each written duration that sounds; accent is added to the
//   velocity of every note that starts on a beat (a dotted quarter in 6/8, 9/8 and 12/8).
//   Every other line of a track is music, read token by token (tokens are separated by blanks):
//     <pitch>[/<dur>][~][*<n>]      a note. Pitch: letter a-g, accidentals # or b (repeatable),
//                                   octave -1 to 9; c4 is middle C (MIDI key 60). "bb3" is B-flat 3.
//     <<p> <p> ...>[/<dur>][~][*<n>] a chord, e.g. <g3 b3 d4>/2.
//     r[/<dur>][*<n>]               a rest
//     <dur>    1 2 4 8 16 32 64, each optionally followed by dots and then 't' (triplet, two
//              thirds); terms may be added with '+': "2.+4." is a full bar of 9/8. Left out, the
//              track's previous duration applies.
//     ~        ties the note (every note of the chord) into the next note or chord of the same
//              pitch, which then extends it instead of sounding again.
//     *<n>     plays the token n times.
//     |        bar check: an error unless the track stands exactly on a bar line.
//     v<n>     velocity for the following notes.
//     @<name>[+<n>|-<n>]   the named passage, transposed by n semitones.
//     tempo=<bpm>[/<unit>]  program=<n>  volume=<n>  pan=<n>  gate=<n>
//              changes at this point of the track (a tempo change goes to the whole piece).
//
//   Every track of a piece must have the same length; a tie that leads nowhere, a note out of
//   the MIDI range, two tracks on one channel and an unknown word are errors.
//
// Contract
//   parseNoteSource() returns the piece, or throws NoteSourceError naming the offending line.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace midigen {

struct TimedNote {
    std::uint32_t start = 0;
    std::uint32_t length = 0;   // written length in ticks, ties included
    int gatePercent = 100;      // share of the written length that sounds
    int key = 60;
    int velocity = 64;
};

struct ControlEvent {
    enum class Kind { Program, Controller };
    std::uint32_t tick = 0;
    Kind kind = Kind::Controller;
    int number = 0;   // controller number; unused for a program change
    int value = 0;
};

struct SongTrack {
    std::string name;
    int channel = 0;
    std::vector<TimedNote> notes;
    std::vector<ControlEvent> controls;
    std::uint32_t length = 0;   // ticks from the start to the end of the track's last token
};

struct TempoChange {
    std::uint32_t tick = 0;
    std::uint32_t microsPerQuarter = 500000;
};

struct Song {
    std::string title;
    int ppq = 480;
    int timeNumerator = 4;
    int timeDenominator = 4;
    bool hasKey = false;
    int keySharps = 0;      // negative for flats
    bool keyMinor = false;
    std::vector<TempoChange> tempos;   // sorted by tick
    std::vector<SongTrack> tracks;

    std::uint32_t length() const;      // the longest track's length
};

class NoteSourceError : public std::runtime_error {
public:
    NoteSourceError(int line, const std::string& message);
    int line() const noexcept { return m_line; }
    const std::string& message() const noexcept { return m_message; }

private:
    int m_line;
    std::string m_message;
};

Song parseNoteSource(std::string_view text);

}  // namespace midigen
