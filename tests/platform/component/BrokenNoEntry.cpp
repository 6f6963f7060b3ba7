// A test library that exports DllCanUnloadNow but none of the other entry points.
#include "Unknown.h"

extern "C" __attribute__((visibility("default"))) component::HResult DllCanUnloadNow()
{
    return component::hr::kOk;
}
