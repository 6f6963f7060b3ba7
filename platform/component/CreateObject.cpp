// Component creation: registry lookup, path check, loading the library and asking its class factory.
#include "CreateObject.h"

#include "InprocServer.h"
#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>

namespace component {
namespace {

QString hex(HResult result)
{
    return QStringLiteral("0x") + QString::number(static_cast<quint32>(result), 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

// Why the shared object at `path` cannot be loaded whole, or an empty text. The dynamic loader
// maps a library's segments straight from the file and touches them; a file cut short (an
// interrupted copy or install) would then end the program with SIGBUS instead of an error.
// Anything that is not an ELF file of this machine's class is left to dlopen to refuse, and so
// is a file too short for an ELF header (nothing is read from it: /proc files show size 0).
QString cutOffLibrary(const QString& path, qint64 size)
{
    ElfW(Ehdr) header{};
    QFile file(path);
    if (size < qint64(sizeof header) || !file.open(QIODevice::ReadOnly))
        return QString();
    if (file.read(reinterpret_cast<char*>(&header), sizeof header) != qint64(sizeof header) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32))
        return QString();
    const auto cutOff = [&](quint64 needed) {
        return QStringLiteral("the file is cut off (%1 of %2 bytes)").arg(size).arg(needed);
    };
    if (header.e_phnum == 0 || header.e_phentsize != sizeof(ElfW(Phdr)))
        return QString();   // not a loadable object of this machine: dlopen says why
    const quint64 tableEnd = quint64(header.e_phoff) + quint64(header.e_phnum) * sizeof(ElfW(Phdr));
    if (tableEnd > quint64(size) || !file.seek(qint64(header.e_phoff)))
        return cutOff(tableEnd);
    for (int i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) segment{};
        if (file.read(reinterpret_cast<char*>(&segment), sizeof segment) != qint64(sizeof segment))
            return cutOff(tableEnd);
        const quint64 segmentEnd = quint64(segment.p_offset) + quint64(segment.p_filesz);
        if (segment.p_type == PT_LOAD && (segmentEnd < segment.p_offset || segmentEnd > quint64(size)))
            return cutOff(segmentEnd);
    }
    return QString();
}

// The last library file found whole, as it was then: its headers are read again only when the
// file changes (a replaced or rewritten file has another inode, size or modification time).
struct WholeFile {
    QString path;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
};
std::mutex g_wholeMutex;
std::optional<WholeFile> g_whole;

bool sameFile(const WholeFile& known, const QString& path, const struct stat& st)
{
    return known.path == path && known.device == st.st_dev && known.inode == st.st_ino && known.size == st.st_size &&
           known.modified.tv_sec == st.st_mtim.tv_sec && known.modified.tv_nsec == st.st_mtim.tv_nsec;
}

bool knownWhole(const QString& path, const struct stat& st)
{
    const std::lock_guard guard(g_wholeMutex);
    return g_whole && sameFile(*g_whole, path, st);
}

void rememberWhole(const QString& path, const struct stat& st)
{
    const std::lock_guard guard(g_wholeMutex);
    g_whole = WholeFile{path, st.st_dev, st.st_ino, st.st_size, st.st_mtim};
}

// Loaded libraries by path: their DllGetClassObject. Entries are never removed.
std::mutex g_serversMutex;
QHash<QString, DllGetClassObjectFn> g_servers;

HResult loadServer(const QString& path, DllGetClassObjectFn* getClassObject, QString* why)
{
    const std::lock_guard guard(g_serversMutex);
    if (const auto it = g_servers.constFind(path); it != g_servers.constEnd()) {
        *getClassObject = *it;
        return hr::kOk;
    }
    dlerror();
    void* handle = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = dlerror();
        *why = QStringLiteral("library %1 cannot be loaded: %2").arg(path, QString::fromLocal8Bit(error ? error : "unknown error"));
        return hr::kBadFormat;
    }
    void* symbol = ::dlsym(handle, kDllGetClassObject);
    if (!symbol) {
        *why = QStringLiteral("library %1 has no entry point %2").arg(path, QLatin1String(kDllGetClassObject));
        ::dlclose(handle);
        return hr::kProcNotFound;
    }
    *getClassObject = reinterpret_cast<DllGetClassObjectFn>(symbol);
    g_servers.insert(path, *getClassObject);
    return hr::kOk;
}

// True when nothing is at `path` any more (a deleted build folder); a file that is there but
// cannot be used is another matter, for checkServerPath to report.
bool libraryGone(const QString& path)
{
    struct stat st{};
    return ::stat(QFile::encodeName(path).constData(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

HResult create(const QUuid& clsid, const QUuid& iid, void** object, QString* why)
{
    const QString clsidText = guidText(clsid);
    QString path;
    QString registryWhy;
    HResult result = registry::readValue({QStringLiteral("CLSID"), clsidText, QStringLiteral("InprocServer32")},
                                         QString(), &path, &registryWhy, libraryGone);
    if (result == hr::kRegistryKeyMissing) {
        *why = QStringLiteral("the class is not registered");
        return hr::kClassNotRegistered;
    }
    if (failed(result)) {
        *why = registryWhy;
        return result;
    }
    if (failed(result = checkServerPath(path, why)))
        return result;

    DllGetClassObjectFn getClassObject = nullptr;
    if (failed(result = loadServer(path, &getClassObject, why)))
        return result;

    void* rawFactory = nullptr;
    try {
        result = getClassObject(clsid, IClassFactory::kIid, &rawFactory);
    } catch (...) {
        *why = QStringLiteral("%1 of library %2 threw an exception").arg(QLatin1String(kDllGetClassObject), path);
        return hr::kUnexpected;
    }
    if (failed(result)) {
        *why = result == hr::kClassNotAvailable
                   ? QStringLiteral("library %1 does not serve this class").arg(path)
                   : QStringLiteral("%1 of library %2 failed with %3").arg(QLatin1String(kDllGetClassObject), path, hex(result));
        return result;
    }
    if (!rawFactory) {
        *why = QStringLiteral("library %1 handed out no class factory").arg(path);
        return hr::kUnexpected;
    }
    const auto factory = ComPtr<IClassFactory>::adopt(static_cast<IClassFactory*>(rawFactory));
    try {
        result = factory->createInstance(nullptr, iid, object);
    } catch (...) {
        *object = nullptr;
        *why = QStringLiteral("the class factory of library %1 threw an exception").arg(path);
        return hr::kUnexpected;
    }
    if (result == hr::kNoInterface) {
        *why = QStringLiteral("the class does not support interface %1").arg(guidText(iid));
        return result;
    }
    if (failed(result)) {
        *why = QStringLiteral("the class factory of library %1 failed with %2").arg(path, hex(result));
        return result;
    }
    if (!*object) {
        *why = QStringLiteral("the class factory of library %1 handed out no object").arg(path);
        return hr::kUnexpected;
    }
    return hr::kOk;
}

}  // namespace

HResult createInstance(const QUuid& clsid, const QUuid& iid, void** object, QString* reason) noexcept
{
    if (!object)
        return hr::kPointer;
    *object = nullptr;
    HResult result = hr::kUnexpected;
    try {
        QString why;
        result = create(clsid, iid, object, &why);
        if (failed(result) && reason)
            *reason = QStringLiteral("Cannot create an object of class %1: %2").arg(guidText(clsid), why);
    } catch (const std::bad_alloc&) {
        result = hr::kOutOfMemory;
    } catch (...) {
        result = hr::kUnexpected;
    }
    if (failed(result))
        *object = nullptr;
    return result;
}

HResult checkServerPath(const QString& path, QString* reason) noexcept
{
    try {
        auto refuse = [reason](HResult result, const QString& text) {
            if (reason)
                *reason = text;
            return result;
        };
        if (path.isEmpty())
            return refuse(hr::kModuleNotFound, QStringLiteral("no library path is registered"));
        if (!QDir::isAbsolutePath(path))
            return refuse(hr::kAccessDenied, QStringLiteral("library path %1 is not absolute").arg(path));
        struct stat st{};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
            const int error = errno;
            return refuse(error == ENOENT || error == ENOTDIR ? hr::kModuleNotFound : hr::kAccessDenied,
                          QStringLiteral("library %1 cannot be found: %2").arg(path, QString::fromLocal8Bit(std::strerror(error))));
        }
        if (!S_ISREG(st.st_mode))
            return refuse(hr::kAccessDenied, QStringLiteral("library %1 is not a regular file").arg(path));
        if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
            return refuse(hr::kAccessDenied, QStringLiteral("library %1 can be written by its group or by others").arg(path));
        if (!knownWhole(path, st)) {
            if (const QString cut = cutOffLibrary(path, st.st_size); !cut.isEmpty())
                return refuse(hr::kBadFormat, QStringLiteral("library %1 cannot be loaded: %2").arg(path, cut));
            rememberWhole(path, st);
        }
        return hr::kOk;
    } catch (...) {
        return hr::kOutOfMemory;
    }
}

QString resultText(HResult result)
{
    switch (result) {
    case hr::kOk: return QStringLiteral("success");
    case hr::kFalse: return QStringLiteral("success (no)");
    case hr::kNotImplemented: return QStringLiteral("not implemented");
    case hr::kNoInterface: return QStringLiteral("interface not supported");
    case hr::kPointer: return QStringLiteral("null pointer");
    case hr::kFail: return QStringLiteral("unspecified failure");
    case hr::kUnexpected: return QStringLiteral("unexpected failure");
    case hr::kAccessDenied: return QStringLiteral("access denied");
    case hr::kOutOfMemory: return QStringLiteral("out of memory");
    case hr::kInvalidArgument: return QStringLiteral("invalid argument");
    case hr::kModuleNotFound: return QStringLiteral("library file not found");
    case hr::kProcNotFound: return QStringLiteral("entry point not found");
    case hr::kBadFormat: return QStringLiteral("not a loadable library");
    case hr::kResourceNotFound: return QStringLiteral("resource not found");
    case hr::kNoAggregation: return QStringLiteral("class cannot be aggregated");
    case hr::kClassNotAvailable: return QStringLiteral("class not served by this library");
    case hr::kClassNotRegistered: return QStringLiteral("class not registered");
    case hr::kRegistryUnreadable: return QStringLiteral("registry cannot be read");
    case hr::kRegistryUnwritable: return QStringLiteral("registry cannot be written");
    case hr::kRegistryKeyMissing: return QStringLiteral("registry key missing");
    case hr::kRegistryDamaged: return QStringLiteral("registry file damaged");
    case hr::kRegistryLocked: return QStringLiteral("registry locked by another process");
    case hr::kInvalidPicture: return QStringLiteral("invalid picture");
    case hr::kMemberNotFound: return QStringLiteral("member not found");
    case hr::kTypeMismatch: return QStringLiteral("type mismatch");
    case hr::kUnknownName: return QStringLiteral("unknown name");
    case hr::kOverflow: return QStringLiteral("overflow");
    case hr::kBadParamCount: return QStringLiteral("wrong number of arguments");
    default: return QStringLiteral("error %1").arg(hex(result));
    }
}

}  // namespace component
