// The preview window: the whole current picture beside the board, with a Close button.
#pragma once

#include "ButtonClosedDialog.h"
#include "WindowTimer.h"

#include <QRectF>

class ImageControl;

class frmPreview : public ButtonClosedDialog {
    Q_OBJECT
public:
    // Loads at once: colour, layout, icon, and a copy of `picture` (the current picture, read once).
    frmPreview(const QImage& picture, QWidget* owner);

    // Where the picture and the button go for an inner area of width x height twips: the picture
    // is a square of side height - 500 centred horizontally; the button is centred in the band
    // below it. Floating point throughout.
    struct Layout {
        QRectF imgPrev;
        QRectF imgCmd;
    };
    static Layout LayoutFor(double width, double height);

    void imgCmd_Click();
    void timCmd_Timer();

    WindowTimer timCmd;
    ImageControl* imgCmd = nullptr;
    ImageControl* imgPrev = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyLayout();
};
