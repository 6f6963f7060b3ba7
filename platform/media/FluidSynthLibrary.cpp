// Opening FluidSynth on first use and looking up its functions.
#include "FluidSynthLibrary.h"

#include <dlfcn.h>

#include <atomic>
#include <type_traits>

namespace media {

namespace {

std::atomic<bool> g_loaded{false};

const FluidSynth* open()
{
    // RTLD_LOCAL: nothing else in the program may bind to the library's symbols by accident.
    void* library = dlopen(TAVORIN_FLUIDSYNTH_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    static FluidSynth functions;
    bool complete = true;
    const auto find = [&](auto& slot, const char* name) {
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(dlsym(library, name));
        complete = complete && slot != nullptr;
    };
#define TAVORIN_FLUID_FIND(name) find(functions.name, #name);
    TAVORIN_FLUID_FUNCTIONS(TAVORIN_FLUID_FIND)
#undef TAVORIN_FLUID_FIND
    g_loaded = true;
    if (!complete)
        return nullptr;   // another library under that name: never call into it
    // Searched in the library's own dependencies: libasound comes with FluidSynth's ALSA driver.
    functions.alsaErrorHandlerSetter = reinterpret_cast<decltype(functions.alsaErrorHandlerSetter)>(
        dlsym(library, "snd_lib_error_set_handler"));
    return &functions;
}

}  // namespace

const FluidSynth* fluid()
{
    static const FluidSynth* const functions = open();
    return functions;
}

bool fluidLoaded()
{
    return g_loaded.load();
}

}  // namespace media
