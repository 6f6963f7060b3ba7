// The framing of BMP, GIF, JPEG and PNG files, walked without decoding a pixel (used by the loader).
//
// Contract
//   - Sniff tells the format from the first bytes only; Unknown for anything else.
//   - Walk checks that the bytes hold the whole first picture as the format frames it, and reports
//     the canvas size the headers declare. It reads only inside `bytes`, never allocates in
//     proportion to what a header claims, and stops early (declared size set, no problem) once a
//     declared side exceeds kMaxSide, so that the caller refuses the size before anything else.
//   - Outline::problem is empty when the framing is complete, else a short reason. width and
//     height are -1 when the walk never reached the size.
#pragma once

#include <QByteArray>
#include <QString>

namespace picture::framing {

enum class Format { Unknown, Bmp, Gif, Jpeg, Png };

struct Outline {
    qint64 width = -1;
    qint64 height = -1;
    QString problem;
};

Format Sniff(const QByteArray& bytes);

// The format's name for QImageReader ("bmp", "gif", "jpeg", "png").
const char* ReaderName(Format format);

Outline Walk(Format format, const QByteArray& bytes);

}  // namespace picture::framing
