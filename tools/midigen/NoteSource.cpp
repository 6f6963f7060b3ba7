// Parser of the note-source format described in NoteSource.h.
#include "NoteSource.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <optional>
#include <set>

namespace midigen {

namespace {

constexpr int kMaxMacroDepth = 32;

struct Token {
    std::string text;
    int line = 0;
};

// Splits one line (comment already removed) into tokens; "<...>" chords stay one token together
// with whatever suffix follows the closing bracket.
std::vector<std::string> splitTokens(std::string_view line, int lineNumber)
{
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        std::string token;
        if (line[i] == '<') {
            const std::size_t close = line.find('>', i);
            if (close == std::string_view::npos)
                throw NoteSourceError(lineNumber, "chord without a closing '>'");
            token.assign(line.substr(i, close - i + 1));
            i = close + 1;
        }
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
            token.push_back(line[i++]);
        tokens.push_back(std::move(token));
    }
    return tokens;
}

std::optional<int> parseInt(std::string_view text)
{
    int value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (!text.empty() && *first == '+')
        ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last)
        return std::nullopt;
    return value;
}

int requireInt(std::string_view text, int low, int high, int line, std::string_view what)
{
    const auto value = parseInt(text);
    if (!value || *value < low || *value > high)
        throw NoteSourceError(line, std::string(what) + " must be a whole number from " +
                                        std::to_string(low) + " to " + std::to_string(high) +
                                        ", not '" + std::string(text) + "'");
    return *value;
}

// "c4", "f#5", "bb3", "c-1" -> MIDI key.
int parsePitch(std::string_view text, int line)
{
    static constexpr int kLetterSemitones[] = {9, 11, 0, 2, 4, 5, 7};   // a b c d e f g
    if (text.empty() || text[0] < 'a' || text[0] > 'g')
        throw NoteSourceError(line, "'" + std::string(text) + "' is not a pitch");
    int semitone = kLetterSemitones[text[0] - 'a'];
    std::size_t i = 1;
    while (i < text.size() && (text[i] == '#' || text[i] == 'b')) {
        semitone += text[i] == '#' ? 1 : -1;
        ++i;
    }
    const auto octave = parseInt(text.substr(i));
    if (!octave || *octave < -1 || *octave > 9)
        throw NoteSourceError(line, "'" + std::string(text) + "' lacks an octave from -1 to 9");
    const int key = (*octave + 1) * 12 + semitone;
    if (key < 0 || key > 127)
        throw NoteSourceError(line, "'" + std::string(text) + "' is outside the MIDI range");
    return key;
}

std::uint32_t parseDuration(std::string_view text, int ppq, int line)
{
    const auto fail = [&] { return NoteSourceError(line, "'" + std::string(text) + "' is not a duration of whole ticks"); };
    std::uint32_t total = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('+', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view term = text.substr(start, end - start);
        start = end + 1;
        bool triplet = false;
        if (!term.empty() && term.back() == 't') {
            triplet = true;
            term.remove_suffix(1);
        }
        int dots = 0;
        while (!term.empty() && term.back() == '.') {
            ++dots;
            term.remove_suffix(1);
        }
        const auto divisor = parseInt(term);
        if (!divisor || *divisor <= 0 || *divisor > 64 || (*divisor & (*divisor - 1)) != 0)
            throw fail();
        const std::uint32_t whole = static_cast<std::uint32_t>(ppq) * 4;
        if (whole % static_cast<std::uint32_t>(*divisor) != 0)
            throw fail();
        std::uint32_t part = whole / static_cast<std::uint32_t>(*divisor);
        std::uint32_t value = part;
        for (int d = 0; d < dots; ++d) {
            if (part % 2 != 0)
                throw fail();
            part /= 2;
            value += part;
        }
        if (triplet) {
            if (value * 2 % 3 != 0)
                throw fail();
            value = value * 2 / 3;
        }
        total += value;
    }
    return total;
}

