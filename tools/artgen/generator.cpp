// Render, quantise and encode catalogue entries.
#include "generator.h"

#include "bitmapfile.h"
#include "quantise.h"

#include <QBuffer>

namespace artgen {

namespace {

QuantiseOptions bitmapOptions()
{
    QuantiseOptions options;
    options.fixedColours = {kDarkBlue, kWhite, kLightBlue, kBlack};
    return options;
}

} // namespace

ArtGenerator::ArtGenerator(ArtRenderer& renderer) : m_renderer(renderer)
{
}

bool ArtGenerator::quantiseButtons()
{
    QList<int> ids;
    QList<QImage> drawn;
    for (const ArtEntry& e : catalogue()) {
        if (e.kind != ArtKind::Button)
            continue;
        drawn.append(m_renderer.render(e));
        if (drawn.last().isNull()) {
            m_error = m_renderer.errorString();
            return false;
        }
        ids.append(e.id);
    }
    const QList<QImage> indexed = quantiseSet(drawn, bitmapOptions());
    if (indexed.size() != drawn.size()) {
        m_error = QStringLiteral("quantising the buttons failed");
        return false;
    }
    for (int i = 0; i < ids.size(); ++i)
        m_buttons.insert(ids[i], indexed[i]);
    return true;
}

QImage ArtGenerator::indexedImage(const ArtEntry& entry)
{
    m_error.clear();
    if (entry.kind == ArtKind::Button) {
        if (m_buttons.isEmpty() && !quantiseButtons())
            return {};
        return m_buttons.value(entry.id);
    }

    const QImage drawn = m_renderer.render(entry);
    if (drawn.isNull()) {
        m_error = m_renderer.errorString();
        return {};
    }
    QuantiseOptions options = bitmapOptions();
    if (entry.kind == ArtKind::Icon) {
        // Flat colours at icon size: dithering would only add noise.
        options.maxColours = 16;
        options.dithering = 0.0f;
        options.fixedColours.clear();
    }
    QImage indexed = quantise(drawn, options);
    if (indexed.isNull())
        m_error = QStringLiteral("quantising %1 failed").arg(entry.id);
    return indexed;
}

QList<OutputFile> ArtGenerator::generateFiles(const ArtEntry& entry)
{
    const QImage indexed = indexedImage(entry);
    if (indexed.isNull())
        return {};
    if (entry.kind != ArtKind::Icon)
        return {{entry.fileName(), encodeBmp8(indexed)}};

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!iconToArgb(indexed).save(&buffer, "PNG")) {
        m_error = QStringLiteral("encoding the icon as PNG failed");
        return {};
    }
    return {{entry.fileName(), encodeIco4(indexed)},
            {QStringLiteral("icon_%1.png").arg(entry.id), png}};
}

} // namespace artgen
