#include "platform/machine/machine.h"

#include <algorithm>

#include "platform/base/wtext.h"

namespace yolt::machine {

namespace {
bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && _strnicmp(a.data(), b.data(), a.size()) == 0;
}
}  // namespace

std::optional<Drive> Machine::FindDrive(char letter)
{
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 32);
    for (auto& d : Drives()) {
        if (d.letter == letter)
            return d;
    }
    return std::nullopt;
}

Drive HostRootDrive()
{
    Drive z;
    z.letter = 'Z';
    z.kind = DriveKind::Fixed;
    z.fileSystem = "NTFS";
    z.folder = "/";
    z.fatRules = false;
    return z;
}

MemoryMachine::MemoryMachine(bool virtualClock)
{
    if (virtualClock)
        m_clock = std::make_unique<VirtualClock>();
    else
        m_clock = std::make_unique<RealClock>();
}

std::vector<Drive> MemoryMachine::Drives()
{
    std::vector<Drive> all = drives;
    if (std::none_of(all.begin(), all.end(), [](const Drive& d) { return d.letter == 'Z'; }))
        all.push_back(HostRootDrive());
    std::sort(all.begin(), all.end(), [](const Drive& a, const Drive& b) { return a.letter < b.letter; });
    return all;
}

std::optional<StorageIdentity> MemoryMachine::StorageIdentityOf(char letter)
{
    for (auto& [l, id] : identities) {
        if (l == letter)
            return id;
    }
    return std::nullopt;
}

bool MemoryMachine::IsModuleMissing(std::string_view module)
{
    return std::any_of(missingModules.begin(), missingModules.end(),
        [&](const std::string& m) { return SameName(m, module); });
}

bool MemoryMachine::IsFunctionMissing(std::string_view module, std::string_view function)
{
    return std::any_of(missingFunctions.begin(), missingFunctions.end(),
        [&](const auto& mf) { return SameName(mf.first, module) && mf.second == function; });
}

bool MemoryMachine::DetachUsbDevice(const std::string& deviceId)
{
    auto it = std::find_if(devices.begin(), devices.end(), [&](const UsbDevice& d) { return d.deviceId == deviceId; });
    if (it == devices.end())
        return false;
    char letter = it->drive;
    UsbDevice former = *it;
    former.drive = 0;
    std::erase_if(unpluggedDevices, [&](const UsbDevice& d) { return d.deviceId == deviceId; });
    unpluggedDevices.push_back(former);
    devices.erase(it);
    if (letter) {
        std::erase_if(drives, [&](const Drive& d) { return d.letter == letter; });
        std::erase_if(identities, [&](const auto& entry) { return entry.first == letter; });
    }
    return true;
}

bool MemoryMachine::SetDriveLabel(char letter, const std::string& label)
{
    for (auto& d : drives) {
        if (d.letter == letter) {
            d.label = label;
            return true;
        }
    }
    return false;
}

bool MemoryMachine::SetDriveFileSystem(char letter, const std::string& fileSystem)
{
    for (auto& d : drives) {
        if (d.letter == letter) {
            d.fileSystem = fileSystem;
            return true;
        }
    }
    return false;
}

}  // namespace yolt::machine
