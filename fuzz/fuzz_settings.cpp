// Fuzz target: the settings file, read as the game reads its record and rewritten as it saves a new one.
//
// Each input becomes the settings file. The target reads the record (best time and name) with
// settings::GetSetting, saves a new best time with settings::SaveSetting and reads again.
// Promises checked: reading never fails, whatever a file of at most 1 MiB holds; saving over any file succeeds
// (a file that cannot be parsed is replaced), the saved value reads back exactly, the other entry
// reads as before, and the file left behind is a JSON object.
#include "AppError.h"
#include "FuzzSupport.h"
#include "SettingsStore.h"

#include <QJsonDocument>

#include <cstddef>
#include <cstdint>

namespace {

const QString kApp = QStringLiteral("Puzzle");
const QString kSection = QStringLiteral("SCORE");

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(fuzz::ScratchFolder()));
    QDir().mkpath(QFileInfo(settings::StorePath()).absolutePath());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = settings::StorePath();
    fuzz::WriteFile(path, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));

    const QString name = settings::GetSetting(kApp, kSection, QStringLiteral("NAME"));
    settings::GetSetting(kApp, kSection, QStringLiteral("HISCORE"));

    const QString best = QStringLiteral("00:01:02");
    try {
        settings::SaveSetting(kApp, kSection, QStringLiteral("HISCORE"), best);
    } catch (const errors::AppError& error) {
        fuzz::Require(false, "a save into a writable folder succeeds over any file", QString::fromStdString(error.what()));
    }
    fuzz::Require(settings::GetSetting(kApp, kSection, QStringLiteral("HISCORE")) == best, "a saved value reads back exactly");
    fuzz::Require(settings::GetSetting(kApp, kSection, QStringLiteral("NAME")) == name, "a save leaves the other entries as they read");
    QJsonParseError error{};
    const QJsonDocument saved = QJsonDocument::fromJson(fuzz::ReadFile(path), &error);
    fuzz::Require(error.error == QJsonParseError::NoError && saved.isObject(), "the saved file is a JSON object");
    return 0;
}
