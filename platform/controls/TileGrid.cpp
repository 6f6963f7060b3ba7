// The tile grid: a plain container whose screen-reader view is in AccessibleControls.cpp.
#include "TileGrid.h"

#include "AccessibleControls.h"

TileGrid::TileGrid(int rows, int columns, QWidget* parent) : QWidget(parent), m_rows(rows), m_columns(columns)
{
    controls::InstallAccessibleControls();
}
