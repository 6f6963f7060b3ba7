// From a catalogue entry to the bytes of its output files.
#pragma once

#include "catalogue.h"
#include "render.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>

namespace artgen {

struct OutputFile {
    QString name;
    QByteArray bytes;
};

class ArtGenerator {
public:
    explicit ArtGenerator(ArtRenderer& renderer);

    // The quantised form of an entry: Format_Indexed8 with at most 256 colours including
    // the four fixed window colours, or for the icon at most 16 colours with a transparent
    // entry. All buttons share one palette, so that a button and its hover image differ
    // only where their lettering does. Returns a null image and sets errorString() on failure.
    QImage indexedImage(const ArtEntry& entry);

    // The files for one entry: bitmap_<id>.bmp for a bitmap; icon_<id>.ico and icon_<id>.png
    // for the icon. Empty on failure, with errorString() set.
    QList<OutputFile> generateFiles(const ArtEntry& entry);

    QString errorString() const { return m_error; }

private:
    bool quantiseButtons();

    ArtRenderer& m_renderer;
    QHash<int, QImage> m_buttons; // id -> quantised button, filled on first use
    QString m_error;
};

} // namespace artgen
