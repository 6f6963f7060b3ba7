// Component creation: registry lookup, path check, loading the library and asking its class factory.
#include "CreateObject.h"

#include "InprocServer.h"
#include "Registry.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <limits>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <utility>

namespace component {
namespace {

QString hex(HResult result)
{
    return QStringLiteral("0x") + QString::number(static_cast<quint32>(result), 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

// Why the open shared object `fd` (found at `path`) cannot be loaded whole, or an empty text. The
// dynamic loader maps a library's segments straight from the file and touches them; a file cut
// short (an interrupted copy or install) would then end the program with SIGBUS instead of an
// error. Anything that is not an ELF file of this machine's class is left to dlopen to refuse,
// and so is a file too short for an ELF header (nothing is read from it: /proc files show size 0).
QString cutOffLibrary(int fd, qint64 size)
{
    ElfW(Ehdr) header{};
    const auto readAt = [fd](void* into, size_t count, quint64 offset) {
        return offset <= quint64(std::numeric_limits<off_t>::max()) &&
               ::pread(fd, into, count, off_t(offset)) == ssize_t(count);
    };
    if (size < qint64(sizeof header))
        return QString();
    if (!readAt(&header, sizeof header, 0) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32))
        return QString();
    const auto cutOff = [&](quint64 needed) {
        return QStringLiteral("the file is cut off (%1 of %2 bytes)").arg(size).arg(needed);
    };
    if (header.e_phnum == 0 || header.e_phentsize != sizeof(ElfW(Phdr)))
        return QString();   // not a loadable object of this machine: dlopen says why
    const quint64 tableEnd = quint64(header.e_phoff) + quint64(header.e_phnum) * sizeof(ElfW(Phdr));
    if (tableEnd > quint64(size))
        return cutOff(tableEnd);
    for (int i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) segment{};
        if (!readAt(&segment, sizeof segment, quint64(header.e_phoff) + quint64(i) * sizeof segment))
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
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
};
std::mutex g_wholeMutex;
std::optional<WholeFile> g_whole;

bool sameFile(const WholeFile& known, const struct stat& st)
{
    return known.device == st.st_dev && known.inode == st.st_ino && known.size == st.st_size &&
           known.modified.tv_sec == st.st_mtim.tv_sec && known.modified.tv_nsec == st.st_mtim.tv_nsec;
}

bool knownWhole(const struct stat& st)
{
    const std::lock_guard guard(g_wholeMutex);
    return g_whole && sameFile(*g_whole, st);
}

void rememberWhole(const struct stat& st)
{
    const std::lock_guard guard(g_wholeMutex);
    g_whole = WholeFile{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
}

bool trusted(uid_t owner)
{
    return owner == 0 || owner == ::geteuid();
}

// True when `gid` is the user's own group and nobody else's: the user's primary group, named
// after the user, listing no other member (the personal groups of Debian and Ubuntu, under whose
// umask 002 folders come out group-writable).
bool personalGroup(gid_t gid)
{
    if (gid != ::getegid())
        return false;
    const struct passwd* user = ::getpwuid(::geteuid());
    if (!user)
        return false;
    const QByteArray login = user->pw_name;
    const struct group* group = ::getgrgid(gid);
    if (!group || login != group->gr_name)
        return false;
    for (char** member = group->gr_mem; member && *member; ++member)
        if (login != *member)
            return false;
    return true;
}

// Why someone other than root and the user running the game could change what is inside the
// folder `name`, or an empty text. A folder that others (or a group with others in it) may write
// is safe only when it is sticky (only an entry's owner may rename or remove it) and belongs to
// root or the user.
QString unsafeFolder(const QByteArray& name, const struct stat& st)
{
    const QString folder = QFile::decodeName(name);
    if (!trusted(st.st_uid))
        return QStringLiteral("the folder %1 belongs to another user").arg(folder);
    const bool othersWrite = (st.st_mode & S_IWOTH) != 0 || ((st.st_mode & S_IWGRP) != 0 && !personalGroup(st.st_gid));
    if (othersWrite && (st.st_mode & S_ISVTX) == 0)
        return QStringLiteral("the folder %1 can be written by its group or by others").arg(folder);
    return QString();
}

QByteArray parentFolder(const QByteArray& folder)
{
    const qsizetype slash = folder.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : folder.left(slash);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Follows `path` from the root folder as the kernel does, checking every folder it looks into
// and every symbolic link it follows, and sets *found to what the path names in the end.
HResult walkPath(const QString& path, struct stat* found, QString* why)
{
    constexpr int kMaxLinks = 40;   // the kernel's own limit
    const auto missing = [&](int error) {
        *why = QStringLiteral("library %1 cannot be found: %2").arg(path, systemError(error));
        return error == ENOENT || error == ENOTDIR ? hr::kModuleNotFound : hr::kAccessDenied;
    };
    const auto swappable = [&](const QString& because) {
        *why = QStringLiteral("library %1 can be swapped by others: %2").arg(path, because);
        return hr::kAccessDenied;
    };
    QByteArrayList pending = QFile::encodeName(path).split('/');
    QByteArray folder = "/";
    struct stat folderStat{};
    if (::lstat("/", &folderStat) != 0)
        return missing(errno);
    if (const QString unsafe = unsafeFolder(folder, folderStat); !unsafe.isEmpty())
        return swappable(unsafe);
    int links = 0;
    while (!pending.isEmpty()) {
        const QByteArray name = pending.takeFirst();
        if (name.isEmpty() || name == ".")
            continue;
        if (name == "..") {   // the folder above was looked into on the way here
            folder = parentFolder(folder);
            if (::lstat(folder.constData(), &folderStat) != 0)
                return missing(errno);
            continue;
        }
        const QByteArray entry = folder == "/" ? "/" + name : folder + '/' + name;
        struct stat st{};
        if (::lstat(entry.constData(), &st) != 0)
            return missing(errno);
        if (S_ISLNK(st.st_mode)) {
            if (++links > kMaxLinks)
                return missing(ELOOP);
            // In a sticky folder that others write, the link's owner may replace it at will.
            if ((folderStat.st_mode & S_ISVTX) != 0 && !trusted(st.st_uid))
                return swappable(QStringLiteral("the symbolic link %1 belongs to another user").arg(QFile::decodeName(entry)));
            QByteArray target(PATH_MAX, Qt::Uninitialized);
            const ssize_t length = ::readlink(entry.constData(), target.data(), size_t(target.size()));
            if (length < 0)
                return missing(errno);
            if (length >= target.size())
                return missing(ENAMETOOLONG);
            target.truncate(length);
            if (target.startsWith('/')) {
                folder = "/";
                ::lstat("/", &folderStat);
            }
            pending = target.split('/') + pending;
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            if (const QString unsafe = unsafeFolder(entry, st); !unsafe.isEmpty())
                return swappable(unsafe);
            folder = entry;
            folderStat = st;
            continue;
        }
        for (const QByteArray& rest : pending) {
            if (!rest.isEmpty())
                return missing(ENOTDIR);   // a path through a file
        }
        *found = st;
        return hr::kOk;
    }
    *found = folderStat;   // the path names a folder
    return hr::kOk;
}

// Checks the library at `path` and opens it once: on success *fd is a descriptor of the very
// file that was checked (the caller closes it) and *st what fstat says about it.
HResult openChecked(const QString& path, int* fd, struct stat* st, QString* why)
{
    if (path.isEmpty()) {
        *why = QStringLiteral("no library path is registered");
        return hr::kModuleNotFound;
    }
    if (!QDir::isAbsolutePath(path)) {
        *why = QStringLiteral("library path %1 is not absolute").arg(path);
        return hr::kAccessDenied;
    }
    struct stat named{};
    if (const HResult result = walkPath(path, &named, why); failed(result))
        return result;
    const auto refuse = [&](const QString& text) {
        *why = QStringLiteral("library %1 %2").arg(path, text);
        return hr::kAccessDenied;
    };
    if (!S_ISREG(named.st_mode))
        return refuse(QStringLiteral("is not a regular file"));   // checked before opening: a FIFO would block
    const int opened = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (opened < 0) {
        const int error = errno;
        *why = QStringLiteral("library %1 cannot be found: %2").arg(path, systemError(error));
        return error == ENOENT || error == ENOTDIR ? hr::kModuleNotFound : hr::kAccessDenied;
    }
    const auto close = [opened](HResult result) {
        ::close(opened);
        return result;
    };
    if (::fstat(opened, st) != 0)
        return close(refuse(QStringLiteral("cannot be examined: %1").arg(systemError(errno))));
    if (st->st_dev != named.st_dev || st->st_ino != named.st_ino)
        return close(refuse(QStringLiteral("was replaced while it was being checked")));
    if ((st->st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return close(refuse(QStringLiteral("can be written by its group or by others")));
    if (!trusted(st->st_uid))
        return close(refuse(QStringLiteral("belongs to another user (uid %1)").arg(st->st_uid)));
    if (!knownWhole(*st)) {
        if (const QString cut = cutOffLibrary(opened, st->st_size); !cut.isEmpty()) {
            *why = QStringLiteral("library %1 cannot be loaded: %2").arg(path, cut);
            return close(hr::kBadFormat);
        }
        rememberWhole(*st);
    }
    *fd = opened;
    return hr::kOk;
}

// Library files are loaded through an open descriptor ("/proc/self/fd/N"), so that the file
// loaded is the file checked. The loader knows each library by that name and finds it again by
// name, and dladdr reports it, so the descriptor of every file handed to dlopen stays open for
// the life of the process: the name never comes to mean another file, and it still resolves to
// the library's real path. Loaded libraries are also remembered by file, with their
// DllGetClassObject. Entries are never removed.
using FileKey = std::pair<dev_t, ino_t>;
std::mutex g_loaderMutex;
std::map<FileKey, int> g_loadedFiles;   // file -> the descriptor it was loaded through
std::map<FileKey, DllGetClassObjectFn> g_servers;

QByteArray descriptorPath(int fd)
{
    return "/proc/self/fd/" + QByteArray::number(fd);
}

// dlopen of the checked file open on `fd`, which this takes over. Expects g_loaderMutex held.
HResult dlopenChecked(const QString& path, int fd, const struct stat& st, void** handle, QString* why)
{
    const FileKey key{st.st_dev, st.st_ino};
    int loadFd = fd;
    if (const auto known = g_loadedFiles.find(key); known != g_loadedFiles.end()) {
        ::close(fd);   // the same file (its inode is held open): load it by the name it has already
        loadFd = known->second;
    }
    const QByteArray name = descriptorPath(loadFd);
    dlerror();
    *handle = ::dlopen(name.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!*handle) {
        const char* error = dlerror();
        QString text = QString::fromLocal8Bit(error ? error : "unknown error");
        text.replace(QFile::decodeName(name) + QLatin1Char(':'), path + QLatin1Char(':'));   // report the real name
        *why = QStringLiteral("library %1 cannot be loaded: %2").arg(path, text);
        if (loadFd == fd)
            ::close(fd);
        return hr::kBadFormat;
    }
    g_loadedFiles.emplace(key, loadFd);
    return hr::kOk;
}

HResult loadServer(const QString& path, DllGetClassObjectFn* getClassObject, QString* why)
{
    int fd = -1;
    struct stat st{};
    if (const HResult result = openChecked(path, &fd, &st, why); failed(result))
        return result;
    const std::lock_guard guard(g_loaderMutex);
    if (const auto it = g_servers.find({st.st_dev, st.st_ino}); it != g_servers.end()) {
        ::close(fd);
        *getClassObject = it->second;
        return hr::kOk;
    }
    void* handle = nullptr;
    if (const HResult result = dlopenChecked(path, fd, st, &handle, why); failed(result))
        return result;
    void* symbol = ::dlsym(handle, kDllGetClassObject);
    if (!symbol) {
        *why = QStringLiteral("library %1 has no entry point %2").arg(path, QLatin1String(kDllGetClassObject));
        ::dlclose(handle);
        return hr::kProcNotFound;
    }
    *getClassObject = reinterpret_cast<DllGetClassObjectFn>(symbol);
    g_servers.emplace(FileKey{st.st_dev, st.st_ino}, *getClassObject);
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
        int fd = -1;
        struct stat st{};
        QString why;
        const HResult result = openChecked(path, &fd, &st, &why);
        if (failed(result)) {
            if (reason)
                *reason = why;
            return result;
        }
        ::close(fd);
        return hr::kOk;
    } catch (...) {
        return hr::kOutOfMemory;
    }
}

HResult loadServerLibrary(const QString& path, void** handle, QString* reason) noexcept
{
    if (!handle)
        return hr::kPointer;
    *handle = nullptr;
    try {
        int fd = -1;
        struct stat st{};
        QString why;
        HResult result = openChecked(path, &fd, &st, &why);
        if (succeeded(result)) {
            const std::lock_guard guard(g_loaderMutex);
            result = dlopenChecked(path, fd, st, handle, &why);
        }
        if (failed(result) && reason)
            *reason = why;
        return result;
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
