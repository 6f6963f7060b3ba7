// Reading a media command text into one of the five command forms the interface understands.
//
// Contract
//   parseCommand() accepts exactly these forms (words separated by blanks or tabs, any amount of
//   leading and trailing blanks, keywords in any letter case; a file name may be written in
//   double quotes, which allows blanks in it):
//     open <file> type sequencer alias <name>
//     play <name> from 0
//     status <name> mode
//     stop all
//     close all
//   The alias "all" is reserved for stop and close. Anything else, including extra words, yields
//   std::nullopt. Aliases are returned as written; MediaEngine compares them without regard to case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace media {

enum class CommandVerb { Open, Play, Status, StopAll, CloseAll };

struct Command {
    CommandVerb verb = CommandVerb::StopAll;
    std::string file;    // open only
    std::string alias;   // open, play and status
};

std::optional<Command> parseCommand(std::string_view text);

}  // namespace media
