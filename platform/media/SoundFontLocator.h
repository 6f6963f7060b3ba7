// Finding the General MIDI SoundFont that the system provides.
//
// Contract
//   locateSoundFont() returns the first candidate that is a readable regular file (symbolic links
//   followed) beginning with a RIFF "sfbk" header, or the empty string when none is. The default
//   candidates prefer fluid-soundfont-gm (FluidR3_GM) for its sound, then TimGM6mb, then the
//   Debian alternatives "default-GM.sf2" and "default.sf2", in /usr/share/sounds/sf2 and
//   /usr/share/soundfonts. It reads at most twelve bytes of each file: cheap enough for any thread,
//   though the engine calls it on its playback thread.
#pragma once

#include <string>
#include <vector>

namespace media {

const std::vector<std::string>& defaultSoundFontCandidates();
std::string locateSoundFont(const std::vector<std::string>& candidates = defaultSoundFontCandidates());

}  // namespace media
