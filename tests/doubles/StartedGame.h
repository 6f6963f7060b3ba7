// The main window after its start-up, as the tests of the windows take it. The built Qel must be
// registered first (QelForTests) and the media layer be the recorder of MediaRecorder.h.
#pragma once

#include "MediaRecorder.h"
#include "ScriptedRandom.h"
#include "SettingsStore.h"
#include "frmMain.h"

#include <functional>
#include <memory>

// A best time of 00:00:00, which no game beats: no name entry opens.
inline void StoreUnbeatableRecord()
{
    settings::SaveSetting("Puzzle", "SCORE", "HISCORE", "00:00:00");
}

// The recorder's log emptied, the window made on a scripted shuffle (its draws after the scripted
// ones seeded with `seed`) and loaded; `beforeLoad` sees the window before its Form_Load.
struct StartedGame {
    explicit StartedGame(unsigned seed = 1, const std::function<void(frmMain&)>& beforeLoad = {})
    {
        media_double::Reset();
        random = std::make_unique<ScriptedRandom>(std::deque<double>{}, seed);
        window = std::make_unique<frmMain>(*random);
        if (beforeLoad)
            beforeLoad(*window);
        window->Form_Load();
    }
    // In this order, so that the window goes before the shuffle it draws from.
    std::unique_ptr<ScriptedRandom> random;
    std::unique_ptr<frmMain> window;
};
