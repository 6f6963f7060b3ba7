// The message box: a text, a title, an icon and a set of buttons, answered by the user.
//
// Contract
//   msgbox::Show blocks until the user answers and returns the button pressed (Esc answers
//   with the box's escape button, as QMessageBox decides). A test replaces the user with
//   msgbox::SetResponder: every box is then handed to the responder instead of being shown,
//   and the responder's answer is returned. SetResponder({}) restores the real box.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

namespace msgbox {

struct Request {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

using Responder = std::function<QMessageBox::StandardButton(const Request&)>;

void SetResponder(Responder responder);

QMessageBox::StandardButton Show(QWidget* parent, const Request& request);

}  // namespace msgbox
