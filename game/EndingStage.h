// The ending's stage: a tall strip of pictures scrolled up through a viewport, one pixel row a
// tick, after all three built-in pictures were solved in one run.
//
// The strip, its size, the number of steps and the viewport's colour are read from Qel when the
// stage starts, so a re-skinned library changes the ending too. The stage works in pixels.
#pragma once

#include <cstdint>

class PictureBox;
class WindowTimer;

class EndingStage {
public:
    // `picEnding` is the viewport on the window, `picEndingBuf` the hidden box that holds the
    // strip, `timEnding` the timer whose ticks call Tick(). All belong to the window.
    EndingStage(PictureBox& picEnding, PictureBox& picEndingBuf, WindowTimer& timEnding);

    // Loads the strip and its numbers from the library, shows the viewport and starts the timer
    // at frame 0. Errors of the library pass through to the caller.
    void start();

    // The next frame: the strip, centred across the viewport, scrolled up by one more row. At
    // the last frame the timer is switched off and the picture stays.
    void tick();

    std::int32_t endFrame = 0;        // frames shown so far
    std::int32_t endFrameLimit = 0;   // frames in all

private:
    PictureBox& m_viewport;
    PictureBox& m_strip;
    WindowTimer& m_timer;
};
