// Helpers for the sound tests.
#include "MediaTestSupport.h"

#include "MediaCommand.h"
#include "NoteSource.h"
#include "SmfWriter.h"

#include <fstream>

namespace media_test {

std::vector<std::uint8_t> pieceFromSource(const std::string& noteSource)
{
    return midigen::writeSong(midigen::parseNoteSource(noteSource));
}

std::string writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string writeFile(const std::string& path, const std::string& text)
{
    return writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string send(const std::string& command, std::size_t replyLength)
{
    std::vector<char> reply(replyLength, '#');
    mciSendStringA(command.c_str(), reply.data(), reply.size());
    return std::string(reply.data());
}

int sendCode(const std::string& command)
{
    return mciSendStringA(command.c_str(), nullptr, 0);
}

}  // namespace media_test
