// Giving a widget a background and text colour the way the forms set them.
#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace controls {

// Fills the widget's background with `color` (its children draw over it).
inline void SetBackColor(QWidget* widget, const QColor& color)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, color);
    p.setColor(QPalette::Button, color);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

// The colour of text drawn by labels, option buttons and the like.
inline void SetForeColor(QWidget* widget, const QColor& color)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::ButtonText, color);
    p.setColor(QPalette::Text, color);
    widget->setPalette(p);
}

}  // namespace controls
