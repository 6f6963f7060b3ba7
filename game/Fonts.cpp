// Font substitutions for the faces the windows name.
#include "Fonts.h"

#include <QStringList>

namespace fonts {

void installSubstitutions()
{
    QFont::insertSubstitutions(kGothic, {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                                         QStringLiteral("Noto Sans CJK JP"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(kCentury, {QStringLiteral("C059"), QStringLiteral("Century Schoolbook L"),
                                          QStringLiteral("DejaVu Serif")});
    QFont::insertSubstitutions(kLucida, {QStringLiteral("DejaVu Sans"), QStringLiteral("IPAPGothic")});
}

QFont make(const QString& family, double points, bool bold)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

}  // namespace fonts
