// Device I/O control. A handle opened on a device path ("\\.\E:", "\\.\vwin32") is routed to
// the handler registered for that path; later platform areas register their devices here.
#pragma once

#include <functional>
#include <string>

#include "platform/base/types.h"
#include "platform/kernel/files.h"

#define IOCTL_STORAGE_QUERY_PROPERTY 0x002D1400
#define VWIN32_DIOC_DOS_IOCTL 1

extern "C" {
BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
    LPDWORD returned, LPOVERLAPPED overlapped);
}

namespace yolt {

/// Answers one request on an opened device; returns FALSE with the last error set on failure.
/// `devicePath` is the device's name as opened, after "\\.\" and upper-cased ("E:", "VWIN32").
using DeviceRequestHandler = std::function<BOOL(const std::string& devicePath, DWORD code, LPVOID in,
    DWORD inSize, LPVOID out, DWORD outSize, LPDWORD returned)>;

/// Decides whether a device can be opened (sets the last error and returns false if not); it is
/// given the same upper-cased name.
using DeviceOpenCheck = std::function<bool(const std::string& devicePath)>;

/// Registers the handler for device paths that match `matches` (the name after "\\.\", upper-cased,
/// such as "E:" or "VWIN32").
void RegisterDevice(std::function<bool(const std::string& name)> matches, DeviceOpenCheck canOpen,
    DeviceRequestHandler handler);

/// Opens a handle on the device of that name (the part after "\\.\"), as CreateFile does for
/// device paths: the handler registered last that matches wins; none gives ERROR_FILE_NOT_FOUND.
HANDLE OpenDevice(const std::string& name);

}  // namespace yolt
