// mciSendStringA: reads the command text, carries it out on the sequencer devices, writes the reply.
#include "MediaCommand.h"

#include "CommandParser.h"
#include "MediaEngine.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr int kDone = 0;
constexpr int kMalformed = 1;
constexpr int kFailed = 2;   // no such device, or a file that cannot be opened

void writeReply(char* reply, std::size_t replyLength, const std::string& text)
{
    if (!reply || replyLength == 0)
        return;
    const std::size_t count = std::min(text.size(), replyLength - 1);
    std::memcpy(reply, text.data(), count);
    reply[count] = '\0';
}

int carryOut(const char* command, std::string& answer)
{
    if (!command)
        return kMalformed;
    const auto parsed = media::parseCommand(command);
    if (!parsed)
        return kMalformed;
    media::MediaEngine& engine = media::MediaEngine::instance();
    switch (parsed->verb) {
    case media::CommandVerb::Open:
        return engine.open(parsed->alias, parsed->file) ? kDone : kFailed;
    case media::CommandVerb::Play:
        return engine.play(parsed->alias) ? kDone : kFailed;
    case media::CommandVerb::Status: {
        const auto playing = engine.isPlaying(parsed->alias);
        if (!playing)
            return kFailed;
        answer = *playing ? "playing" : "stopped";
        return kDone;
    }
    case media::CommandVerb::StopAll:
        engine.stopAll();
        return kDone;
    case media::CommandVerb::CloseAll:
        engine.closeAll();
        return kDone;
    }
    return kMalformed;
}

}  // namespace

int mciSendStringA(const char* command, char* reply, std::size_t replyLength)
{
    std::string answer;
    int result = kFailed;
    try {
        result = carryOut(command, answer);
    } catch (...) {
        // Failures are never reported to the game: out of memory or no thread means no sound.
        answer.clear();
    }
    writeReply(reply, replyLength, answer);
    return result;
}
