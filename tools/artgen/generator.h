// From a catalogue entry to the bytes of its output files.
#pragma once

#include "catalogue.h"
#include "render.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace artgen {

struct OutputFile {
    QString name;
    QByteArray bytes;
};

// The quantised form of an entry: Format_Indexed8 with at most 256 colours holding the four
// fixed colours, or for the icon at most 16 colours with a transparent entry.
// Returns a null image and sets `error` on failure.
QImage indexedImage(ArtRenderer& renderer, const ArtEntry& entry, QString* error);

// The files for one entry: bitmap_<id>.bmp for a bitmap; icon_<id>.ico and icon_<id>.png for
// the icon. Empty on failure, with `error` set.
QList<OutputFile> generateFiles(ArtRenderer& renderer, const ArtEntry& entry, QString* error);

} // namespace artgen
