// A test library that needs a function no library defines: loading it with every symbol resolved must fail.
#include "Unknown.h"

extern "C" int tavorin_test_function_that_nobody_defines();

extern "C" __attribute__((visibility("default"))) component::HResult DllGetClassObject(const QUuid&, const QUuid&,
                                                                                       void** object)
{
    *object = nullptr;
    return tavorin_test_function_that_nobody_defines();
}
