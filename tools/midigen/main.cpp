// midigen: turns a note source (format described in NoteSource.h) into a standard MIDI file.
//
// Usage: tavorin_midigen <source.notes> <output.mid>
// Exit status 0 on success; 1 with "file:line: message" on standard error otherwise.
#include "NoteSource.h"
#include "SmfWriter.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: " << (argc > 0 ? argv[0] : "tavorin_midigen")
                  << " <source.notes> <output.mid>\n";
        return 1;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << argv[1] << ": cannot be read\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();

    std::vector<std::uint8_t> bytes;
    try {
        bytes = midigen::writeSong(midigen::parseNoteSource(text.str()));
    } catch (const midigen::NoteSourceError& error) {
        std::cerr << argv[1] << ":" << error.line() << ": " << error.message() << "\n";
        return 1;
    }

    // Write beside the target and rename, so that a failed run never leaves half a file.
    const std::string temporary = std::string(argv[2]) + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::cerr << argv[2] << ": cannot be written\n";
            return 1;
        }
    }
    if (std::rename(temporary.c_str(), argv[2]) != 0) {
        std::cerr << argv[2] << ": cannot be written\n";
        std::remove(temporary.c_str());
        return 1;
    }
    return 0;
}
