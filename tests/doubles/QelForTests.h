// Registers the freshly built Qel in a private configuration folder, for tests that read resources.
#pragma once

#include "InprocServer.h"
#include "PrivateConfig.h"

#include <dlfcn.h>
#include <memory>
#include <stdexcept>
#include <string>

// Points XDG_CONFIG_HOME at a fresh temporary folder and registers `library` there (its
// DllRegisterServer writes the per-user registry). The folder lives as long as the object.
class QelForTests {
public:
    explicit QelForTests(const char* library)
    {
        void* handle = ::dlopen(library, RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            throw std::runtime_error(std::string("cannot load ") + library + ": " + ::dlerror());
        auto entry = reinterpret_cast<component::DllRegisterServerFn>(::dlsym(handle, component::kDllRegisterServer));
        if (!entry || component::failed(entry()))
            throw std::runtime_error(std::string("cannot register ") + library);
    }
    QString ConfigHome() const { return m_config.path(); }

private:
    PrivateConfig m_config;
};
