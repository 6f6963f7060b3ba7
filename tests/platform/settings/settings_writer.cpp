// Writes the record over and over until killed: the other side of the killed-write test.
#include "SettingsStore.h"

#include <QString>

int main()
{
    for (long i = 0;; ++i) {
        const QString time = QStringLiteral("00:%1:%2").arg((i / 60) % 60, 2, 10, QChar('0')).arg(i % 60, 2, 10, QChar('0'));
        settings::SaveSetting(QStringLiteral("Puzzle"), QStringLiteral("SCORE"), QStringLiteral("NAME"),
                              QStringLiteral("プレイヤー%1").arg(i).repeated(1 + i % 7));
        settings::SaveSetting(QStringLiteral("Puzzle"), QStringLiteral("SCORE"), QStringLiteral("HISCORE"), time);
    }
}
