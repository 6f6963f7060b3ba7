// The media command grammar: five fixed forms, nothing more.
#include "CommandParser.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace media {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Splits on blanks; a word that starts with '"' runs to the next '"'. nullopt for an unclosed
// quote or for text (such as a line break) that cannot be part of a command.
std::optional<std::vector<std::string>> words(std::string_view text)
{
    std::vector<std::string> result;
    std::size_t i = 0;
    while (i < text.size()) {
        if (isBlank(text[i])) {
            ++i;
            continue;
        }
        if (text[i] == '"') {
            const std::size_t close = text.find('"', i + 1);
            if (close == std::string_view::npos)
                return std::nullopt;
            result.emplace_back(text.substr(i + 1, close - i - 1));
            i = close + 1;
            if (i < text.size() && !isBlank(text[i]))
                return std::nullopt;
            continue;
        }
        const std::size_t start = i;
        while (i < text.size() && !isBlank(text[i])) {
            if (static_cast<unsigned char>(text[i]) < 0x20 || text[i] == '"')
                return std::nullopt;
            ++i;
        }
        result.emplace_back(text.substr(start, i - start));
    }
    return result;
}

bool is(const std::string& word, std::string_view keyword)
{
    return word.size() == keyword.size() &&
           std::equal(word.begin(), word.end(), keyword.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

bool usableAlias(const std::string& alias)
{
    return !alias.empty() && !is(alias, "all");
}

}  // namespace

std::optional<Command> parseCommand(std::string_view text)
{
    const auto parts = words(text);
    if (!parts || parts->empty())
        return std::nullopt;
    const std::vector<std::string>& w = *parts;

    if (w.size() == 6 && is(w[0], "open") && is(w[2], "type") && is(w[3], "sequencer") &&
        is(w[4], "alias") && !w[1].empty() && usableAlias(w[5]))
        return Command{CommandVerb::Open, w[1], w[5]};
    if (w.size() == 4 && is(w[0], "play") && is(w[2], "from") && w[3] == "0" && usableAlias(w[1]))
        return Command{CommandVerb::Play, {}, w[1]};
    if (w.size() == 3 && is(w[0], "status") && is(w[2], "mode") && usableAlias(w[1]))
        return Command{CommandVerb::Status, {}, w[1]};
    if (w.size() == 2 && is(w[0], "stop") && is(w[1], "all"))
        return Command{CommandVerb::StopAll, {}, {}};
    if (w.size() == 2 && is(w[0], "close") && is(w[1], "all"))
        return Command{CommandVerb::CloseAll, {}, {}};
    return std::nullopt;
}

}  // namespace media
