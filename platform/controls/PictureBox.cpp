// Picture box canvas, clear and block copy.
#include "PictureBox.h"

#include <QPainter>
#include <algorithm>

PictureBox::PictureBox(QWidget* parent, bool bordered) : QWidget(parent), m_bordered(bordered)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setBackColor(const QColor& color)
{
    m_back = color;
    clearCanvas();
}

void PictureBox::setPicture(const QImage& picture)
{
    m_picture = picture.convertToFormat(QImage::Format_RGB32);
    clearCanvas();
}

void PictureBox::setInnerSize(int width, int height)
{
    resize(std::max(0, width) + 2 * border(), std::max(0, height) + 2 * border());
    clearCanvas();
}

void PictureBox::ensureCanvas()
{
    if (m_canvas.size() != QSize(ScaleWidth(), ScaleHeight()))
        clearCanvas();
}

void PictureBox::clearCanvas()
{
    m_canvas = QImage(ScaleWidth(), ScaleHeight(), QImage::Format_RGB32);
    m_canvas.fill(m_back);
    if (!m_picture.isNull() && !m_canvas.isNull()) {
        QPainter p(&m_canvas);
        p.drawImage(0, 0, m_picture);
    }
    update();
}

void PictureBox::BitBlt(int x, int y, int width, int height, const PictureBox& source, int sx, int sy)
{
    ensureCanvas();
    const QImage& src = source.m_picture;
    // Clip against the source picture, then against this canvas.
    if (sx < 0) { x -= sx; width += sx; sx = 0; }
    if (sy < 0) { y -= sy; height += sy; sy = 0; }
    width = std::min(width, src.width() - sx);
    height = std::min(height, src.height() - sy);
    if (x < 0) { sx -= x; width += x; x = 0; }
    if (y < 0) { sy -= y; height += y; y = 0; }
    width = std::min(width, m_canvas.width() - x);
    height = std::min(height, m_canvas.height() - y);
    if (width <= 0 || height <= 0)
        return;
    for (int row = 0; row < height; ++row) {
        const auto* from = reinterpret_cast<const QRgb*>(src.constScanLine(sy + row)) + sx;
        auto* to = reinterpret_cast<QRgb*>(m_canvas.scanLine(y + row)) + x;
        std::copy(from, from + width, to);
    }
    update(QRect(x + border(), y + border(), width, height));
}

void PictureBox::paintEvent(QPaintEvent*)
{
    ensureCanvas();
    QPainter p(this);
    p.drawImage(QPoint(border(), border()), m_canvas);
    if (m_bordered) {
        p.setPen(palette().color(QPalette::Dark));
        p.drawLine(0, 0, width() - 1, 0);
        p.drawLine(0, 0, 0, height() - 1);
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(width() - 1, 0, width() - 1, height() - 1);
        p.drawLine(0, height() - 1, width() - 1, height() - 1);
        p.setPen(palette().color(QPalette::Shadow));
        p.drawLine(1, 1, width() - 2, 1);
        p.drawLine(1, 1, 1, height() - 2);
    }
}
