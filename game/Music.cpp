// The music's media commands.
#include "Music.h"

#include "MediaCommand.h"
#include "WindowTimer.h"

#include <cstring>

namespace {

constexpr int kWatchInterval = 500;   // ms

void Send(const char* command)
{
    mciSendStringA(command, nullptr, 0);
}

}  // namespace

Music::Music(WindowTimer& timSound) : m_timSound(timSound) {}

void Music::open()
{
    Send("open fanfa4.mid type sequencer alias EndSound");
    Send("open juesmansdesiring.mid type sequencer alias MoveSound");
}

void Music::playGamePiece()
{
    Send("stop all");
    Send("play MoveSound from 0");
    m_timSound.setInterval(kWatchInterval);
    m_timSound.setEnabled(true);
    musicOn = true;
}

void Music::playFanfare()
{
    Send("stop all");
    Send("play EndSound from 0");
    musicOn = false;
}

void Music::stop()
{
    m_timSound.stop();
    Send("stop all");
}

void Music::close()
{
    Send("stop all");
    Send("close all");
}

void Music::watch()
{
    char reply[256] = {};
    mciSendStringA("status MoveSound mode ", reply, 255);
    if (std::strncmp(reply, "stopped", 7) != 0)
        return;
    if (musicOn)
        Send("play MoveSound from 0");
    else
        m_timSound.setEnabled(false);
}
