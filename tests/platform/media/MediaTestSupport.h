// Helpers for the sound tests: short pieces from note sources, raw files, and command round trips.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace media_test {

// The bytes of a MIDI file written from a note source (see tools/midigen/NoteSource.h).
std::vector<std::uint8_t> pieceFromSource(const std::string& noteSource);

// Writes bytes to a file, replacing it; returns the path.
std::string writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::string writeFile(const std::string& path, const std::string& text);

// Sends a command through mciSendStringA with a reply buffer of the given length (at least 1)
// and returns the reply text.
std::string send(const std::string& command, std::size_t replyLength = 255);
// Sends a command without a reply buffer and returns its result code.
int sendCode(const std::string& command);

}  // namespace media_test