// Key signature name -> sharps (negative: flats) and mode.
std::optional<std::pair<int, bool>> parseKey(std::string_view name)
{
    static const std::map<std::string, int> kMajor = {
        {"Cb", -7}, {"Gb", -6}, {"Db", -5}, {"Ab", -4}, {"Eb", -3}, {"Bb", -2}, {"F", -1}, {"C", 0},
        {"G", 1},   {"D", 2},   {"A", 3},   {"E", 4},   {"B", 5},   {"F#", 6},  {"C#", 7}};
    static const std::map<std::string, int> kMinor = {
        {"Ab", -7}, {"Eb", -6}, {"Bb", -5}, {"F", -4}, {"C", -3}, {"G", -2}, {"D", -1}, {"A", 0},
        {"E", 1},   {"B", 2},   {"F#", 3},  {"C#", 4}, {"G#", 5}, {"D#", 6}, {"A#", 7}};
    std::string text(name);
    const bool minor = text.size() > 1 && text.back() == 'm';
    if (minor)
        text.pop_back();
    const auto& table = minor ? kMinor : kMajor;
    const auto found = table.find(text);
    if (found == table.end())
        return std::nullopt;
    return std::make_pair(found->second, minor);
}

struct TrackState {
    std::uint32_t tick = 0;
    std::uint32_t duration = 0;   // the sticky duration; 0 until the first one is written
    int velocity = 80;
    int gate = 100;
    int accent = 0;
    std::map<int, std::size_t> pendingTies;   // key -> index into notes
    int lastLine = 0;
};

class Parser {
public:
    Song run(std::string_view text);

private:
    void headerStatement(const std::vector<std::string>& words, int line);
    bool trackSetting(const std::vector<std::string>& words, int line);
    void music(const Token& token, int transpose, int depth);
    void noteOrRest(const Token& token, int transpose);
    void inlineSetting(const Token& token);
    std::uint32_t tempoFrom(std::string_view bpmText, std::string_view unitText, int line) const;
    std::uint32_t barTicks() const;
    std::uint32_t beatTicks() const;
    void finishTrack();

    Song m_song;
    SongTrack* m_track = nullptr;
    TrackState m_state;
    std::map<std::string, std::vector<Token>> m_defines;
    std::set<int> m_channels;
    std::vector<int> m_trackLines;   // where each track begins
    int m_lastContentLine = 1;
    bool m_tempoGiven = false;
};

std::uint32_t Parser::barTicks() const
{
    return static_cast<std::uint32_t>(m_song.ppq * 4 / m_song.timeDenominator * m_song.timeNumerator);
}

std::uint32_t Parser::beatTicks() const
{
    const auto unit = static_cast<std::uint32_t>(m_song.ppq * 4 / m_song.timeDenominator);
    const bool compound = m_song.timeDenominator >= 8 && m_song.timeNumerator % 3 == 0 &&
                          m_song.timeNumerator > 3;
    return compound ? unit * 3 : unit;
}

std::uint32_t Parser::tempoFrom(std::string_view bpmText, std::string_view unitText, int line) const
{
    const int bpm = requireInt(bpmText, 1, 1000, line, "tempo");
    const std::uint32_t unit = unitText.empty() ? static_cast<std::uint32_t>(m_song.ppq)
                                                : parseDuration(unitText, m_song.ppq, line);
    // Microseconds per quarter = one minute / (units a minute * quarters per unit).
    const double quartersPerMinute = bpm * static_cast<double>(unit) / m_song.ppq;
    return static_cast<std::uint32_t>(60'000'000.0 / quartersPerMinute + 0.5);
}

