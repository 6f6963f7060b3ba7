// The picture cutter: holds one picture whole and hands out the cells of a rows x columns grid.
//
// Contract
//   - setPicture keeps exactly that picture, uncut, until the next set; an empty (null) picture
//     is accepted. Picture() returns it whole.
//   - Cells are numbered from 0 in reading order: cell k covers column k % Cols() and row
//     k / Cols(). All cells have the same size: floor(width / Cols()) x floor(height / Rows())
//     pixels. When a side is not a multiple of the count, the remainder is dropped at the right
//     and bottom edges (a 300 x 309 picture cut 4 x 4 gives 75 x 77 cells; its last row of pixels
//     is not shown). A picture smaller than the grid gives empty cells.
//   - GraphicCell of an empty picture is an empty image; a cell index outside the grid throws
//     errors::AppError (invalid argument), as does a row or column count below 1.
//   - Tag() is a free text, stored unchanged.
#pragma once

#include <QImage>
#include <QString>

namespace picclip {

class PictureClip {
public:
    void setPicture(const QImage& picture) { m_picture = picture; }
    const QImage& Picture() const { return m_picture; }

    void setRows(int rows);
    void setCols(int cols);
    int Rows() const { return m_rows; }
    int Cols() const { return m_cols; }

    QImage GraphicCell(int index) const;

    void setTag(const QString& tag) { m_tag = tag; }
    const QString& Tag() const { return m_tag; }

private:
    QImage m_picture;
    int m_rows = 1;
    int m_cols = 1;
    QString m_tag;
};

}  // namespace picclip
