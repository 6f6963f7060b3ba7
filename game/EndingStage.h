// The ending: the built-in pictures solved in this run, and the stage where, once all three are,
// a tall strip of pictures scrolls up through a viewport, one pixel row a tick.
//
// The strip, its size, the number of steps and the viewport's colour are read from Qel when the
// stage starts, so a re-skinned library changes the ending too. The stage works in pixels.
#pragma once

#include "ControlArray.h"

#include <cstdint>

class PictureBox;
class QString;
class WindowTimer;

class EndingStage {
public:
    // `picEnding` is the viewport on the window, `picEndingBuf` the hidden box that holds the
    // strip, `timEnding` the timer whose ticks call Tick(). All belong to the window.
    EndingStage(PictureBox& picEnding, PictureBox& picEndingBuf, WindowTimer& timEnding);

    // Notes the picture of a solved game as cleared: `number` is the current picture number, "1"
    // to "3" for a built-in picture (anything else, such as the empty number of an imported
    // picture, counts for none). True when all three are cleared: the ending is due.
    bool markCleared(const QString& number);

    // Loads the strip and its numbers from the library, shows the viewport and starts the timer
    // at frame 0; the run starts counting cleared pictures afresh. Errors of the library pass
    // through to the caller, with the flags kept.
    void start();

    // The next frame: the strip, centred across the viewport, scrolled up by one more row. At
    // the last frame the timer is switched off and the picture stays.
    void tick();

    controls::ControlArray<bool, 1, 3> clearedFlags;   // the built-in pictures solved in this run
    std::int32_t endFrame = 0;        // frames shown so far
    std::int32_t endFrameLimit = 0;   // frames in all

private:
    PictureBox& m_viewport;
    PictureBox& m_strip;
    WindowTimer& m_timer;
};
