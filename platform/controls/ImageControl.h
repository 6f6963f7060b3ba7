// An image control: shows a picture stretched to its rectangle and reports clicks.
//
// Contract
//   - Geometry is kept in twips relative to the parent (Left, Top, Width, Height) and mapped to
//     pixels with screen::TwipsRect; moving by twips never accumulates rounding.
//   - The picture is drawn stretched to the whole control (never cropped or padded); an empty
//     picture draws nothing, letting the parent's background show.
//   - Click is emitted for a press and release of the left button inside the control, as long as
//     the control is enabled (a disabled control, or one inside a disabled parent, takes no
//     clicks). Mouse events are accepted, so a click never reaches the window behind.
//   - Setting a picture equal in pixels to the one shown keeps it and draws nothing anew.
//   - Tag is a free text owned by the caller.
//   - A pressable control is a picture button for the keyboard and for screen readers: Space,
//     Enter or Return while it has the focus, and a screen reader's press action, click it
//     (press(): Click, if enabled). A tab stop takes the focus by Tab and Shift+Tab, never by a
//     mouse click. Screen readers see a push button (a graphic when not pressable), named by its
//     accessible name; one inside a TileGrid is a cell of that grid at gridCell().
//   - inPointerClick() is true while Click is being delivered for a mouse click, false for a
//     press() (keys, screen readers) and outside Click.
//   - showsFocusMark() tells whether the focus is there and came from the keyboard.
//   - pointerLeft() is true from a leave event until the next enter event: the pointer went out
//     of the control, or a pop-up or modal window took it over. Where the window system cannot
//     say where the pointer is outside the program's windows, that is the only word of it.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <cstdint>

class ImageControl : public QWidget {
    Q_OBJECT
public:
    explicit ImageControl(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& Picture() const { return m_picture; }

    void setTwipsGeometry(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
    void MoveTwips(std::int32_t left, std::int32_t top);
    std::int32_t Left() const { return m_left; }
    std::int32_t Top() const { return m_top; }
    std::int32_t Width() const { return m_width; }
    std::int32_t Height() const { return m_height; }

    void setTag(const QString& tag) { m_tag = tag; }
    const QString& Tag() const { return m_tag; }

    void setPressable(bool pressable, bool tabStop = true);
    bool isPressable() const { return m_pressable; }
    void press();
    bool inPointerClick() const { return m_pointerClick; }

    // Row and column (from 0) in the grid it stands in, for screen readers; -1 when none.
    void setGridCell(int row, int column);
    int gridRow() const { return m_gridRow; }
    int gridColumn() const { return m_gridColumn; }

    bool pointerLeft() const { return m_pointerLeft; }
    // True while it has the focus and the focus came from the keyboard (Tab, Shift+Tab, or a
    // key pressed on it): where the focus mark belongs. A window's first focus shows no mark.
    bool showsFocusMark() const { return hasFocus() && m_keyboardFocus; }

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QImage m_picture;
    QPixmap m_pixmap;
    QString m_tag;
    std::int32_t m_left = 0;
    std::int32_t m_top = 0;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    bool m_pressed = false;
    bool m_pointerClick = false;
    bool m_pressable = false;
    bool m_pointerLeft = false;
    bool m_keyboardFocus = false;
    int m_gridRow = -1;
    int m_gridColumn = -1;
};
