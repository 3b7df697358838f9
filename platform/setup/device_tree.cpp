#include "platform/setup/device_tree.h"

#include <cstring>
#include <mutex>
#include <optional>

#include "platform/base/wtext.h"
#include "platform/machine/machine.h"

namespace {

std::mutex g_lock;
// Device nodes are numbered by the order in which their identifiers were first located, so a
// node number stays valid for as long as the process runs.
std::vector<std::string> g_nodes;
std::vector<yolt::setup::EjectRequest> g_requests;

bool SameText(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && _strnicmp(a.c_str(), b.c_str(), a.size()) == 0;
}

bool MatchesEnumerator(const std::string& id, LPCSTR filter, ULONG flags)
{
    if (!(flags & CM_GETIDLIST_FILTER_ENUMERATOR) || !filter)
        return true;
    auto slash = id.find('\\');
    return SameText(id.substr(0, slash), filter);
}

std::string ListOf(LPCSTR filter, ULONG flags)
{
    std::string list;
    for (const auto& device : yolt::machine::CurrentMachine().UsbDevices()) {
        if (!MatchesEnumerator(device.deviceId, filter, flags))
            continue;
        list += device.deviceId;
        list += '\0';
    }
    list += '\0';
    return list;
}

std::optional<yolt::machine::UsbDevice> DeviceOf(DEVINST node)
{
    std::string id;
    {
        std::lock_guard guard(g_lock);
        if (node == 0 || node > g_nodes.size())
            return std::nullopt;
        id = g_nodes[node - 1];
    }
    for (const auto& device : yolt::machine::CurrentMachine().UsbDevices()) {
        if (SameText(device.deviceId, id))
            return device;
    }
    return std::nullopt;
}

}  // namespace

extern "C" CONFIGRET CM_Get_Device_ID_List_SizeA(PULONG length, LPCSTR filter, ULONG flags)
{
    if (!length)
        return CR_INVALID_POINTER;
    *length = static_cast<ULONG>(ListOf(filter, flags).size());
    return CR_SUCCESS;
}

extern "C" CONFIGRET CM_Get_Device_ID_ListA(LPCSTR filter, LPSTR buffer, ULONG length, ULONG flags)
{
    if (!buffer)
        return CR_INVALID_POINTER;
    std::string list = ListOf(filter, flags);
    if (list.size() > length)
        return CR_BUFFER_SMALL;
    std::memcpy(buffer, list.data(), list.size());
    return CR_SUCCESS;
}

extern "C" CONFIGRET CM_Locate_DevNodeA(PDEVINST node, LPSTR deviceId, ULONG flags)
{
    if (!node)
        return CR_INVALID_POINTER;
    if (!deviceId)
        return CR_INVALID_DEVICE_ID;
    std::string id = deviceId;
    bool present = false;
    for (const auto& device : yolt::machine::CurrentMachine().UsbDevices())
        present = present || SameText(device.deviceId, id);
    if (!present)
        return CR_NO_SUCH_DEVNODE;
    std::lock_guard guard(g_lock);
    for (size_t i = 0; i < g_nodes.size(); ++i) {
        if (SameText(g_nodes[i], id)) {
            *node = static_cast<DEVINST>(i + 1);
            return CR_SUCCESS;
        }
    }
    g_nodes.push_back(id);
    *node = static_cast<DEVINST>(g_nodes.size());
    return CR_SUCCESS;
}

extern "C" CONFIGRET CM_Get_DevNode_Status(PULONG status, PULONG problem, DEVINST node, ULONG flags)
{
    if (!status || !problem)
        return CR_INVALID_POINTER;
    auto device = DeviceOf(node);
    if (!device)
        return CR_NO_SUCH_DEVNODE;
    *status = device->status;
    *problem = device->problem;
    return CR_SUCCESS;
}

extern "C" CONFIGRET CM_Request_Device_EjectA(DEVINST node, PPNP_VETO_TYPE vetoType, LPSTR vetoName,
    ULONG nameLength, ULONG flags)
{
    auto device = DeviceOf(node);
    if (!device) {
        // A node that went away (ejected by an earlier request) is still a request made.
        std::string id;
        {
            std::lock_guard guard(g_lock);
            if (node >= 1 && node <= g_nodes.size())
                id = g_nodes[node - 1];
            g_requests.push_back({id, CR_NO_SUCH_DEVNODE});
        }
        return CR_NO_SUCH_DEVNODE;
    }
    CONFIGRET answer = CR_SUCCESS;
    if (device->inUse) {
        answer = CR_REMOVE_VETOED;
        if (vetoType)
            *vetoType = PNP_VetoOutstandingOpen;
        if (vetoName && nameLength > 0)
            vetoName[0] = 0;
    } else if (!yolt::machine::CurrentMachine().DetachUsbDevice(device->deviceId)) {
        answer = CR_FAILURE;
    }
    std::lock_guard guard(g_lock);
    g_requests.push_back({device->deviceId, answer});
    return answer;
}

namespace yolt::setup {

std::vector<EjectRequest> EjectRequests()
{
    std::lock_guard guard(g_lock);
    return g_requests;
}

void ClearEjectRequests()
{
    std::lock_guard guard(g_lock);
    g_requests.clear();
}

}  // namespace yolt::setup
