// The component registry file: reading with a stat-checked cache, locked atomic updates.
#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <sys/stat.h>

#include <cerrno>
#include <functional>
#include <mutex>
#include <new>
#include <optional>

namespace component::registry {
namespace {

constexpr int kLockWaitMs = 10000;

void setReason(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
}

// What identifies one version of the file on disk; an atomic replace always changes the inode.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec changed{};
    timespec modified{};

    static FileIdentity of(const struct stat& st)
    {
        return {st.st_dev, st.st_ino, st.st_size, st.st_ctim, st.st_mtim};
    }
    bool operator==(const FileIdentity& o) const
    {
        return device == o.device && inode == o.inode && size == o.size && changed.tv_sec == o.changed.tv_sec
            && changed.tv_nsec == o.changed.tv_nsec && modified.tv_sec == o.modified.tv_sec
            && modified.tv_nsec == o.modified.tv_nsec;
    }
};

// The result of reading one file: its keys, or why it could not be read.
struct Parsed {
    HResult result = hr::kOk;
    QString reason;
    bool exists = false;
    QJsonObject root;
};

Parsed parseFile(const QString& file, FileIdentity* identity)
{
    Parsed parsed;
    QFile in(file);
    if (!in.exists())
        return parsed;
    parsed.exists = true;
    if (!in.open(QIODevice::ReadOnly)) {
        parsed.result = hr::kRegistryUnreadable;
        parsed.reason = QStringLiteral("registry file %1 cannot be read: %2").arg(file, in.errorString());
        return parsed;
    }
    struct stat st{};
    if (identity && ::fstat(in.handle(), &st) == 0)
        *identity = FileIdentity::of(st);
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        parsed.result = hr::kRegistryUnreadable;
        parsed.reason = QStringLiteral("registry file %1 cannot be read: %2").arg(file, in.errorString());
        return parsed;
    }
    if (bytes.isEmpty())
        return parsed;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        parsed.result = hr::kRegistryDamaged;
        parsed.reason = QStringLiteral("registry file %1 is damaged: %2 at byte %3")
                            .arg(file, error.errorString())
                            .arg(error.offset);
    } else if (!document.isObject()) {
        parsed.result = hr::kRegistryDamaged;
        parsed.reason = QStringLiteral("registry file %1 is damaged: it does not hold a JSON object").arg(file);
    } else {
        parsed.root = document.object();
    }
    return parsed;
}

// The member of `object` whose name matches `name` ignoring case, if there is one.
std::optional<QString> memberName(const QJsonObject& object, const QString& name)
{
    if (object.contains(name))
        return name;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.key();
    }
    return std::nullopt;
}

// Looks a value up in one parsed file. False when a key on the way or the value is absent.
bool findValue(const QJsonObject& root, const QStringList& key, const QString& name, QString* data)
{
    QJsonObject object = root;
    for (const QString& part : key) {
        const auto found = memberName(object, part);
        if (!found || !object.value(*found).isObject())
            return false;
        object = object.value(*found).toObject();
    }
    const auto found = memberName(object, name);
    if (!found || !object.value(*found).isString())
        return false;
    *data = object.value(*found).toString();
    return true;
}

// Sets key\name = data below `object`; false if a member on the way is a value, not a key.
bool setIn(QJsonObject& object, QStringList::const_iterator part, QStringList::const_iterator end,
           const QString& name, const QString& data)
{
    if (part == end) {
        const QString found = memberName(object, name).value_or(name);
        if (object.value(found).isObject())
            return false;
        object.insert(found, data);
        return true;
    }
    const QString found = memberName(object, *part).value_or(*part);
    const QJsonValue current = object.value(found);
    if (!current.isUndefined() && !current.isObject())
        return false;
    QJsonObject child = current.toObject();
    if (!setIn(child, std::next(part), end, name, data))
        return false;
    object.insert(found, child);
    return true;
}

// Removes key\name below `object`, then the keys on the way that it left empty.
void removeIn(QJsonObject& object, QStringList::const_iterator part, QStringList::const_iterator end,
              const QString& name)
{
    if (part == end) {
        const auto found = memberName(object, name);
        if (found && object.value(*found).isString())
            object.remove(*found);
        return;
    }
    const auto found = memberName(object, *part);
    if (!found || !object.value(*found).isObject())
        return;
    QJsonObject child = object.value(*found).toObject();
    removeIn(child, std::next(part), end, name);
    if (child.isEmpty())
        object.remove(*found);
    else
        object.insert(*found, child);
}

