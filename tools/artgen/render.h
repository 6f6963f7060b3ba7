// Full-colour drawing of catalogue entries from the SVG sources and the lettering fonts.
#pragma once

#include "catalogue.h"

#include <QImage>
#include <QString>

namespace artgen {

// Font families used for lettering; both must already be known to QFontDatabase.
struct LetteringFonts {
    QString latin; // words on the title, the buttons and the ending
    QString kana;  // the Japanese picture names on the ending
};

class ArtRenderer {
public:
    ArtRenderer(QString sourceDir, LetteringFonts fonts);

    // The entry drawn at its catalogue size as ARGB32_Premultiplied. Bitmaps come out
    // opaque; the icon is transparent around its drawing. Returns a null image and sets
    // errorString() when a source is missing, unreadable or lacks a required element.
    QImage render(const ArtEntry& entry);

    QString errorString() const { return m_error; }

private:
    QImage renderTitle(const ArtEntry& entry, bool withBackdrop);
    QImage renderButton(const ArtEntry& entry);
    QImage renderPicture(const ArtEntry& entry);
    QImage renderEnding(const ArtEntry& entry);
    QImage renderIcon(const ArtEntry& entry);
    QString sourcePath(const QString& name) const;
    QImage fail(const QString& message);

    QString m_sourceDir;
    LetteringFonts m_fonts;
    QString m_error;
};

} // namespace artgen
