// The walk over the machine's drive roots that finds the attached player.
#pragma once

#include "component/detect/device_probe.h"

/// Tests every drive root in letter order and stops at the first player; fills `model` and the
/// upper-cased root (260 units) of that player. False when no player is attached or the drive
/// list cannot be read. Throws std::bad_alloc when a string cannot be stored.
bool FindFirstPlayer(DeviceProbe& probe, KVXRModelType* model, WCHAR* root);

/// Calls `visit` with each upper-cased drive root in letter order until it returns false.
template <typename Visit>
void ForEachDriveRoot(Visit visit);

#include "component/detect/drive_walk_impl.h"
