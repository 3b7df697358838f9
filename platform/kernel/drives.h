// Drives of the machine: their list, types, sizes and volume information.
#pragma once

#include "platform/base/types.h"

#define DRIVE_UNKNOWN 0
#define DRIVE_NO_ROOT_DIR 1
#define DRIVE_REMOVABLE 2
#define DRIVE_FIXED 3
#define DRIVE_REMOTE 4
#define DRIVE_CDROM 5
#define DRIVE_RAMDISK 6

extern "C" {
/// The type of the drive of a root ("E:\"); DRIVE_NO_ROOT_DIR for a letter without a drive.
UINT GetDriveTypeA(LPCSTR root);
UINT GetDriveTypeW(LPCWSTR root);
/// "C:\<0>E:\<0><0>" for the present drives; returns the length without the final zero, or the
/// size needed when the buffer is too small.
DWORD GetLogicalDriveStringsA(DWORD size, LPSTR buffer);
DWORD GetLogicalDriveStringsW(DWORD size, LPWSTR buffer);
DWORD GetLogicalDrives();
/// Sizes of the volume holding `folder`: total = declared capacity, free = capacity minus content.
BOOL GetDiskFreeSpaceExA(LPCSTR folder, PULARGE_INTEGER available, PULARGE_INTEGER total, PULARGE_INTEGER free);
BOOL GetDiskFreeSpaceExW(LPCWSTR folder, PULARGE_INTEGER available, PULARGE_INTEGER total, PULARGE_INTEGER free);
BOOL GetVolumeInformationA(LPCSTR root, LPSTR label, DWORD labelSize, LPDWORD serial, LPDWORD maxComponent,
    LPDWORD flags, LPSTR fileSystem, DWORD fileSystemSize);
BOOL GetVolumeInformationW(LPCWSTR root, LPWSTR label, DWORD labelSize, LPDWORD serial, LPDWORD maxComponent,
    LPDWORD flags, LPWSTR fileSystem, DWORD fileSystemSize);
/// Sets a drive's label; labels longer than 11 characters fail with ERROR_INVALID_NAME.
BOOL SetVolumeLabelA(LPCSTR root, LPCSTR label);
BOOL SetVolumeLabelW(LPCWSTR root, LPCWSTR label);
}