void Parser::headerStatement(const std::vector<std::string>& words, int line)
{
    const std::string& word = words[0];
    if (m_track)
        throw NoteSourceError(line, "'" + word + "' belongs before the first track");
    if (word == "title") {
        std::string title;
        for (std::size_t i = 1; i < words.size(); ++i)
            title += (i > 1 ? " " : "") + words[i];
        m_song.title = title;
    } else if (word == "ppq" && words.size() == 2) {
        m_song.ppq = requireInt(words[1], 24, 15360, line, "ppq");
    } else if (word == "time" && words.size() == 2) {
        const auto slash = words[1].find('/');
        if (slash == std::string::npos)
            throw NoteSourceError(line, "time signature must read <n>/<d>");
        m_song.timeNumerator = requireInt(std::string_view(words[1]).substr(0, slash), 1, 32, line,
                                          "beats of the time signature");
        m_song.timeDenominator = requireInt(std::string_view(words[1]).substr(slash + 1), 1, 32,
                                            line, "beat unit of the time signature");
        if ((m_song.timeDenominator & (m_song.timeDenominator - 1)) != 0)
            throw NoteSourceError(line, "the beat unit of a time signature is a power of two");
    } else if (word == "key" && words.size() == 2) {
        const auto key = parseKey(words[1]);
        if (!key)
            throw NoteSourceError(line, "unknown key '" + words[1] + "'");
        m_song.hasKey = true;
        m_song.keySharps = key->first;
        m_song.keyMinor = key->second;
    } else if (word == "tempo" && (words.size() == 2 || words.size() == 3)) {
        m_song.tempos.assign(1, TempoChange{0, tempoFrom(words[1], words.size() == 3 ? words[2] : "", line)});
        m_tempoGiven = true;
    } else {
        throw NoteSourceError(line, "cannot read '" + word + "' here");
    }
}

bool Parser::trackSetting(const std::vector<std::string>& words, int line)
{
    static const std::map<std::string, int> kControllers = {
        {"volume", 7}, {"pan", 10}, {"reverb", 91}, {"chorus", 93}};
    const std::string& word = words[0];
    const bool known = word == "channel" || word == "program" || word == "velocity" ||
                       word == "gate" || word == "accent" || kControllers.count(word) != 0;
    if (!known)
        return false;
    if (words.size() != 2)
        throw NoteSourceError(line, "'" + word + "' takes one number");
    if (word == "channel") {
        const int channel = requireInt(words[1], 0, 15, line, "channel");
        if (!m_channels.insert(channel).second)
            throw NoteSourceError(line, "channel " + words[1] + " is used by another track");
        m_track->channel = channel;
    } else if (word == "program") {
        m_track->controls.push_back({0, ControlEvent::Kind::Program, 0,
                                     requireInt(words[1], 0, 127, line, "program")});
    } else if (word == "velocity") {
        m_state.velocity = requireInt(words[1], 1, 127, line, "velocity");
    } else if (word == "gate") {
        m_state.gate = requireInt(words[1], 1, 100, line, "gate");
    } else if (word == "accent") {
        m_state.accent = requireInt(words[1], 0, 127, line, "accent");
    } else {
        m_track->controls.push_back({0, ControlEvent::Kind::Controller, kControllers.at(word),
                                     requireInt(words[1], 0, 127, line, word)});
    }
    return true;
}

void Parser::inlineSetting(const Token& token)
{
    const auto equals = token.text.find('=');
    const std::string name = token.text.substr(0, equals);
    const std::string value = token.text.substr(equals + 1);
    if (name == "tempo") {
        const auto slash = value.find('/');
        const std::string bpm = value.substr(0, slash);
        const std::string unit = slash == std::string::npos ? "" : value.substr(slash + 1);
        const TempoChange change{m_state.tick, tempoFrom(bpm, unit, token.line)};
        auto& tempos = m_song.tempos;
        const auto at = std::find_if(tempos.begin(), tempos.end(),
                                     [&](const TempoChange& t) { return t.tick >= change.tick; });
        if (at != tempos.end() && at->tick == change.tick)
            *at = change;
        else
            tempos.insert(at, change);
    } else if (name == "program") {
        m_track->controls.push_back({m_state.tick, ControlEvent::Kind::Program, 0,
                                     requireInt(value, 0, 127, token.line, "program")});
    } else if (name == "volume" || name == "pan") {
        m_track->controls.push_back({m_state.tick, ControlEvent::Kind::Controller,
                                     name == "volume" ? 7 : 10,
                                     requireInt(value, 0, 127, token.line, name)});
    } else if (name == "gate") {
        m_state.gate = requireInt(value, 1, 100, token.line, "gate");
    } else {
        throw NoteSourceError(token.line, "unknown setting '" + name + "'");
    }
}

