// Image control drawing and click handling.
#include "ImageControl.h"

#include "AccessibleControls.h"
#include "Twips.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScopeGuard>

#include <cstring>

namespace {

// Same size, format, colour table and bytes. QImage's own comparison goes pixel by pixel for
// indexed pictures, which costs more than the redraw it would save.
bool samePixels(const QImage& a, const QImage& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    if (a.size() != b.size() || a.format() != b.format() || a.colorTable() != b.colorTable())
        return false;
    const auto rowBytes = static_cast<std::size_t>((qint64(a.width()) * a.depth() + 7) / 8);
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), rowBytes) != 0)
            return false;
    return true;
}

}  // namespace

ImageControl::ImageControl(QWidget* parent) : QWidget(parent)
{
    controls::InstallAccessibleControls();
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void ImageControl::setPressable(bool pressable, bool tabStop)
{
    m_pressable = pressable;
    setFocusPolicy(pressable && tabStop ? Qt::TabFocus : Qt::NoFocus);
}

void ImageControl::press()
{
    if (isEnabled())
        emit Click();
}

void ImageControl::setGridCell(int row, int column)
{
    m_gridRow = row;
    m_gridColumn = column;
}

void ImageControl::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (m_pressable && !event->modifiers() && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        event->accept();
        m_keyboardFocus = true;
        press();
        return;
    }
    QWidget::keyPressEvent(event);   // ignored: it goes on to the window
}

void ImageControl::focusInEvent(QFocusEvent* event)
{
    m_keyboardFocus = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QWidget::focusInEvent(event);
}

void ImageControl::focusOutEvent(QFocusEvent* event)
{
    m_keyboardFocus = false;
    QWidget::focusOutEvent(event);
}

void ImageControl::enterEvent(QEnterEvent* event)
{
    m_pointerLeft = false;
    QWidget::enterEvent(event);
}

void ImageControl::leaveEvent(QEvent* event)
{
    m_pointerLeft = true;
    QWidget::leaveEvent(event);
}

void ImageControl::setPicture(const QImage& picture)
{
    // A hover timer sets the same picture ten times a second: redraw only what changed.
    const bool same = samePixels(picture, m_picture);
    m_picture = picture;
    if (same)
        return;
    m_pixmap = picture.isNull() ? QPixmap() : QPixmap::fromImage(picture);
    update();
}

void ImageControl::setTwipsGeometry(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    setGeometry(screen::TwipsRect(left, top, width, height));
}

void ImageControl::MoveTwips(std::int32_t left, std::int32_t top)
{
    setTwipsGeometry(left, top, m_width, m_height);
}

void ImageControl::paintEvent(QPaintEvent*)
{
    if (m_pixmap.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), m_pixmap);
}

void ImageControl::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (!click)
        return;
    m_pointerClick = true;
    const QPointer<ImageControl> alive(this);   // a handler may delete the control
    const auto over = qScopeGuard([&] {
        if (alive)
            m_pointerClick = false;
    });
    emit Click();
}
