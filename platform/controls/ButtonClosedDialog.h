// A secondary window that the user closes only through its own buttons.
//
// Contract
//   A close the user asks of the window manager (close box, window menu, Alt+F4) arrives as a
//   spontaneous close event and is refused; so is Esc (QDialog's reject). Every close made by
//   the program (close(), accept(), done()) goes ahead, and so does the end of the program,
//   which destroys the window without asking. setAllowEscape(true) lets Esc through for a
//   window whose cancel button is meant to answer it.
#pragma once

#include <QCloseEvent>
#include <QDialog>

class ButtonClosedDialog : public QDialog {
    Q_OBJECT
public:
    explicit ButtonClosedDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {}) : QDialog(parent, flags) {}

    void setAllowEscape(bool allow) { m_allowEscape = allow; }

    void reject() override
    {
        if (m_allowEscape)
            QDialog::reject();
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (event->spontaneous()) {
            event->ignore();
            return;
        }
        // QDialog answers a close with the virtual reject(), which this class refuses unless Esc
        // is allowed; a close by the program must go ahead all the same.
        if (isVisible())
            QDialog::reject();
        event->accept();
    }

private:
    bool m_allowEscape = false;
};
