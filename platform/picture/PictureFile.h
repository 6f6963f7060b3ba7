// Loading a picture file the player chose: a complete picture, or an error that says why not.
//
// Contract
//   - LoadPicture(path) reads the file and hands its bytes to LoadPicture(bytes, name), which does
//     every check and the decoding; the byte form is the whole load path (fuzzers call it).
//   - Formats are told by their content, never by the name: BMP (also named .dib: a DIB file is a
//     BMP file with its "BM" header), GIF (first frame), JPEG and PNG. Anything else fails.
//   - A picture counts only when the file holds all of it. Qt's readers hand back a partly filled
//     image for a cut-off BMP, GIF or JPEG and report success, so the file's own framing is walked
//     first: an uncompressed BMP must hold the pixel bytes its header declares, an RLE BMP must
//     reach its end-of-bitmap code, a GIF's first image must end its data
//     blocks, a PNG must reach its IEND chunk, a JPEG its end-of-image marker. A decoder warning
//     that the data ran out early ("premature end") also fails the load.
//   - Size limits, checked on the header before any pixel memory is taken: each side at most
//     kMaxSide and at most kMaxPixels in all (a 65535 x 65535 header fails at once). Qt's own
//     allocation limit is raised to kAllocationLimitMb only while the loader decodes, so that a
//     picture at the pixel limit fits (4 bytes a pixel); a 16-bit-per-channel PNG needs 8 bytes a
//     pixel and so loads up to half the pixel limit. Files above kMaxFileBytes fail unread, and
//     LoadPicture(path) refuses a too large size found in the first 64 KB before reading the rest.
//   - JPEG orientation tags are applied, so a photo shows upright.
//   - The result is never null: Format_RGB32 for an opaque picture, Format_ARGB32_Premultiplied
//     for one with transparency (a GIF's transparent colour, a PNG's alpha). Indexed and 16-bit
//     pictures are converted to these.
//   - Failures throw errors::AppError, its text "<name>: <reason>":
//       kFileAccess     the file cannot be opened or read (missing, a folder, not a regular file,
//                       no permission, a read error);
//       kInvalidPicture the content is not a complete picture of a known format (empty, unknown
//                       content, cut off, corrupt, too large).
//   - No content crashes the loader or makes it allocate beyond the limits above. Loads are
//     serialized; while one runs, Qt's image-reader messages from the loading thread are taken
//     in by the loader (they end up in the error text) and all other messages pass on unchanged.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace picture {

inline constexpr int kMaxSide = 16384;                          // pixels, either side
inline constexpr qint64 kMaxPixels = 64LL * 1024 * 1024;        // 64 megapixels in all
inline constexpr int kAllocationLimitMb = 256;                  // kMaxPixels at 4 bytes a pixel
inline constexpr qint64 kMaxFileBytes = 4 * kMaxPixels + (1 << 20);   // a 32-bit BMP at the limit, plus headers

// Loads the picture file at `path`.
QImage LoadPicture(const QString& path);

// Loads a picture from the bytes of a file; `name` only names it in error texts.
QImage LoadPicture(const QByteArray& bytes, const QString& name);

}  // namespace picture