// Runs `change` on the file's contents under the file's lock and writes the result back.
// `change` returns false (with a reason) to abandon the update.
// Without `create`, a missing folder means there is nothing to change.
HResult update(const QString& file, bool create, const std::function<bool(QJsonObject&, QString*)>& change,
               QString* reason)
{
    try {
        const QFileInfo info(file);
        if (!info.isAbsolute()) {
            setReason(reason, QStringLiteral("registry file %1 is not an absolute path").arg(file));
            return hr::kRegistryUnwritable;
        }
        if (!create && !QFileInfo::exists(info.absolutePath()))
            return hr::kOk;
        if (!QDir().mkpath(info.absolutePath())) {
            setReason(reason, QStringLiteral("registry folder %1 cannot be created").arg(info.absolutePath()));
            return hr::kRegistryUnwritable;
        }
        QLockFile lock(file + QStringLiteral(".lock"));
        if (!lock.tryLock(kLockWaitMs)) {
            const bool held = lock.error() == QLockFile::LockFailedError;
            setReason(reason, held ? QStringLiteral("registry file %1 stays locked by another process").arg(file)
                                   : QStringLiteral("registry lock file %1.lock cannot be created").arg(file));
            return held ? hr::kRegistryLocked : hr::kRegistryUnwritable;
        }
        Parsed parsed = parseFile(file, nullptr);
        if (failed(parsed.result)) {
            setReason(reason, parsed.reason);
            return parsed.result;
        }
        QJsonObject root = parsed.root;
        if (!change(root, reason))
            return hr::kRegistryDamaged;
        if (root == parsed.root)
            return hr::kOk;
        if (root.isEmpty()) {
            if (!QFile::remove(file)) {
                setReason(reason, QStringLiteral("registry file %1 cannot be removed").arg(file));
                return hr::kRegistryUnwritable;
            }
            return hr::kOk;
        }
        QSaveFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(root).toJson(QJsonDocument::Indented)) < 0
            || !out.commit()) {
            setReason(reason, QStringLiteral("registry file %1 cannot be written: %2").arg(file, out.errorString()));
            return hr::kRegistryUnwritable;
        }
        return hr::kOk;
    } catch (const std::bad_alloc&) {
        return hr::kOutOfMemory;
    } catch (...) {
        return hr::kUnexpected;
    }
}

// Parsed files by path, each with the identity of the version it was read from.
struct CacheEntry {
    FileIdentity identity;
    Parsed parsed;
};
std::mutex g_cacheMutex;
QHash<QString, CacheEntry> g_cache;

Parsed readCached(const QString& file)
{
    struct stat st{};
    if (::stat(QFile::encodeName(file).constData(), &st) != 0 && errno == ENOENT) {
        const std::lock_guard guard(g_cacheMutex);
        g_cache.remove(file);
        return {};
    }
    {
        const std::lock_guard guard(g_cacheMutex);
        const auto it = g_cache.constFind(file);
        if (it != g_cache.constEnd() && S_ISREG(st.st_mode) && it->identity == FileIdentity::of(st))
            return it->parsed;
    }
    FileIdentity identity;
    Parsed parsed = parseFile(file, &identity);
    if (parsed.exists && !failed(parsed.result)) {
        const std::lock_guard guard(g_cacheMutex);
        g_cache.insert(file, {identity, parsed});
    }
    return parsed;
}

}  // namespace

QString userFile()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!QDir::isAbsolutePath(base))  // the XDG rules say to ignore a relative XDG_CONFIG_HOME
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/tavorin/components.json");
}

QStringList systemFiles()
{
    // The XDG rules: the folders of XDG_CONFIG_DIRS in order of preference, /etc/xdg when it is
    // unset or empty, and relative entries ignored.
    const QByteArray dirs = qgetenv("XDG_CONFIG_DIRS");
    const QStringList folders = dirs.isEmpty() ? QStringList{QStringLiteral("/etc/xdg")}
                                               : QFile::decodeName(dirs).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    QStringList files;
    for (const QString& folder : folders) {
        if (QDir::isAbsolutePath(folder))
            files.append(QDir::cleanPath(folder) + QStringLiteral("/tavorin/components.json"));
    }
    return files;
}

QStringList lookupFiles()
{
    QStringList files{QDir::cleanPath(userFile())};
    files.append(systemFiles());
    files.removeDuplicates();   // a config dir may repeat, or name the user's own folder
    return files;
}

HResult setValues(const QString& file, const QList<Value>& values, QString* reason)
{
    return update(
        file, true,
        [&values, &file](QJsonObject& root, QString* why) {
            for (const Value& value : values) {
                if (!setIn(root, value.key.cbegin(), value.key.cend(), value.name, value.data)) {
                    setReason(why, QStringLiteral("registry file %1 is damaged: %2 is a value where a key belongs")
                                       .arg(file, value.key.join(QLatin1Char('\\'))));
                    return false;
                }
            }
            return true;
        },
        reason);
}

HResult removeValues(const QString& file, const QList<Value>& values, QString* reason)
{
    return update(
        file, false,
        [&values](QJsonObject& root, QString*) {
            for (const Value& value : values)
                removeIn(root, value.key.cbegin(), value.key.cend(), value.name);
            return true;
        },
        reason);
}

HResult readValue(const QStringList& key, const QString& name, QString* data, QString* reason,
                  const std::function<bool(const QString&)>& passOver)
{
    if (!data)
        return hr::kPointer;
    try {
        std::optional<QString> passedOver;   // the first value found, if every one is passed over
        for (const QString& file : lookupFiles()) {
            const Parsed parsed = readCached(file);
            if (failed(parsed.result)) {
                setReason(reason, parsed.reason);
                return parsed.result;
            }
            QString found;
            if (!findValue(parsed.root, key, name, &found))
                continue;
            if (!passOver || !passOver(found)) {
                *data = found;
                return hr::kOk;
            }
            if (!passedOver)
                passedOver = found;
        }
        if (passedOver) {
            *data = *passedOver;
            return hr::kOk;
        }
        setReason(reason, QStringLiteral("registry has no value %1\\%2")
                              .arg(key.join(QLatin1Char('\\')), name.isEmpty() ? QStringLiteral("(default)") : name));
        return hr::kRegistryKeyMissing;
    } catch (const std::bad_alloc&) {
        return hr::kOutOfMemory;
    } catch (...) {
        return hr::kUnexpected;
    }
}

}  // namespace component::registry
