#include "component/operations/eject.h"

#include <cstring>
#include <new>
#include <vector>

#include "component/detect/device_probe.h"
#include "component/detect/drive_walk.h"
#include "component/operations/volume_win9x.h"
#include "platform/base/errors.h"
#include "platform/kernel/modules.h"
#include "platform/kernel/time.h"
#include "platform/setup/cfgmgr.h"
#include "shared/platform_record.h"

namespace {

struct ConfigurationManager {
    HMODULE module = nullptr;
    CM_Get_Device_ID_List_SizeA_t getListSize = nullptr;
    CM_Get_Device_ID_ListA_t getList = nullptr;
    CM_Locate_DevNodeA_t locate = nullptr;
    CM_Get_DevNode_Status_t getStatus = nullptr;
    CM_Request_Device_EjectA_t requestEject = nullptr;

    ~ConfigurationManager()
    {
        if (module)
            FreeLibrary(module);
    }

    template <typename Function>
    static Function Resolve(HMODULE module, const char* name)
    {
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    }

    bool Load()
    {
        module = LoadLibraryA("SETUPAPI.DLL");
        if (!module)
            return false;
        getListSize = Resolve<CM_Get_Device_ID_List_SizeA_t>(module, "CM_Get_Device_ID_List_SizeA");
        getList = Resolve<CM_Get_Device_ID_ListA_t>(module, "CM_Get_Device_ID_ListA");
        locate = Resolve<CM_Locate_DevNodeA_t>(module, "CM_Locate_DevNodeA");
        getStatus = Resolve<CM_Get_DevNode_Status_t>(module, "CM_Get_DevNode_Status");
        requestEject = Resolve<CM_Request_Device_EjectA_t>(module, "CM_Request_Device_EjectA");
        return getListSize && getList && locate && getStatus && requestEject;
    }
};

bool IsStartedWithDriver(ULONG status)
{
    return (status & DN_STARTED) && (status & DN_DRIVER_LOADED);
}

}  // namespace

DeviceProbe::EjectReport DeviceProbe::EjectKnownUsbPlayers()
{
    EjectReport report;
    ConfigurationManager cm;
    if (!cm.Load())
        return report;
    ULONG size = 0;
    if (cm.getListSize(&size, "USB", CM_GETIDLIST_FILTER_ENUMERATOR) != CR_SUCCESS || size == 0)
        return report;
    std::vector<char> list(size + 0xFFFFFu, '\0');
    if (cm.getList("USB", list.data(), static_cast<ULONG>(list.size()), CM_GETIDLIST_FILTER_ENUMERATOR) != CR_SUCCESS)
        return report;
    report.walked = 1;
    for (char* id = list.data(); *id; id += std::strlen(id) + 1) {
        DEVINST node = 0;
        if (cm.locate(&node, id, CM_LOCATE_DEVNODE_NORMAL) != CR_SUCCESS)
            continue;
        ULONG status = 0;
        ULONG problem = 0;
        if (cm.getStatus(&status, &problem, node, 0) != CR_SUCCESS)
            continue;
        if (!IsStartedWithDriver(status))
            continue;
        _strupr(id);
        bool ejected = false;
        bool refused = false;
        for (int row = 1; row < m_rowCount; ++row) {
            if (!std::strstr(id, m_rows[row].deviceIdPattern))
                continue;
            CONFIGRET answer = cm.requestEject(node, nullptr, nullptr, 0, 0);
            if (answer == CR_SUCCESS)
                ejected = true;
            else if (answer == CR_REMOVE_VETOED)
                refused = true;
        }
        if (ejected)
            ++report.ejected;
        else if (refused)
            ++report.refused;
    }
    return report;
}

HRESULT EjectPlayer(const WCHAR* drivePath)
{
    try {
        DeviceProbe probe;
        Sleep(kEjectWaitMs);
        if (IsNtFamily()) {
            auto report = probe.EjectKnownUsbPlayers();
            if (!report.walked)
                return S_FALSE;
            if (report.refused && !report.ejected)
                return HRESULT_FROM_WIN32(ERROR_DEVICE_IN_USE);
            return S_OK;
        }
        char letter = drivePath ? static_cast<char>(drivePath[0] & 0xFF) : 0;
        if (EjectDriveWin9x(letter) == EjectOutcome::Refused)
            return HRESULT_FROM_WIN32(ERROR_DEVICE_IN_USE);
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT EjectAllPlayers()
{
    try {
        DeviceProbe probe;
        bool refusedOnce = false;
        ForEachDriveRoot([&](const WCHAR* root) {
            if (!probe.IsPlayerDrive(root, nullptr))
                return true;
            if (IsNtFamily() && refusedOnce)
                return true;
            Sleep(kEjectWaitMs);
            if (IsNtFamily()) {
                auto report = probe.EjectKnownUsbPlayers();
                refusedOnce = report.refused > 0;
                return true;
            }
            EjectDriveWin9x(static_cast<char>(root[0] & 0xFF));
            return true;
        });
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}
