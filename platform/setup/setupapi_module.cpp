// The system module "SETUPAPI.DLL": the functions programs may load from it by name. Areas that
// add functions to the module list them in this one table.
#include "platform/setup/cabinet.h"

#include "platform/kernel/modules.h"
#include "platform/setup/device_tree.h"

namespace {

template <typename Function>
FARPROC Export(Function* function)
{
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

const yolt::SystemFunction kSetupApiFunctions[] = {
    {"SetupIterateCabinetA", Export(&SetupIterateCabinetA)},
    {"CM_Get_Device_ID_List_SizeA", Export(&CM_Get_Device_ID_List_SizeA)},
    {"CM_Get_Device_ID_ListA", Export(&CM_Get_Device_ID_ListA)},
    {"CM_Locate_DevNodeA", Export(&CM_Locate_DevNodeA)},
    {"CM_Get_DevNode_Status", Export(&CM_Get_DevNode_Status)},
    {"CM_Request_Device_EjectA", Export(&CM_Request_Device_EjectA)},
};

// Registered when the library is loaded, before any program code asks for the module.
const bool kRegistered = (yolt::RegisterSystemModule("SETUPAPI.DLL", kSetupApiFunctions,
                              sizeof kSetupApiFunctions / sizeof kSetupApiFunctions[0]),
    true);

}  // namespace
