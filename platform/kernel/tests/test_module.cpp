// A tiny module for the loader tests: it reports each DllMain call to the test program, which
// also decides whether the attach succeeds.
#include <dlfcn.h>

#include "platform/base/types.h"

extern "C" {

__attribute__((visibility("default"))) int LoaderTestAnswer()
{
    return 42;
}

__attribute__((visibility("default"))) BOOL DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    using Observer = BOOL (*)(HINSTANCE, DWORD);
    auto observe = reinterpret_cast<Observer>(::dlsym(RTLD_DEFAULT, "LoaderTestObserveDllMain"));
    return observe ? observe(instance, reason) : TRUE;
}
}
