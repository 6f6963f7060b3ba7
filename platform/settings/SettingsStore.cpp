// Reading and atomically rewriting the settings file.
#include "SettingsStore.h"

#include "AppError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace settings {

namespace {

constexpr qint64 kMaxStoreBytes = 1 << 20;   // a settings file is tiny; more is not ours

QString ConfigHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

// The parsed file, or an empty object when it is absent or unreadable.
QJsonObject ReadStore(const QString& path, bool* unreadable = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (unreadable)
            *unreadable = file.exists();
        return {};
    }
    const QByteArray bytes = file.read(kMaxStoreBytes + 1);
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (bytes.size() > kMaxStoreBytes || error.error != QJsonParseError::NoError || !doc.isObject()) {
        if (unreadable)
            *unreadable = true;
        return {};
    }
    return doc.object();
}

[[noreturn]] void Fail(const QString& path, const QString& reason)
{
    throw errors::AppError(errors::kFileAccess,
                           QStringLiteral("Cannot save settings to %1: %2").arg(path, reason).toStdString());
}

void SyncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

QString StorePath()
{
    return ConfigHome() + QStringLiteral("/tavorin/settings.json");
}

QString GetSetting(const QString& application, const QString& section, const QString& key)
{
    const QJsonObject store = ReadStore(StorePath());
    return store.value(application).toObject().value(section).toObject().value(key).toString();
}

void SaveSetting(const QString& application, const QString& section, const QString& key, const QString& value)
{
    const QString path = StorePath();
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        Fail(path, QStringLiteral("the folder %1 cannot be created").arg(folder));

    QJsonObject store = ReadStore(path);
    QJsonObject app = store.value(application).toObject();
    QJsonObject sec = app.value(section).toObject();
    sec.insert(key, value);
    app.insert(section, sec);
    store.insert(application, app);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        Fail(path, file.errorString());
    const QByteArray bytes = QJsonDocument(store).toJson(QJsonDocument::Indented);
    if (file.write(bytes) != bytes.size())
        Fail(path, file.errorString());
    if (!file.flush() || ::fsync(file.handle()) != 0)
        Fail(path, file.errorString().isEmpty() ? QString::fromLocal8Bit(strerror(errno)) : file.errorString());
    if (!file.commit())   // renames the synced temporary file over the old one
        Fail(path, file.errorString());
    SyncFolder(folder);
}

}  // namespace settings
