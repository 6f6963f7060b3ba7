// A container of image controls laid out in a grid, such as a board of tiles.
//
// Contract
//   Draws nothing of its own (its background, if auto-filled). For screen readers it is a table of
//   rows() x columns() cells: a cell holds the visible ImageControl child whose gridCell() names
//   it, and is empty otherwise (a hidden control is never offered). Children are offered in
//   reading order of their cells.
#pragma once

#include <QWidget>

class TileGrid : public QWidget {
    Q_OBJECT
public:
    TileGrid(int rows, int columns, QWidget* parent = nullptr);
    int rows() const { return m_rows; }
    int columns() const { return m_columns; }

private:
    int m_rows;
    int m_columns;
};
