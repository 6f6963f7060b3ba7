// The media command interface: the one door through which the game makes any sound.
//
// Contract
//   mciSendStringA(command, reply, replyLength) takes one command text and returns at once.
//   The command forms understood are exactly:
//     open <file> type sequencer alias <name>   file by bare name, relative to the current directory
//     play <name> from 0                        start the piece from its beginning, in the background
//     status <name> mode                        reply "playing" or "stopped" (truncated to replyLength,
//                                               always NUL-terminated when replyLength > 0)
//     stop all                                  silence every opened device
//     close all                                 close every opened device
//   Failures are never reported: a missing file leaves its alias unknown; an unknown alias plays
//   nothing and its status query never answers "stopped" (the reply is then the empty text).
//   The return value is 0 for an understood command and non-zero otherwise; the game ignores it.
//   Called from the user-interface thread only; playback runs on a thread of its own.
#pragma once

#include <cstddef>

int mciSendStringA(const char* command, char* reply, std::size_t replyLength);
