// The system module "WMVCore.dll": the functions programs may load from it by name.
#include "platform/media/wmvcore.h"

#include "platform/kernel/modules.h"

namespace {

const yolt::SystemFunction kWmvCoreFunctions[] = {
    {"WMCreateEditor", reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&WMCreateEditor))},
};

// Registered when the library is loaded, before any program code asks for the module.
const bool kRegistered = (yolt::RegisterSystemModule("WMVCore.dll", kWmvCoreFunctions,
                              sizeof kWmvCoreFunctions / sizeof kWmvCoreFunctions[0]),
    true);

}  // namespace
