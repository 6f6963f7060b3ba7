// The name-entry window: a new best time asks for the holder's name and stores the record.
#pragma once

#include "ButtonClosedDialog.h"
#include "WindowTimer.h"

class ImageControl;
class QLabel;
class QLineEdit;

class frmScrName : public ButtonClosedDialog {
    Q_OBJECT
public:
    // `clock` is the main window's clock label, whose caption is stored as the new best time.
    frmScrName(const QLabel& clock, QWidget* owner);

    void imgCmd_Click();
    void timCmd_Timer();

    QLabel* lblName = nullptr;
    QLineEdit* txtName = nullptr;
    ImageControl* imgCmd = nullptr;
    WindowTimer timCmd;

private:
    const QLabel& m_clock;
};

// Removes leading and trailing spaces, the ideographic space U+3000 included.
QString trimSpaces(const QString& text);
