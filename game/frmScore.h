// The score window: the best time and its holder, with Clear and OK.
#pragma once

#include "ButtonClosedDialog.h"
#include "WindowTimer.h"

#include <array>

class ImageControl;
class QLabel;

class frmScore : public ButtonClosedDialog {
    Q_OBJECT
public:
    explicit frmScore(QWidget* owner);

    void imgCmd_Click(int index);   // 0 Clear, 1 OK
    void timCmd_Timer();

    QLabel* lblName = nullptr;
    QLabel* lblTime = nullptr;
    std::array<ImageControl*, 2> imgCmd{};
    WindowTimer timCmd;
};
