// modCommon: the procedures the windows share (resource access, cursor test, ...).
#pragma once

#include "ScreenGeometry.h"

#include <QWidget>

namespace modCommon {

// True when the cursor lies strictly inside `ctl`'s rectangle on the screen. `ctl` lies on a
// window (its parent); `container`, when given, is a control holding `ctl` whose position offsets
// it. The window's border and caption are derived from its outer size in twips and inner size in
// pixels, as the window manager reports them. Purely geometric: a covered or inactive window's
// controls count too. Never fails; nothing on the window changes.
bool IsCursorOver(const QWidget& ctl, const QWidget* container = nullptr,
                  const screen::Geometry& geometry = screen::System());

}  // namespace modCommon
