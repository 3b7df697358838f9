// Ejecting players after an operation: through the Configuration Manager on the NT family,
// through the VWIN32 device on the 95 family.
#pragma once

#include "platform/base/types.h"

/// How long an eject waits for the player to finish writing, in milliseconds.
constexpr DWORD kEjectWaitMs = 6000;

/// Waits, then ejects every known player (NT family) or the drive of `drivePath` (95 family).
/// S_OK when the eject ran, S_FALSE when it could not start, 0x80070964 (device in use) when the
/// system refused every removal it was asked for, E_FAIL when memory ran out.
HRESULT EjectPlayer(const WCHAR* drivePath);

/// Ejects every drive that holds a known player, waiting before each; asks no second time once
/// the system refused. Always S_OK unless memory ran out (E_FAIL).
HRESULT EjectAllPlayers();
