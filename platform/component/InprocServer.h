// The four entry points of an in-process component library, as this platform finds and calls them.
//
// Contract
//   A component library is a shared object that exports, with C linkage, exactly:
//     HResult DllCanUnloadNow();      hr::kOk when no object and no factory lock remain, else hr::kFalse
//     HResult DllGetClassObject(const QUuid& clsid, const QUuid& iid, void** object);
//                                     the class factory for `clsid`, or hr::kClassNotAvailable
//     HResult DllRegisterServer();    writes the library's entries into registry::userFile()
//     HResult DllUnregisterServer();  removes exactly those entries again
//   The platform loads it with every symbol resolved at load (RTLD_NOW), never unloads it
//   while DllCanUnloadNow says no, and looks the entry points up by these names.
#pragma once

#include "Unknown.h"

namespace component {

using DllCanUnloadNowFn = HResult (*)();
using DllGetClassObjectFn = HResult (*)(const QUuid& clsid, const QUuid& iid, void** object);
using DllRegisterServerFn = HResult (*)();
using DllUnregisterServerFn = HResult (*)();

inline constexpr char kDllCanUnloadNow[] = "DllCanUnloadNow";
inline constexpr char kDllGetClassObject[] = "DllGetClassObject";
inline constexpr char kDllRegisterServer[] = "DllRegisterServer";
inline constexpr char kDllUnregisterServer[] = "DllUnregisterServer";

}  // namespace component
