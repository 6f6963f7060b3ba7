// tavorin-icongen: draws the catalogue's tile-grid icon at the desktop icon sizes.
//
//   tavorin-icongen <art source folder> <output folder> <size>...
//
// Writes <output folder>/<size>.png for each size: the icon's own drawing at that many pixels
// square, in full colour with its transparent surround (the 16-colour limit belongs to the
// window icon in the library's catalogue, not to the desktop's icon theme). Exit status 0 on
// success, 1 when a drawing or a file fails, 2 on a wrong command line.
#include "catalogue.h"
#include "render.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>

#include <cstdio>

namespace {

const artgen::ArtEntry* iconEntry()
{
    for (const artgen::ArtEntry& entry : artgen::catalogue()) {
        if (entry.kind == artgen::ArtKind::Icon)
            return &entry;
    }
    return nullptr;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 4) {
        std::fprintf(stderr, "usage: tavorin-icongen <art source folder> <output folder> <size>...\n");
        return 2;
    }
    const artgen::ArtEntry* icon = iconEntry();
    if (!icon) {
        std::fprintf(stderr, "tavorin-icongen: the catalogue has no icon\n");
        return 1;
    }
    const QString output = arguments[2];
    if (!QDir().mkpath(output)) {
        std::fprintf(stderr, "tavorin-icongen: cannot create %s\n", qPrintable(output));
        return 1;
    }

    // The icon is drawn without lettering, so no fonts are needed.
    artgen::ArtRenderer renderer(arguments[1], artgen::LetteringFonts{});
    for (qsizetype i = 3; i < arguments.size(); ++i) {
        bool number = false;
        const int size = arguments[i].toInt(&number);
        if (!number || size < 1 || size > 1024) {
            std::fprintf(stderr, "tavorin-icongen: %s is not an icon size\n", qPrintable(arguments[i]));
            return 2;
        }
        artgen::ArtEntry sized = *icon;
        sized.size = {size, size};
        const QImage image = renderer.render(sized).convertToFormat(QImage::Format_ARGB32);
        if (image.isNull()) {
            std::fprintf(stderr, "tavorin-icongen: %s\n", qPrintable(renderer.errorString()));
            return 1;
        }
        QSaveFile out(QStringLiteral("%1/%2.png").arg(output).arg(size));
        if (!out.open(QIODevice::WriteOnly) || !image.save(&out, "PNG") || !out.commit()) {
            std::fprintf(stderr, "tavorin-icongen: cannot write %s\n", qPrintable(out.fileName()));
            return 1;
        }
    }
    return 0;
}
