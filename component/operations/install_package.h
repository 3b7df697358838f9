// The operations that install a package onto a player: a firmware upgrade checked against the
// player's model, the model's recovery package, and any package under any root.
#pragma once

#include "platform/base/types.h"

/// Writes the firmware package at `path` onto `drivePath` when the upper-cased path names
/// `modelName`; E_INVALIDARG for an empty path or a package for another model.
HRESULT InstallFirmwarePackage(const WCHAR* path, const WCHAR* drivePath, const WCHAR* modelName);

/// Writes "<component folder>Recovery.<modelName>.kvu" onto `drivePath`.
HRESULT InstallRecoveryPackage(HMODULE component, const WCHAR* drivePath, const WCHAR* modelName);
