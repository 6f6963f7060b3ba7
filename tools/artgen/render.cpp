// Drawing: SVG shapes through Qt SVG, lettering as outlined glyph paths, the ending by layout.
#include "render.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <QTransform>

namespace artgen {

namespace {

// Lettering drawn as glyph outlines: an outline stroke under a solid fill keeps small
// words readable on any background.
struct LetterStyle {
    QColor fill;
    QColor outline;
    qreal outlineWidth = 0; // pixels of outline outside the glyphs
    QColor shadow = Qt::transparent;
    QPointF shadowOffset;
};

QPainterPath glyphPath(const QString& text, const QFont& font)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    return path;
}

// Fits `text` into `box`: the glyphs are scaled uniformly to the box height (by their cap
// height, so that words of one size agree) and shrunk further if they are too wide; the
// result is centred in the box.
void drawLettering(QPainter& p, const QRectF& box, const QString& text, const QString& family,
                   int weight, const LetterStyle& style)
{
    QFont font(family);
    font.setPixelSize(100);
    font.setWeight(QFont::Weight(weight));
    font.setHintingPreference(QFont::PreferNoHinting);
    const QPainterPath raw = glyphPath(text, font);
    const QRectF capBox = glyphPath(QStringLiteral("H"), font).boundingRect();
    const QRectF bounds = raw.boundingRect();
    qreal scale = box.height() / capBox.height();
    const qreal inset = style.outlineWidth * 2;
    if (bounds.width() * scale > box.width() - inset)
        scale = (box.width() - inset) / bounds.width();

    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(scale, scale);
    t.translate(-bounds.center().x(), -capBox.center().y());
    const QPainterPath path = t.map(raw);

    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (style.shadow.alpha() > 0) {
        QPen pen(style.shadow, style.outlineWidth * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.strokePath(path.translated(style.shadowOffset), pen);
        p.fillPath(path.translated(style.shadowOffset), style.shadow);
    }
    if (style.outlineWidth > 0) {
        QPen pen(style.outline, style.outlineWidth * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.strokePath(path, pen);
    }
    p.fillPath(path, style.fill);
    p.restore();
}

// Maps a rectangle in the document's own coordinates to the painted image.
QRectF toImage(const QSvgRenderer& svg, const QRectF& docRect, const QSizeF& imageSize)
{
    const QRectF view = svg.viewBoxF();
    const qreal sx = imageSize.width() / view.width();
    const qreal sy = imageSize.height() / view.height();
    return QRectF((docRect.x() - view.x()) * sx, (docRect.y() - view.y()) * sy,
                  docRect.width() * sx, docRect.height() * sy);
}

QImage blankImage(QSize size, QColor fill)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

} // namespace

ArtRenderer::ArtRenderer(QString sourceDir, LetteringFonts fonts)
    : m_sourceDir(std::move(sourceDir)), m_fonts(std::move(fonts))
{
}

QString ArtRenderer::sourcePath(const QString& name) const
{
    return m_sourceDir + QLatin1Char('/') + name;
}

QImage ArtRenderer::fail(const QString& message)
{
    m_error = message;
    return {};
}

QImage ArtRenderer::render(const ArtEntry& entry)
{
    m_error.clear();
    QImage image;
    switch (entry.kind) {
    case ArtKind::Title: image = renderTitle(entry, true); break;
    case ArtKind::Button: image = renderButton(entry); break;
    case ArtKind::Picture: image = renderPicture(entry); break;
    case ArtKind::Ending: image = renderEnding(entry); break;
    case ArtKind::Icon: image = renderIcon(entry); break;
    }
    if (!image.isNull() && image.size() != entry.size)
        return fail(QStringLiteral("%1 drew at the wrong size").arg(entry.id));
    return image;
}

QImage ArtRenderer::renderTitle(const ArtEntry& entry, bool withBackdrop)
{
    QSvgRenderer svg(sourcePath(entry.source));
    if (!svg.isValid())
        return fail(QStringLiteral("cannot read %1").arg(sourcePath(entry.source)));
    if (!svg.elementExists(QStringLiteral("emblem")) || !svg.elementExists(QStringLiteral("lettering")))
        return fail(QStringLiteral("%1 needs elements 'emblem' and 'lettering'").arg(entry.source));

    QImage image = blankImage(entry.size, withBackdrop ? QColor(kDarkBlue) : QColor(Qt::transparent));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (withBackdrop) {
        svg.render(&p, QRectF(QPointF(0, 0), entry.size));
    } else {
        const QRectF emblem = toImage(svg, svg.boundsOnElement(QStringLiteral("emblem")), entry.size);
        svg.render(&p, QStringLiteral("emblem"), emblem);
    }
    const QRectF box = toImage(svg, svg.boundsOnElement(QStringLiteral("lettering")), entry.size);
    LetterStyle style{QColor(kDarkBlue), QColor(kWhite), 3.0, QColor(0x40, 0x40, 0xc0), {3, 3}};
    drawLettering(p, box, entry.label, m_fonts.latin, QFont::Bold, style);
    return image;
}

QImage ArtRenderer::renderButton(const ArtEntry& entry)
{
    QSvgRenderer svg(sourcePath(entry.source));
    if (!svg.isValid())
        return fail(QStringLiteral("cannot read %1").arg(sourcePath(entry.source)));
    if (!svg.elementExists(QStringLiteral("lettering")))
        return fail(QStringLiteral("%1 needs an element 'lettering'").arg(entry.source));

    QImage image = blankImage(entry.size, QColor(kDarkBlue));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p, QRectF(QPointF(0, 0), entry.size));
    const QRectF box = toImage(svg, svg.boundsOnElement(QStringLiteral("lettering")), entry.size);
    const LetterStyle light{QColor(kWhite), QColor(kDarkBlue), 1.4, {}, {}};
    const LetterStyle dark{QColor(kDarkBlue), QColor(kWhite), 1.2, {}, {}};
    drawLettering(p, box, entry.label, m_fonts.latin, QFont::Bold, entry.hover ? dark : light);
    return image;
}

QImage ArtRenderer::renderPicture(const ArtEntry& entry)
{
    QSvgRenderer svg(sourcePath(entry.source));
    if (!svg.isValid())
        return fail(QStringLiteral("cannot read %1").arg(sourcePath(entry.source)));
    QImage image = blankImage(entry.size, QColor(kBlack));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    svg.render(&p, QRectF(QPointF(0, 0), entry.size));
    return image;
}

QImage ArtRenderer::renderEnding(const ArtEntry& entry)
{
    const ArtEntry* title = findEntry(1);
    const QImage emblem = renderTitle(*title, false);
    if (emblem.isNull())
        return {};

    QImage image = blankImage(entry.size, QColor(kBlack));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const qreal width = entry.size.width();
    qreal y = 16;
    p.drawImage(QPointF(0, y), emblem);
    y += emblem.height() + 24;

    // Each picture is shown a little smaller than in play, framed, with its name below.
    const LetterStyle nameStyle{QColor(kWhite), QColor(kLightBlue), 1.5, {}, {}};
    for (const ArtEntry* picture : pictures()) {
        const QImage drawn = renderPicture(*picture);
        if (drawn.isNull())
            return {};
        const QSizeF shown = QSizeF(drawn.size()) * 0.82;
        const QRectF frame((width - shown.width()) / 2, y, shown.width(), shown.height());
        p.fillRect(frame.adjusted(-4, -4, 4, 4), QColor(kLightBlue));
        p.fillRect(frame.adjusted(-2, -2, 2, 2), QColor(kWhite));
        p.drawImage(frame, drawn);
        y += shown.height() + 10;
        drawLettering(p, QRectF(0, y, width, 22), picture->label, m_fonts.kana, QFont::Normal, nameStyle);
        y += 22 + 34;
    }

    const LetterStyle thanksStyle{QColor(kWhite), QColor(kDarkBlue), 1.5, {}, {}};
    drawLettering(p, QRectF(20, y, width - 40, 20), QStringLiteral("Thank you"), m_fonts.latin,
                  QFont::Bold, thanksStyle);
    y += 34;
    drawLettering(p, QRectF(20, y, width - 40, 20), QStringLiteral("for playing!"), m_fonts.latin,
                  QFont::Bold, thanksStyle);
    y += 60;

    const LetterStyle endStyle{QColor(kWhite), QColor(kLightBlue), 3, QColor(kDarkBlue), {4, 4}};
    const qreal endHeight = 56;
    drawLettering(p, QRectF(10, std::min(y, entry.size.height() - endHeight - 60), width - 20, endHeight),
                  QStringLiteral("The End"), m_fonts.latin, QFont::Bold, endStyle);
    return image;
}

QImage ArtRenderer::renderIcon(const ArtEntry& entry)
{
    QSvgRenderer svg(sourcePath(entry.source));
    if (!svg.isValid())
        return fail(QStringLiteral("cannot read %1").arg(sourcePath(entry.source)));
    QImage image = blankImage(entry.size, QColor(Qt::transparent));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p, QRectF(QPointF(0, 0), entry.size));
    return image;
}

} // namespace artgen
