// The device's format step: the system's format dialog for the player's drive, steered by the
// component's copy of the format dialog driver.
#pragma once

#include "component/contract/enums.h"
#include "platform/base/types.h"

/// Runs the format dialog for the drive of `drivePath` with the label "<manufacturer>
/// <modelName>" (null texts count as empty) and FAT32 preselected for the hard-disk models.
/// S_OK after a completed format, S_FALSE otherwise, E_INVALIDARG when `appInstance` is 0,
/// E_OUTOFMEMORY when the label cannot be built.
HRESULT RunComponentFormatDialog(KVXRModelType model, const WCHAR* drivePath, const WCHAR* manufacturer,
    const WCHAR* modelName, ULONG appInstance, ULONG appThreadId, ULONG quickFormat, ULONG mainWindow);
