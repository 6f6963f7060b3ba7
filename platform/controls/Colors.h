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

// The colour of the captions of labels, option buttons and the like. The text of edit fields
// and the dot of an option button keep their own colour, so they stay visible on their
// white ground.
inline void SetForeColor(QWidget* widget, const QColor& color)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::ButtonText, color);
    widget->setPalette(p);
}

}  // namespace controls
