// Image control drawing and click handling.
#include "ImageControl.h"

#include "Twips.h"

#include <QMouseEvent>
#include <QPainter>

ImageControl::ImageControl(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void ImageControl::setPicture(const QImage& picture)
{
    m_picture = picture;
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
    if (click)
        emit Click();
}
