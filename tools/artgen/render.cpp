// Drawing: SVG shapes through Qt SVG, lettering as outlined glyph paths, the ending by layout.
#include "render.h"

#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <QTransform>

#include <iterator>

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
                   QFont::Weight weight, const LetterStyle& style)
{
    QFont font(family);
    font.setPixelSize(100);
    font.setWeight(weight);
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
    const LetterStyle dark{QColor(kDarkBlue), QColor(kDarkBlue), 0.4, {}, {}};
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
    // The strip scrolls upwards through a stage about 300 pixels high and stops with its last
    // 300 rows in view, so the title opens the first screen, the pictures share the middle
    // and the closing words fill the final screen on their own.
    constexpr qreal kScreen = 300;
    constexpr qreal kTitleTop = 20;
    constexpr qreal kPictureScale = 0.82;
    constexpr qreal kNameGap = 8;
    constexpr qreal kNameHeight = 24;

    const ArtEntry* title = findEntry(1);
    const QImage emblem = renderTitle(*title, false);
    if (emblem.isNull())
        return {};
    QList<QImage> drawn;
    qreal blocksHeight = 0;
    for (const ArtEntry* picture : pictures()) {
        drawn.append(renderPicture(*picture));
        if (drawn.last().isNull())
            return {};
        blocksHeight += drawn.last().height() * kPictureScale + kNameGap + kNameHeight;
    }

    QImage image = blankImage(entry.size, QColor(kBlack));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const qreal width = entry.size.width();
    const qreal height = entry.size.height();
    p.drawImage(QPointF(0, kTitleTop), emblem);

    // Pictures: evenly spaced between the title and the final screen, framed, names below.
    const qreal top = kTitleTop + emblem.height();
    const qreal bottom = height - kScreen;
    const qreal gap = (bottom - top - blocksHeight) / (drawn.size() + 1);
    const LetterStyle nameStyle{QColor(kWhite), QColor(kLightBlue), 1.5, {}, {}};
    qreal y = top + gap;
    for (int i = 0; i < drawn.size(); ++i) {
        const QSizeF shown = QSizeF(drawn[i].size()) * kPictureScale;
        const QRectF frame((width - shown.width()) / 2, y, shown.width(), shown.height());
        p.fillRect(frame.adjusted(-4, -4, 4, 4), QColor(kLightBlue));
        p.fillRect(frame.adjusted(-2, -2, 2, 2), QColor(kWhite));
        p.drawImage(frame, drawn[i]);
        y += shown.height() + kNameGap;
        drawLettering(p, QRectF(0, y, width, kNameHeight), pictures()[i]->label, m_fonts.kana,
                      QFont::Normal, nameStyle);
        y += kNameHeight + gap;
    }

    // The final screen: a few stars, the thanks, and the end.
    const qreal screenTop = height - kScreen;
    const QPointF stars[] = {{34, 40}, {262, 28}, {150, 14}, {20, 150}, {282, 170},
                             {60, 262}, {240, 270}, {150, 286}, {110, 196}, {196, 120}};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < int(std::size(stars)); ++i) {
        const QPointF c = stars[i] + QPointF(0, screenTop);
        const qreal r = i % 3 == 0 ? 7 : 4;
        QPainterPath star;
        star.moveTo(c + QPointF(0, -r));
        star.quadTo(c, c + QPointF(r, 0));
        star.quadTo(c, c + QPointF(0, r));
        star.quadTo(c, c + QPointF(-r, 0));
        star.quadTo(c, c + QPointF(0, -r));
        p.fillPath(star, i % 2 == 0 ? QColor(0xff, 0xf0, 0xa0) : QColor(kLightBlue));
    }
    const LetterStyle thanksStyle{QColor(kWhite), QColor(kDarkBlue), 1.5, {}, {}};
    drawLettering(p, QRectF(20, screenTop + 56, width - 40, 18), QStringLiteral("Thank you"),
                  m_fonts.latin, QFont::Bold, thanksStyle);
    drawLettering(p, QRectF(20, screenTop + 88, width - 40, 18), QStringLiteral("for playing!"),
                  m_fonts.latin, QFont::Bold, thanksStyle);
    const LetterStyle endStyle{QColor(kWhite), QColor(kLightBlue), 3, QColor(kDarkBlue), {4, 4}};
    drawLettering(p, QRectF(10, screenTop + 150, width - 20, 58), QStringLiteral("The End"),
                  m_fonts.latin, QFont::Bold, endStyle);
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
