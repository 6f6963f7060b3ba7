// The fixed catalogue of the game's artwork.
#include "catalogue.h"

#include "CatalogueIds.h"

namespace artgen {

namespace ids = qel::ids;

QString ArtEntry::fileName() const
{
    if (kind == ArtKind::Icon)
        return QStringLiteral("icon_%1.ico").arg(id);
    return QStringLiteral("bitmap_%1.bmp").arg(id);
}

namespace {

QList<ArtEntry> buildCatalogue()
{
    QList<ArtEntry> list;
    list.append({ids::bmp::kTitle, ArtKind::Title, {300, 150}, QStringLiteral("title.svg"), QStringLiteral("Tavorin"), false});

    const struct { int id; const char* word; } buttons[] = {
        {ids::bmp::kEndButton, "End"},     {ids::bmp::kMenuButton, "Menu"}, {ids::bmp::kStartButton, "Start"},
        {ids::bmp::kCloseButton, "Close"}, {ids::bmp::kOkButton, "OK"},     {ids::bmp::kClearButton, "Clear"},
    };
    for (const auto& b : buttons) {
        for (int hover = 0; hover < 2; ++hover)
            list.append({hover ? ids::bmp::hover(b.id) : b.id, ArtKind::Button, {80, 40}, QStringLiteral("button.svg"),
                         QString::fromLatin1(b.word), hover == 1});
    }

    list.append({ids::bmp::picture(1), ArtKind::Picture, {300, 309}, QStringLiteral("picture_100.svg"),
                 QStringLiteral("ひとり"), false});
    list.append({ids::bmp::picture(2), ArtKind::Picture, {300, 300}, QStringLiteral("picture_101.svg"),
                 QStringLiteral("どらごん"), false});
    list.append({ids::bmp::picture(3), ArtKind::Picture, {300, 300}, QStringLiteral("picture_102.svg"),
                 QStringLiteral("へび"), false});
    list.append({ids::bmp::kEndingStrip, ArtKind::Ending, {300, 1500}, QString(), QString(), false});
    list.append({ids::icon::kWindow, ArtKind::Icon, {64, 64}, QStringLiteral("icon.svg"), QString(), false});
    return list;
}

} // namespace

const QList<ArtEntry>& catalogue()
{
    static const QList<ArtEntry> list = buildCatalogue();
    return list;
}

const ArtEntry* findEntry(int id)
{
    for (const ArtEntry& e : catalogue()) {
        if (e.id == id)
            return &e;
    }
    return nullptr;
}

QList<const ArtEntry*> pictures()
{
    return {findEntry(ids::bmp::picture(1)), findEntry(ids::bmp::picture(2)), findEntry(ids::bmp::picture(3))};
}

} // namespace artgen
