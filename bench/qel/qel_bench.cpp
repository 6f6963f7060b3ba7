// Benchmark of resource reads through component creation: prints min/median/max per cycle, asserts nothing.
//
// Registers a copy of libQel.so in a temporary registry (XDG_CONFIG_HOME), then times, each
// over many samples after a warm-up, the cycles the game runs: create, set Id (and Mode), read,
// release. "tick" is one timCmd tick of the main window: its three buttons fetched anew.
#include "CreateObject.h"
#include "InprocServer.h"
#include "QelInterface.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using component::ComPtr;
using qel::_QelRes;

constexpr int kWarmUp = 500;
constexpr int kSamples = 5000;

void fetchPicture(std::int16_t id)
{
    const auto object = component::createObject<_QelRes>(qel::kClsidQelRes);
    object->Id(id);
    object->Mode(qel::kModeBitmap);
    component::IPicture* picture = nullptr;
    if (component::failed(object->GetResPicture(&picture)))
        throw std::runtime_error("picture read failed");
    picture->release();
}

void fetchString(std::int16_t id)
{
    const auto object = component::createObject<_QelRes>(qel::kClsidQelRes);
    object->Id(id);
    QString text;
    if (component::failed(object->GetResString(&text)))
        throw std::runtime_error("string read failed");
}

void measure(const char* name, const std::function<void()>& cycle)
{
    for (int i = 0; i < kWarmUp; ++i)
        cycle();
    std::vector<double> micros(kSamples);
    for (double& sample : micros) {
        const auto start = std::chrono::steady_clock::now();
        cycle();
        sample = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    }
    std::sort(micros.begin(), micros.end());
    std::printf("%-44s min %8.2f us   median %8.2f us   max %9.2f us   (%d samples)\n", name, micros.front(),
                micros[micros.size() / 2], micros.back(), kSamples);
}

}  // namespace

int main()
{
    QTemporaryDir dir;
    const QString library = QDir(dir.path()).canonicalPath() + QStringLiteral("/libQel.so");
    if (!dir.isValid() || !QFile::copy(QStringLiteral(QEL_LIBRARY), library)
        || !QFile::setPermissions(library, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                               | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther)) {
        std::fprintf(stderr, "qel_bench: cannot prepare a copy of %s\n", QEL_LIBRARY);
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
    void* handle = ::dlopen(QFile::encodeName(library).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "qel_bench: %s\n", dlerror());
        return 1;
    }
    auto* registerServer = reinterpret_cast<component::DllRegisterServerFn>(::dlsym(handle, component::kDllRegisterServer));
    if (!registerServer || component::failed(registerServer())) {
        std::fprintf(stderr, "qel_bench: registration failed\n");
        return 1;
    }

    try {
        measure("create + release", [] { component::createObject<_QelRes>(qel::kClsidQelRes); });
        measure("string cycle (GetResString 7)", [] { fetchString(7); });
        measure("picture cycle (GetResPicture bitmap 12)", [] { fetchPicture(12); });
        measure("tick: bitmaps 12, 14, 10 (goal < 50 us)", [] {
            fetchPicture(12);
            fetchPicture(14);
            fetchPicture(10);
        });
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qel_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