void Parser::noteOrRest(const Token& token, int transpose)
{
    const std::string& text = token.text;
    // Split the token into its head (pitches or 'r') and its suffix.
    std::string head;
    std::size_t i = 0;
    if (text[0] == '<') {
        i = text.find('>') + 1;
        head = text.substr(1, i - 2);
    } else {
        while (i < text.size() && text[i] != '/' && text[i] != '~' && text[i] != '*')
            ++i;
        head = text.substr(0, i);
    }
    std::string_view suffix = std::string_view(text).substr(i);
    int repeat = 1;
    if (const auto star = suffix.find('*'); star != std::string_view::npos) {
        repeat = requireInt(suffix.substr(star + 1), 1, 1000, token.line, "repeat count");
        suffix = suffix.substr(0, star);
    }
    bool tie = false;
    if (!suffix.empty() && suffix.back() == '~') {
        tie = true;
        suffix.remove_suffix(1);
    }
    if (!suffix.empty()) {
        if (suffix[0] != '/')
            throw NoteSourceError(token.line, "cannot read '" + text + "'");
        m_state.duration = parseDuration(suffix.substr(1), m_song.ppq, token.line);
    }
    if (m_state.duration == 0)
        throw NoteSourceError(token.line, "'" + text + "' needs a duration: none was given yet");

    std::vector<int> keys;
    const bool rest = head == "r";
    if (!rest) {
        for (const std::string& word : splitTokens(head, token.line)) {
            const int key = parsePitch(word, token.line) + transpose;
            if (key < 0 || key > 127)
                throw NoteSourceError(token.line, "'" + word + "' transposed leaves the MIDI range");
            if (std::find(keys.begin(), keys.end(), key) != keys.end())
                throw NoteSourceError(token.line, "'" + text + "' names one pitch twice");
            keys.push_back(key);
        }
        if (keys.empty())
            throw NoteSourceError(token.line, "empty chord");
    } else if (tie) {
        throw NoteSourceError(token.line, "a rest cannot be tied");
    }

    for (int r = 0; r < repeat; ++r) {
        std::map<int, std::size_t> nextTies;
        for (const int key : keys) {
            const auto pending = m_state.pendingTies.find(key);
            std::size_t index;
            if (pending != m_state.pendingTies.end()) {
                index = pending->second;
                m_track->notes[index].length += m_state.duration;
                m_state.pendingTies.erase(pending);
            } else {
                int velocity = m_state.velocity;
                if (m_state.tick % beatTicks() == 0)
                    velocity = std::min(127, velocity + m_state.accent);
                m_track->notes.push_back(
                    {m_state.tick, m_state.duration, m_state.gate, key, velocity});
                index = m_track->notes.size() - 1;
            }
            if (tie)
                nextTies[key] = index;
        }
        if (!m_state.pendingTies.empty())
            throw NoteSourceError(token.line, "a tie before '" + text + "' leads to no note of its pitch");
        m_state.pendingTies = std::move(nextTies);
        m_state.tick += m_state.duration;
    }
    m_state.lastLine = token.line;
}

void Parser::music(const Token& token, int transpose, int depth)
{
    const std::string& text = token.text;
    if (text == "|") {
        const std::uint32_t into = m_state.tick % barTicks();
        if (into != 0)
            throw NoteSourceError(token.line, "bar check failed: " + std::to_string(into) +
                                                  " ticks past the bar line");
    } else if (text[0] == '@') {
        if (depth >= kMaxMacroDepth)
            throw NoteSourceError(token.line, "passages nest too deeply (a passage uses itself?)");
        std::size_t signAt = text.find_first_of("+-", 1);
        const std::string name = text.substr(1, signAt == std::string::npos ? std::string::npos : signAt - 1);
        int shift = 0;
        if (signAt != std::string::npos)
            shift = requireInt(std::string_view(text).substr(signAt), -48, 48, token.line, "transposition");
        const auto found = m_defines.find(name);
        if (found == m_defines.end())
            throw NoteSourceError(token.line, "no passage is named '" + name + "'");
        for (const Token& inner : found->second)
            music(inner, transpose + shift, depth + 1);
    } else if (text[0] == 'v' && text.size() > 1 && std::isdigit(static_cast<unsigned char>(text[1]))) {
        m_state.velocity = requireInt(std::string_view(text).substr(1), 1, 127, token.line, "velocity");
    } else if (text.find('=') != std::string::npos) {
        inlineSetting(token);
    } else {
        noteOrRest(token, transpose);
    }
}

