// A picture box: a control with its own persistent canvas that pictures are copied into.
//
// Contract
//   The canvas is the inner area (inside a 2-pixel sunken border when bordered) and keeps
//   what is drawn on it until the next clear; it is cleared to the back colour when it is
//   resized or setBackColor is called. setPicture keeps a picture as the box's own picture
//   (drawn at the canvas origin on a clear). BitBlt copies a w x h rectangle from (sx, sy) of
//   the source box's picture to (x, y) of this canvas, clipped to both; the result is never
//   an error. Inner sizes are in pixels. A hidden box still holds its picture and canvas.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <algorithm>

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr, bool bordered = false);

    void setBackColor(const QColor& color);
    void setPicture(const QImage& picture);
    const QImage& Picture() const { return m_picture; }
    const QImage& Canvas() { ensureCanvas(); return m_canvas; }

    // Sets the inner size in pixels (the outer size adds the border).
    void setInnerSize(int width, int height);
    int ScaleWidth() const { return std::max(0, width() - 2 * border()); }
    int ScaleHeight() const { return std::max(0, height() - 2 * border()); }

    void BitBlt(int x, int y, int width, int height, const PictureBox& source, int sx, int sy);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void clearCanvas();
    void ensureCanvas();   // a box resized while hidden gets no resize event
    int border() const { return m_bordered ? 2 : 0; }

    bool m_bordered;
    QColor m_back{Qt::white};
    QImage m_picture;
    QImage m_canvas;
};
