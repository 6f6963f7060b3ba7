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
#include <sys/stat.h>
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

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void FailRead(const QString& path, const QString& reason)
{
    throw errors::AppError(errors::kFileAccess,
                           QStringLiteral("Cannot read settings from %1: %2").arg(path, reason).toStdString());
}

[[noreturn]] void Fail(const QString& path, const QString& reason)
{
    throw errors::AppError(errors::kFileAccess,
                           QStringLiteral("Cannot save settings to %1: %2").arg(path, reason).toStdString());
}

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() { ::close(m_fd); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// What the store file holds. `damaged` keeps the bytes of a file that is not a settings
// document (it reads as empty, but its bytes are kept before anything replaces them).
struct Store {
    QJsonObject object;
    QByteArray damaged;
};

// The store as the file holds it: empty when there is no file. Any other failure to read it
// throws, so that a store that is there but out of reach is never taken for an empty one.
Store ReadStore(const QString& path)
{
    // Without O_NONBLOCK, opening a FIFO would wait for a writer that never comes.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            return {};
        FailRead(path, SystemError(error));
    }
    const Descriptor file(fd);
    struct stat st{};
    if (::fstat(fd, &st) != 0)
        FailRead(path, SystemError(errno));
    if (S_ISDIR(st.st_mode))
        FailRead(path, QStringLiteral("it is a folder"));
    if (!S_ISREG(st.st_mode))
        FailRead(path, QStringLiteral("it is not a regular file"));
    const QString tooLarge = QStringLiteral("it is larger than %1 bytes").arg(kMaxStoreBytes);
    if (st.st_size > kMaxStoreBytes)
        FailRead(path, tooLarge);

    QByteArray bytes(kMaxStoreBytes + 1, Qt::Uninitialized);
    qint64 size = 0;
    while (size < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + size, static_cast<size_t>(bytes.size() - size));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            FailRead(path, SystemError(errno));
        if (got == 0)
            break;
        size += got;
    }
    if (size > kMaxStoreBytes)   // it grew while being read
        FailRead(path, tooLarge);
    bytes.truncate(size);

    Store store;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error == QJsonParseError::NoError && doc.isObject())
        store.object = doc.object();
    else
        store.damaged = bytes;   // an empty file holds nothing to keep
    return store;
}

void SyncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Replaces `target` by `bytes` through a synced temporary file renamed over it; a failure
// throws naming the store `path`, with `what` saying which file failed when it is not the store.
void WriteWhole(const QString& path, const QString& target, const QByteArray& bytes, const QString& what = QString())
{
    QSaveFile file(target);
    const auto fail = [&](const QString& reason) { Fail(path, what.isEmpty() ? reason : what.arg(target, reason)); };
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    if (file.write(bytes) != bytes.size())
        fail(file.errorString());
    if (!file.flush() || ::fsync(file.handle()) != 0)
        fail(file.errorString().isEmpty() ? SystemError(errno) : file.errorString());
    if (!file.commit())   // renames the synced temporary file over the old one
        fail(file.errorString());
}

}  // namespace

QString StorePath()
{
    return ConfigHome() + QStringLiteral("/tavorin/settings.json");
}

QString DamagedCopyPath()
{
    return StorePath() + QStringLiteral(".damaged");
}

QString GetSetting(const QString& application, const QString& section, const QString& key)
{
    const QJsonObject store = ReadStore(StorePath()).object;
    return store.value(application).toObject().value(section).toObject().value(key).toString();
}

void SaveSetting(const QString& application, const QString& section, const QString& key, const QString& value)
{
    const QString path = StorePath();
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        Fail(path, QStringLiteral("the folder %1 cannot be created").arg(folder));

    Store store = ReadStore(path);
    if (!store.damaged.isEmpty())
        WriteWhole(path, DamagedCopyPath(), store.damaged, QStringLiteral("the damaged file cannot be kept as %1: %2"));
    QJsonObject app = store.object.value(application).toObject();
    QJsonObject sec = app.value(section).toObject();
    sec.insert(key, value);
    app.insert(section, sec);
    store.object.insert(application, app);

    WriteWhole(path, path, QJsonDocument(store.object).toJson(QJsonDocument::Indented));
    SyncFolder(folder);
}

}  // namespace settings