void Parser::finishTrack()
{
    if (!m_track)
        return;
    if (!m_state.pendingTies.empty())
        throw NoteSourceError(m_state.lastLine, "track '" + m_track->name + "' ends inside a tie");
    m_track->length = m_state.tick;
}

Song Parser::run(std::string_view text)
{
    std::vector<Token>* defining = nullptr;
    int defineLine = 0;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        for (std::size_t hash = line.find('#'); hash != std::string_view::npos;
             hash = line.find('#', hash + 1)) {
            if (hash == 0 || std::isspace(static_cast<unsigned char>(line[hash - 1]))) {
                line = line.substr(0, hash);
                break;
            }
        }
        const std::vector<std::string> words = splitTokens(line, lineNumber);
        if (words.empty())
            continue;
        m_lastContentLine = lineNumber;
        const std::string& first = words[0];

        if (defining) {
            if (first == "end" && words.size() == 1) {
                defining = nullptr;
                continue;
            }
            for (const std::string& word : words)
                defining->push_back({word, lineNumber});
            continue;
        }
        if (first == "define") {
            if (words.size() != 2)
                throw NoteSourceError(lineNumber, "define takes one name");
            if (m_defines.count(words[1]) != 0)
                throw NoteSourceError(lineNumber, "passage '" + words[1] + "' is defined twice");
            defining = &m_defines[words[1]];
            defineLine = lineNumber;
            continue;
        }
        if (first == "track") {
            finishTrack();
            m_song.tracks.push_back({});
            m_track = &m_song.tracks.back();
            m_track->name = words.size() > 1 ? words[1] : "";
            m_track->channel = -1;
            m_trackLines.push_back(lineNumber);
            m_state = TrackState{};
            continue;
        }
        static const std::set<std::string> kHeaderWords = {"title", "ppq", "time", "key", "tempo"};
        if (!m_track || kHeaderWords.count(first) != 0) {
            headerStatement(words, lineNumber);
            continue;
        }
        if (trackSetting(words, lineNumber))
            continue;
        for (const std::string& word : words)
            music({word, lineNumber}, 0, 0);
    }
    if (defining)
        throw NoteSourceError(defineLine, "passage has no 'end'");
    finishTrack();

    if (m_song.tracks.empty())
        throw NoteSourceError(m_lastContentLine, "the source has no track");
    for (std::size_t t = 0; t < m_song.tracks.size(); ++t) {
        SongTrack& track = m_song.tracks[t];
        if (track.channel < 0) {
            int free = 0;
            while (m_channels.count(free) != 0)
                ++free;
            if (free > 15)
                throw NoteSourceError(m_trackLines[t], "more tracks than MIDI channels");
            track.channel = free;
            m_channels.insert(free);
        }
        if (track.length != m_song.tracks.front().length)
            throw NoteSourceError(m_trackLines[t], "track '" + track.name + "' lasts " +
                                                  std::to_string(track.length) + " ticks but '" +
                                                  m_song.tracks.front().name + "' lasts " +
                                                  std::to_string(m_song.tracks.front().length));
    }
    if (!m_tempoGiven)
        m_song.tempos.insert(m_song.tempos.begin(), TempoChange{0, 500000});
    else if (m_song.tempos.front().tick != 0)
        m_song.tempos.insert(m_song.tempos.begin(), TempoChange{0, 500000});
    return m_song;
}

}  // namespace

NoteSourceError::NoteSourceError(int line, const std::string& message)
    : std::runtime_error("line " + std::to_string(line) + ": " + message), m_line(line), m_message(message)
{
}

std::uint32_t Song::length() const
{
    std::uint32_t longest = 0;
    for (const SongTrack& track : tracks)
        longest = std::max(longest, track.length);
    return longest;
}

Song parseNoteSource(std::string_view text)
{
    Parser parser;
    return parser.run(text);
}

}  // namespace midigen
