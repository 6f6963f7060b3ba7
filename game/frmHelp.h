// The controls window: what the mouse and the keys do, opened from the game menu's "操作方法".
#pragma once

#include "ButtonClosedDialog.h"
#include "WindowTimer.h"

class ImageControl;
class QLabel;

class frmHelp : public ButtonClosedDialog {
    Q_OBJECT
public:
    explicit frmHelp(QWidget* owner);

    void imgCmd_Click();   // OK: closes the window
    void timCmd_Timer();   // the OK button's hover picture

    QLabel* lblKeys = nullptr;      // what to press
    QLabel* lblActions = nullptr;   // what it does
    ImageControl* imgCmd = nullptr;
    WindowTimer timCmd;
};
