// The search for a usable General MIDI SoundFont.
#include "SoundFontLocator.h"

#include <cstring>
#include <filesystem>
#include <fstream>

namespace media {

const std::vector<std::string>& defaultSoundFontCandidates()
{
    static const std::vector<std::string> candidates = {
        "/usr/share/sounds/sf2/FluidR3_GM.sf2",
        "/usr/share/soundfonts/FluidR3_GM.sf2",
        "/usr/share/sounds/sf2/TimGM6mb.sf2",
        "/usr/share/soundfonts/TimGM6mb.sf2",
        "/usr/share/sounds/sf2/default-GM.sf2",
        "/usr/share/soundfonts/default.sf2",
    };
    return candidates;
}

namespace {

bool looksLikeSoundFont(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))   // follows symbolic links
        return false;
    std::ifstream in(path, std::ios::binary);
    char header[12] = {};
    if (!in.read(header, sizeof header))
        return false;
    return std::memcmp(header, "RIFF", 4) == 0 && std::memcmp(header + 8, "sfbk", 4) == 0;
}

}  // namespace

std::string locateSoundFont(const std::vector<std::string>& candidates)
{
    for (const std::string& path : candidates)
        if (looksLikeSoundFont(path))
            return path;
    return {};
}

}  // namespace media
