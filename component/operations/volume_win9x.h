// Ejecting a drive on the 95 family through the VWIN32 device's DOS block-device requests.
#pragma once

#include "platform/base/types.h"

/// How an eject ended.
enum class EjectOutcome { Ejected, Refused };

/// Resets, locks, releases the medium's locks, ejects and unlocks the drive of `letter`.
/// Refused when the volume device could not be opened or the lock, the release of the medium's
/// locks or the eject failed, so the caller never tells the user to unplug a drive in use.
EjectOutcome EjectDriveWin9x(char letter);

BOOL ResetDrive(HANDLE vwin32, BYTE drive);
BOOL LockVolume(HANDLE vwin32, BYTE drive, BYTE level, WORD permissions);
BOOL UnlockVolume(HANDLE vwin32, BYTE drive);
BOOL ReleaseMediaLocks(HANDLE vwin32, BYTE drive);
BOOL EjectMedia(HANDLE vwin32, BYTE drive);
