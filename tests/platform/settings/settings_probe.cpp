// Reads or saves the best time as the game does, for tests that run it as another user.
//
//   edges_settings_probe get          prints the best time
//   edges_settings_probe save <time>  saves it and prints "saved"
// A settings error prints "error <number>: <text>" and ends with status 3.
#include "AppError.h"
#include "SettingsStore.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    const QString app = QStringLiteral("Puzzle");
    const QString section = QStringLiteral("SCORE");
    const QString key = QStringLiteral("HISCORE");
    try {
        if (argc == 2 && std::strcmp(argv[1], "get") == 0) {
            std::printf("%s\n", settings::GetSetting(app, section, key).toLocal8Bit().constData());
            return 0;
        }
        if (argc == 3 && std::strcmp(argv[1], "save") == 0) {
            settings::SaveSetting(app, section, key, QString::fromLocal8Bit(argv[2]));
            std::printf("saved\n");
            return 0;
        }
    } catch (const errors::AppError& error) {
        std::printf("error %d: %s\n", error.number(), error.what());
        return 3;
    }
    std::fprintf(stderr, "usage: %s get | save <time>\n", argv[0]);
    return 2;
}
