// Cutting a picture into equal cells.
#include "PictureClip.h"

#include "AppError.h"

namespace {
constexpr int kInvalidArgument = 5;   // "Invalid procedure call or argument"
}

void picclip::PictureClip::setRows(int rows)
{
    if (rows < 1)
        throw errors::AppError(kInvalidArgument, "Invalid procedure call or argument: rows must be at least 1");
    m_rows = rows;
}

void picclip::PictureClip::setCols(int cols)
{
    if (cols < 1)
        throw errors::AppError(kInvalidArgument, "Invalid procedure call or argument: columns must be at least 1");
    m_cols = cols;
}

QImage picclip::PictureClip::GraphicCell(int index) const
{
    if (index < 0 || index >= m_rows * m_cols)
        throw errors::AppError(kInvalidArgument,
                               "Invalid procedure call or argument: cell " + std::to_string(index) + " is outside the grid");
    if (m_picture.isNull())
        return QImage();
    const int cellWidth = m_picture.width() / m_cols;
    const int cellHeight = m_picture.height() / m_rows;
    if (cellWidth == 0 || cellHeight == 0)
        return QImage();
    return m_picture.copy((index % m_cols) * cellWidth, (index / m_cols) * cellHeight, cellWidth, cellHeight);
}
