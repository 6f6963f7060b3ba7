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

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
    QPixmap m_pixmap;
    QString m_tag;
    std::int32_t m_left = 0;
    std::int32_t m_top = 0;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    bool m_pressed = false;
};
