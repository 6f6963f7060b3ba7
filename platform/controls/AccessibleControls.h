// What screen readers see of the image controls and tile grids, through Qt's accessibility bridge.
#pragma once

namespace controls {

// Installs the interfaces of ImageControl (push button with a press action, or graphic; a table
// cell inside a TileGrid), TileGrid (a table), QuietLabel (a label read on demand), SpokenNote's
// lines (each a notification) and a plain QFrame (a group of controls). Once per process; later calls do
// nothing.
void InstallAccessibleControls();

}  // namespace controls
