// Render, quantise and encode one catalogue entry.
#include "generator.h"

#include "bitmapfile.h"
#include "quantise.h"

#include <QBuffer>

namespace artgen {

QImage indexedImage(ArtRenderer& renderer, const ArtEntry& entry, QString* error)
{
    const QImage drawn = renderer.render(entry);
    if (drawn.isNull()) {
        *error = renderer.errorString();
        return {};
    }
    QuantiseOptions options;
    if (entry.kind == ArtKind::Icon) {
        // Flat colours at icon size: dithering would only add noise.
        options.maxColours = 16;
        options.dithering = 0.0f;
    } else {
        options.fixedColours = {kDarkBlue, kWhite, kLightBlue, kBlack};
        options.dithering = entry.kind == ArtKind::Button ? 0.5f : 1.0f;
    }
    QImage indexed = quantise(drawn, options);
    if (indexed.isNull())
        *error = QStringLiteral("quantising %1 failed").arg(entry.id);
    return indexed;
}

QList<OutputFile> generateFiles(ArtRenderer& renderer, const ArtEntry& entry, QString* error)
{
    const QImage indexed = indexedImage(renderer, entry, error);
    if (indexed.isNull())
        return {};
    if (entry.kind != ArtKind::Icon)
        return {{entry.fileName(), encodeBmp8(indexed)}};

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!iconToArgb(indexed).save(&buffer, "PNG")) {
        *error = QStringLiteral("encoding the icon as PNG failed");
        return {};
    }
    return {{entry.fileName(), encodeIco4(indexed)},
            {QStringLiteral("icon_%1.png").arg(entry.id), png}};
}

} // namespace artgen
