// The about window: the title, "Ver." and the copyright line beside the game's icon.
#pragma once

#include "ButtonClosedDialog.h"

class ImageControl;
class QLabel;
class QPushButton;

class frmAbout : public ButtonClosedDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* owner);

    // "Ver." and the three numbers, plain decimal: Ver.1.0.0.
    static QString VersionText(int major, int minor, int revision);

    void cmdOK_Click();

    ImageControl* imgIco = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
    QPushButton* cmdOK = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;   // the etched separator, Line1(0) and Line1(1)
};
