// Where the best time and the name of the player who made it are kept in the settings store:
// the one place these keys are spelt out.
#pragma once

#include <QString>

namespace recordKeys {

inline const QString kApplication = QStringLiteral("Puzzle");
inline const QString kSection = QStringLiteral("SCORE");
inline const QString kTime = QStringLiteral("HISCORE");   // the best time, "hh:mm:ss"
inline const QString kName = QStringLiteral("NAME");      // who made it

}  // namespace recordKeys
