// Recording media commands instead of playing them.
#include "MediaRecorder.h"

#include "MediaCommand.h"

#include <cstring>
#include <sstream>

namespace media_double {

std::vector<std::string>& Commands()
{
    static std::vector<std::string> commands;
    return commands;
}

std::map<std::string, std::string>& StatusReplies()
{
    static std::map<std::string, std::string> replies;
    return replies;
}

void Reset()
{
    Commands().clear();
    StatusReplies().clear();
}

}  // namespace media_double

int mciSendStringA(const char* command, char* reply, std::size_t replyLength)
{
    media_double::Commands().emplace_back(command ? command : "");
    std::string answer;
    std::istringstream words(command ? command : "");
    std::string verb, alias, what;
    words >> verb >> alias >> what;
    if (verb == "status" && what == "mode") {
        const auto found = media_double::StatusReplies().find(alias);
        if (found != media_double::StatusReplies().end())
            answer = found->second;
    }
    if (reply && replyLength > 0) {
        const std::size_t n = std::min(answer.size(), replyLength - 1);
        std::memcpy(reply, answer.data(), n);
        reply[n] = '\0';
    }
    return 0;
}
