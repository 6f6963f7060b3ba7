// The fixed catalogue of the game's artwork.
#include "catalogue.h"

namespace artgen {

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
    list.append({1, ArtKind::Title, {300, 150}, QStringLiteral("title.svg"), QStringLiteral("Tavorin"), false});

    const struct { int id; const char* word; } buttons[] = {
        {10, "End"}, {12, "Menu"}, {14, "Start"}, {16, "Close"}, {30, "OK"}, {32, "Clear"},
    };
    for (const auto& b : buttons) {
        for (int hover = 0; hover < 2; ++hover)
            list.append({b.id + hover, ArtKind::Button, {80, 40}, QStringLiteral("button.svg"),
                         QString::fromLatin1(b.word), hover == 1});
    }

    list.append({100, ArtKind::Picture, {300, 309}, QStringLiteral("picture_100.svg"),
                 QStringLiteral("ひとり"), false});
    list.append({101, ArtKind::Picture, {300, 300}, QStringLiteral("picture_101.svg"),
                 QStringLiteral("どらごん"), false});
    list.append({102, ArtKind::Picture, {300, 300}, QStringLiteral("picture_102.svg"),
                 QStringLiteral("へび"), false});
    list.append({300, ArtKind::Ending, {300, 1500}, QString(), QString(), false});
    list.append({999, ArtKind::Icon, {64, 64}, QStringLiteral("icon.svg"), QString(), false});
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
    return {findEntry(100), findEntry(101), findEntry(102)};
}

} // namespace artgen
