// The storage property query on volume handles ("\\.\E:"): answered from the storage identity
// the machine gives the drive.
#include "platform/kernel/storage.h"

#include <cstring>
#include <string>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/devio.h"
#include "platform/machine/machine.h"

namespace {

bool IsVolumeName(const std::string& name)
{
    return name.size() == 2 && name[1] == ':' && name[0] >= 'A' && name[0] <= 'Z';
}

bool CanOpenVolume(const std::string& name)
{
    auto drive = yolt::machine::CurrentMachine().FindDrive(name[0]);
    if (!drive) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    return true;
}

BOOL QueryVolume(const std::string& name, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
    LPDWORD returned)
{
    if (code != IOCTL_STORAGE_QUERY_PROPERTY) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return FALSE;
    }
    STORAGE_PROPERTY_QUERY query = {};
    if (!in || inSize < 8) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::memcpy(&query, in, inSize < sizeof query ? inSize : sizeof query);
    if (query.PropertyId != StorageDeviceProperty || query.QueryType != PropertyStandardQuery) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return FALSE;
    }
    auto identity = yolt::machine::CurrentMachine().StorageIdentityOf(name[0]);
    if (!identity) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return FALSE;
    }
    if (!out || outSize < offsetof(STORAGE_DEVICE_DESCRIPTOR, RawDeviceProperties)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }

    // The strings follow the fixed part, each with its terminator.
    const DWORD fixed = offsetof(STORAGE_DEVICE_DESCRIPTOR, RawDeviceProperties);
    const std::string strings[] = {identity->vendor, identity->product, identity->revision};
    DWORD size = fixed;
    DWORD offsets[3];
    for (int i = 0; i < 3; ++i) {
        offsets[i] = size;
        size += static_cast<DWORD>(strings[i].size() + 1);
    }
    STORAGE_DEVICE_DESCRIPTOR descriptor = {};
    descriptor.Version = sizeof(STORAGE_DEVICE_DESCRIPTOR);
    descriptor.Size = size;
    descriptor.DeviceType = 0;  // direct-access device
    descriptor.RemovableMedia = identity->removableMedia ? 1 : 0;
    descriptor.BusType = identity->busType;
    bool whole = size <= outSize;
    if (whole) {
        descriptor.VendorIdOffset = offsets[0];
        descriptor.ProductIdOffset = offsets[1];
        descriptor.ProductRevisionOffset = offsets[2];
    }
    auto* bytes = static_cast<BYTE*>(out);
    std::memcpy(bytes, &descriptor, fixed);
    if (whole) {
        for (int i = 0; i < 3; ++i)
            std::memcpy(bytes + offsets[i], strings[i].c_str(), strings[i].size() + 1);
    }
    if (returned)
        *returned = whole ? size : fixed;
    return TRUE;
}

// Registers the volume device when the kernel library is loaded.
struct Registration {
    Registration() { yolt::RegisterDevice(IsVolumeName, CanOpenVolume, QueryVolume); }
} g_registration;

}  // namespace
