// A label whose text changes often (a clock): screen readers query it, it does not announce.
//
// Contract
//   A QLabel in all but what screen readers see: a label named by its accessible name (set one,
//   e.g. "Time"), whose text interface and value give its text as it stands when asked. Changing
//   the text sends no change event, so a reader is not told every tick; it reads it on demand.
#pragma once

#include <QLabel>

class QuietLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
};
