// The frame shared by the secondary windows: fixed size in twips, no minimise or maximise box.
#pragma once

#include "Twips.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

namespace dialogframe {

inline constexpr Qt::WindowFlags kFixedDialog = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                                                Qt::MSWindowsFixedSizeDialogHint;

// Fixes the client area to `width` x `height` twips and places the window at the screen's centre.
inline void Fix(QDialog& dialog, const QString& caption, std::int32_t width, std::int32_t height)
{
    dialog.setWindowTitle(caption);
    dialog.setFixedSize(screen::TwipsToPixels(width), screen::TwipsToPixels(height));
    if (const QScreen* s = dialog.screen() ? dialog.screen() : QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        dialog.move(area.x() + (area.width() - dialog.width()) / 2, area.y() + (area.height() - dialog.height()) / 2);
    }
}

}  // namespace dialogframe
