// Showing a message box, or handing it to a test's responder.
#include "MessageBox.h"

namespace msgbox {

namespace {
Responder& Current()
{
    static Responder responder;
    return responder;
}
}  // namespace

void SetResponder(Responder responder)
{
    Current() = std::move(responder);
}

QMessageBox::StandardButton Show(QWidget* parent, const Request& request)
{
    if (Current())
        return Current()(request);
    QMessageBox box(request.icon, request.title, request.text, request.buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace msgbox
