// Moving a borderless window by dragging its background with the left button.
//
// Contract
//   Installed on a top-level window, it watches the presses that reach the window itself (not
//   those its controls take). A left press asks the window system to move the window
//   (QWindow::startSystemMove, which follows the pointer outside the window too); where the
//   window system cannot, the window follows the pointer until the button is released. Other
//   buttons and events pass on unchanged. It lives as long as the window.
#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

namespace controls {

class WindowDrag final : public QObject {
public:
    explicit WindowDrag(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    bool m_dragging = false;
    QPoint m_offset;   // pixels, pointer to window origin
};

}  // namespace controls
