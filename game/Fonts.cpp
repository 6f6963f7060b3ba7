// Font substitutions for the faces the windows name.
#include "Fonts.h"

#include <QLabel>
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

void fitCaption(QLabel& label, const QString& caption, const QString& family, double points, int room)
{
    const QPoint centre = label.geometry().center();
    label.setText(caption);
    QFont font = make(family, points, true);
    label.setFont(font);
    const int wide = label.fontMetrics().horizontalAdvance(caption);
    if (wide > room) {
        font.setPointSizeF(points * room / wide);
        label.setFont(font);
    }
    label.adjustSize();
    label.move(centre.x() - label.width() / 2, centre.y() - label.height() / 2);
}

}  // namespace fonts
