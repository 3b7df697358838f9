#include "platform/kernel/devio.h"

#include <mutex>
#include <optional>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/handles.h"

namespace yolt {

namespace {

struct DeviceEntry {
    std::function<bool(const std::string&)> matches;
    DeviceOpenCheck canOpen;
    DeviceRequestHandler handler;
};

// An opened device: its name and the handler its requests go to.
class DeviceObject final : public kernel::KernelObject {
public:
    std::string name;
    DeviceRequestHandler handler;
};

// Function-local so that devices registered from other libraries' static initialisers find
// the list ready.
std::mutex& DevicesLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<DeviceEntry>& Devices()
{
    static std::vector<DeviceEntry> devices;
    return devices;
}

std::string UpperAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    }
    return text;
}

}  // namespace

void RegisterDevice(std::function<bool(const std::string& name)> matches, DeviceOpenCheck canOpen,
    DeviceRequestHandler handler)
{
    std::lock_guard guard(DevicesLock());
    Devices().push_back(DeviceEntry{std::move(matches), std::move(canOpen), std::move(handler)});
}

HANDLE OpenDevice(const std::string& name)
{
    std::string upper = UpperAscii(name);
    std::optional<DeviceEntry> found;
    {
        std::lock_guard guard(DevicesLock());
        for (auto it = Devices().rbegin(); it != Devices().rend(); ++it) {
            if (it->matches && it->matches(upper)) {
                found = *it;
                break;
            }
        }
    }
    if (!found || !found->handler) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (found->canOpen && !found->canOpen(upper))
        return INVALID_HANDLE_VALUE;
    auto device = std::make_shared<DeviceObject>();
    device->name = upper;
    device->handler = found->handler;
    SetLastError(ERROR_SUCCESS);
    return kernel::AddHandle(std::move(device));
}

}  // namespace yolt

extern "C" BOOL DeviceIoControl(HANDLE handle, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
    LPDWORD returned, LPOVERLAPPED)
{
    if (returned)
        *returned = 0;
    auto object = yolt::kernel::LookupHandle(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto device = std::dynamic_pointer_cast<yolt::DeviceObject>(object);
    if (!device) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return FALSE;
    }
    DWORD ignored = 0;
    return device->handler(device->name, code, in, inSize, out, outSize, returned ? returned : &ignored);
}
