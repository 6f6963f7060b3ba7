// The library swapped in for a checked one by the library path tests: it only says that it was loaded.
#include <cstdlib>

namespace {

[[gnu::constructor]] void SayLoaded()
{
    ::setenv("TAVORIN_EDGES_SWAPPED_IN_LOADED", "1", 1);
}

}  // namespace
