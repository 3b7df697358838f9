// The device's format step: the system's format dialog for the player's drive, steered by the
// component's copy of the format dialog driver.
#pragma once

#include "platform/base/types.h"

/// Runs the format dialog for `drivePath` with the label "<manufacturer> <modelName>".
HRESULT RunComponentFormatDialog(const WCHAR* drivePath, const WCHAR* manufacturer, const WCHAR* modelName,
    ULONG appInstance, ULONG appThreadId, ULONG quickFormat, ULONG mainWindow);
