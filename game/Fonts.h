// The typefaces the windows ask for, and the free fonts that stand in for them.
#pragma once

#include <QFont>

class QLabel;

namespace fonts {

inline const QString kGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kCentury = QStringLiteral("Century");
inline const QString kLucida = QStringLiteral("Lucida Sans Unicode");

// Maps each face above onto installed free fonts (IPA P Gothic, C059, DejaVu Sans), so Japanese
// captions never show as empty boxes. Call once, before any window is built.
void installSubstitutions();

// A font of `family` at `points`, bold or not.
QFont make(const QString& family, double points, bool bold);

// Sets `caption` on `label` in bold `family` at `points`, smaller when it would be wider than
// `room` pixels (the free stand-in faces run wider than the faces asked for), and sizes the label
// to it about the label's own centre, so the text stays centred however long it is.
void fitCaption(QLabel& label, const QString& caption, const QString& family, double points, int room);

}  // namespace fonts
