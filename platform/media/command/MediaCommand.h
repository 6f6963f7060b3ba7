// The media command interface: the one door through which the game makes any sound.
//
// Contract
//   mciSendStringA(command, reply, replyLength) takes one command text and returns at once.
//   The command forms understood are exactly (keywords in any letter case, words separated by
//   blanks, trailing blanks allowed; a file name may be written in double quotes):
//     open <file> type sequencer alias <name>   file by bare name, relative to the current directory;
//                                               the file is read and checked here
//     play <name> from 0                        start the piece from its beginning, in the background
//                                               (a device that was playing stops: there is one synthesizer)
//     status <name> mode                        reply "playing" or "stopped" (truncated to replyLength,
//                                               always NUL-terminated when replyLength > 0)
//     stop all                                  silence every opened device
//     close all                                 close every opened device
//   Aliases compare without regard to case; "all" cannot be an alias. Any other text does nothing.
//   Failures are never reported: a missing or malformed file leaves its alias unknown; an unknown
//   alias plays nothing and its status query never answers "stopped" (the reply is then the empty
//   text). Every command empties the reply buffer unless it has a reply to give.
//   The return value is 0 when the command was carried out, 1 for a text that is not one of the
//   forms above, 2 for an unknown alias or a file that cannot be opened; the game ignores it.
//   Safe to call from any thread, one call at a time or not; the game calls it from its
//   user-interface thread. Playback, and the loading of the SoundFont, run on a thread of their own.
//   Where no audio output exists, pieces still play in real time, silently, so that a device
//   reports "stopped" when its piece ends exactly as it would with sound.
#pragma once

#include <cstddef>

int mciSendStringA(const char* command, char* reply, std::size_t replyLength);
