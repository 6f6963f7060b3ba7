// The ending: the cleared pictures, the stage's set-up from the library, then one BitBlt a tick.
#include "EndingStage.h"

#include "CatalogueIds.h"
#include "GameClock.h"
#include "PictureBox.h"
#include "WindowTimer.h"
#include "modCommon.h"

namespace ids = qel::ids;

EndingStage::EndingStage(PictureBox& picEnding, PictureBox& picEndingBuf, WindowTimer& timEnding)
    : m_viewport(picEnding), m_strip(picEndingBuf), m_timer(timEnding)
{
}

bool EndingStage::markCleared(const QString& number)
{
    if (const QString trimmed = number.trimmed(); !trimmed.isEmpty()) {
        const std::int32_t n = board::lenientNumber(trimmed.toStdString());
        if (n >= 1 && n <= 3)
            clearedFlags[n] = true;
    }
    return clearedFlags[1] && clearedFlags[2] && clearedFlags[3];
}

void EndingStage::start()
{
    m_strip.setPicture(modCommon::GetResPic(ids::bmp::kEndingStrip, modCommon::kPictureBitmap));
    m_strip.setInnerSize(static_cast<int>(modCommon::singleFromText(modCommon::GetResStr(ids::str::kEndingWidth))),
                         static_cast<int>(modCommon::singleFromText(modCommon::GetResStr(ids::str::kEndingHeight))));
    endFrameLimit = modCommon::longFromText(modCommon::GetResStr(ids::str::kEndingSteps));
    endFrame = 0;
    m_viewport.setBackColor(modCommon::colorFromText(modCommon::GetResStr(ids::str::kEndingBackColor)));
    m_viewport.show();
    m_timer.setInterval(1);
    m_timer.setEnabled(true);
    clearedFlags = {};
}

void EndingStage::tick()
{
    ++endFrame;
    if (endFrame < endFrameLimit) {
        const int x = (m_viewport.ScaleWidth() - m_strip.ScaleWidth()) / 2;
        m_viewport.BitBlt(x, 0, m_strip.ScaleWidth(), m_strip.ScaleHeight(), m_strip, 0, endFrame);
    } else {
        m_timer.setEnabled(false);
    }
}
