// The typefaces the windows ask for, and the free fonts that stand in for them.
#pragma once

#include <QFont>

namespace fonts {

inline const QString kGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kCentury = QStringLiteral("Century");
inline const QString kLucida = QStringLiteral("Lucida Sans Unicode");

// Maps each face above onto installed free fonts (IPA P Gothic, C059, DejaVu Sans), so Japanese
// captions never show as empty boxes. Call once, before any window is built.
void installSubstitutions();

// A font of `family` at `points`, bold or not.
QFont make(const QString& family, double points, bool bold);

}  // namespace fonts
