// Component creation by class id and interface id: the game's only way to a component library's objects.
//
// Contract
//   createInstance looks the class up in the registry (CLSID\{clsid}\InprocServer32), checks
//   the library path (checkServerPath) and loads the very file it checked (loadServerLibrary)
//   with every symbol resolved at once, asks its DllGetClassObject for the class factory and the
//   factory for interface `iid`.
//   An entry naming a library that no longer exists (nothing at its path: a deleted build's
//   per-user registration) gives way to the entry of the next registry file, so the installed
//   game keeps working; with no such entry, the first one's "cannot be found" is the result. A
//   library that exists but fails the path check is refused, never passed over.
//   On success *object holds that interface with one reference the caller owns (release it,
//   or adopt it into a ComPtr). On failure *object is null, the result says which step failed
//   and *reason (when given) is one sentence naming the class id and the reason. Nothing
//   throws out of it and a misbehaving library is reported, not followed into a crash.
//   Loaded libraries stay loaded for the life of the process, so an object is never left
//   without its code.
//
//   createObject<T> is the form for event handlers: it throws
//   errors::AppError(errors::kCannotCreateObject, reason) instead of returning a result.
//
//   resultText turns a result code into a short English phrase for reports.
#pragma once

#include "AppError.h"
#include "ComPtr.h"
#include "Unknown.h"

#include <QString>

namespace component {

HResult createInstance(const QUuid& clsid, const QUuid& iid, void** object, QString* reason = nullptr) noexcept;

// hr::kOk when `path` may be loaded as a component library:
//   - an absolute path naming a regular file (after symbolic links);
//   - the file belongs to root or to the user running the game, and neither its group nor
//     others can write it;
//   - no one else can swap it: every folder the path passes through (the folders of each
//     symbolic link's target included) belongs to root or the user, and others (or a group
//     with anyone but the user in it) cannot write it unless it is sticky; the user's own
//     personal group may (folders made under umask 002); a symbolic link followed in a sticky
//     folder belongs to root or the user.
// hr::kModuleNotFound if there is no such file, hr::kBadFormat for a shared object cut short
// (its segments run past the end of the file, which would crash the loader), hr::kAccessDenied
// otherwise. *reason (when given) names the path and why it was refused.
HResult checkServerPath(const QString& path, QString* reason = nullptr) noexcept;

// Checks `path` as checkServerPath does and loads the very file it checked: the file is opened
// once, checked through its descriptor and loaded through that descriptor, so a file swapped in
// between is never loaded. On success *handle is the dlopen handle (RTLD_NOW | RTLD_LOCAL); the
// library is known to the loader and to dladdr as "/proc/self/fd/<n>", a descriptor kept open
// for the life of the process, whose link names the library's real path. Failures as
// checkServerPath, and hr::kBadFormat when dlopen refuses the file (its reason names `path`).
HResult loadServerLibrary(const QString& path, void** handle, QString* reason = nullptr) noexcept;

QString resultText(HResult result);

template <class T>
ComPtr<T> createObject(const QUuid& clsid, const QUuid& iid = T::kIid)
{
    void* raw = nullptr;
    QString reason;
    if (failed(createInstance(clsid, iid, &raw, &reason)))
        throw errors::AppError(errors::kCannotCreateObject, reason.toStdString());
    return ComPtr<T>::adopt(static_cast<T*>(raw));
}

}  // namespace component
