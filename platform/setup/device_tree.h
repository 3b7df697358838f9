// The Configuration Manager's view of the machine's USB devices, and a record of the eject
// requests made to it (for tests and diagnostics).
#pragma once

#include <string>
#include <vector>

#include "platform/setup/cfgmgr.h"

extern "C" {
CONFIGRET CM_Get_Device_ID_List_SizeA(PULONG length, LPCSTR filter, ULONG flags);
CONFIGRET CM_Get_Device_ID_ListA(LPCSTR filter, LPSTR buffer, ULONG length, ULONG flags);
CONFIGRET CM_Locate_DevNodeA(PDEVINST node, LPSTR deviceId, ULONG flags);
CONFIGRET CM_Get_DevNode_Status(PULONG status, PULONG problem, DEVINST node, ULONG flags);
/// Detaches the device (and the drive it provides) from the machine, or refuses with
/// CR_REMOVE_VETOED when the machine marks it in use.
CONFIGRET CM_Request_Device_EjectA(DEVINST node, PPNP_VETO_TYPE vetoType, LPSTR vetoName, ULONG nameLength,
    ULONG flags);
}

namespace yolt::setup {

struct EjectRequest {
    std::string deviceId;
    CONFIGRET answer;
};

/// The eject requests made in this process, oldest first.
std::vector<EjectRequest> EjectRequests();
void ClearEjectRequests();

}  // namespace yolt::setup
