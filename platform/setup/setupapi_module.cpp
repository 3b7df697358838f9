// The system module "SETUPAPI.DLL": the functions programs may load from it by name. Areas that
// add functions to the module list them in this one table.
#include "platform/setup/cabinet.h"

#include "platform/kernel/modules.h"

namespace {

const yolt::SystemFunction kSetupApiFunctions[] = {
    {"SetupIterateCabinetA", reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&SetupIterateCabinetA))},
};

// Registered when the library is loaded, before any program code asks for the module.
const bool kRegistered = (yolt::RegisterSystemModule("SETUPAPI.DLL", kSetupApiFunctions,
                              sizeof kSetupApiFunctions / sizeof kSetupApiFunctions[0]),
    true);

}  // namespace
