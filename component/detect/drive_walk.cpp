#include "component/detect/drive_walk.h"

bool FindFirstPlayer(DeviceProbe& probe, KVXRModelType* model, WCHAR* root)
{
    bool found = false;
    ForEachDriveRoot([&](const WCHAR* candidate) {
        KVXRModelType candidateModel = eMODEL_Unknown;
        if (!probe.IsPlayerDrive(candidate, &candidateModel))
            return true;
        *model = candidateModel;
        wcscpy(root, candidate);
        found = true;
        return false;
    });
    return found;
}
