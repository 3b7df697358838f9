#include "tools/yolt-machine/show.h"

#include <cstdio>
#include <iomanip>

#include <nlohmann/json.hpp>

namespace yolt::tools {

namespace {
using machine::Drive;
using machine::DriveKind;
using machine::MachineDescription;
using Json = nlohmann::ordered_json;

const char* KindName(DriveKind kind)
{
    switch (kind) {
    case DriveKind::Removable:
        return "removable";
    case DriveKind::Fixed:
        return "fixed";
    case DriveKind::Remote:
        return "remote";
    case DriveKind::CdRom:
        return "cdrom";
    case DriveKind::RamDisk:
        return "ramdisk";
    }
    return "unknown";
}

std::string Hex(uint64_t value, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

std::string VersionText(const machine::SystemVersion& v)
{
    char text[32];
    std::snprintf(text, sizeof text, v.platformId == 1 ? "%u.%02u" : "%u.%u", v.major, v.minor);
    return text;
}

// The bytes of the regular files below a drive's folder.
uint64_t UsedBytes(const std::filesystem::path& folder)
{
    uint64_t used = 0;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        std::error_code sizeError;
        if (it->is_regular_file(sizeError))
            used += it->file_size(sizeError);
    }
    return used;
}

const machine::UsbDevice* DeviceAt(const MachineDescription& d, char letter)
{
    for (const auto& device : d.devices) {
        if (device.drive == letter)
            return &device;
    }
    return nullptr;
}

const machine::StorageIdentity* IdentityOf(const MachineDescription& d, char letter)
{
    for (const auto& [l, identity] : d.identities) {
        if (l == letter)
            return &identity;
    }
    return nullptr;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}
}  // namespace

void PrintMachine(machine::SimulatedMachine& m, std::ostream& out)
{
    MachineDescription d = m.Description();
    const auto& v = d.version;
    out << "Machine   " << m.Folder().string() << "\n";
    out << "System    " << d.systemDescription << " (" << d.systemName << "): "
        << (v.platformId == 2 ? "NT" : "95") << " family, version " << VersionText(v) << ", build " << v.build
        << ", " << (v.csdVersion.empty() ? "no service pack text" : Quoted(v.csdVersion)) << "\n";
    out << "          extended version query " << (v.extendedQueryWorks ? "works" : "fails")
        << ", product type " << int(v.productType) << "\n";
    out << "Locale    " << Hex(d.locale.threadLocale, 4) << ", ANSI code page " << d.locale.ansiCodePage
        << " (the locale reports " << Quoted(d.locale.localeAnsiCodePage) << "), OEM code page "
        << d.locale.oemCodePage << "\n";
    out << "Clock     " << (d.virtualClock ? "virtual" : "real") << "\n";

    out << "Drives\n";
    for (const auto& drive : m.Drives()) {
        out << "  " << drive.letter << ":  " << std::left << std::setw(10) << KindName(drive.kind);
        if (drive.letter == 'Z') {
            out << "the host's root /\n";
            continue;
        }
        out << std::right << std::setw(15) << drive.capacity << " bytes, " << std::setw(12) << UsedBytes(drive.folder)
            << " used  " << std::left << std::setw(7) << drive.fileSystem << " label " << Quoted(drive.label);
        if (const auto* device = DeviceAt(d, drive.letter))
            out << "  " << (device->model.empty() ? "USB device" : device->model);
        out << std::right << "\n";
    }

    out << "Devices\n";
    if (d.devices.empty() && d.unpluggedDevices.empty())
        out << "  none\n";
    for (const auto& device : d.devices) {
        out << "  " << device.deviceId << "  " << (device.model.empty() ? "(not a player)" : device.model);
        if (device.drive)
            out << " on " << device.drive << ":";
        out << ", status " << Hex(device.status, 8) << ", problem " << device.problem;
        if (const auto* identity = device.drive ? IdentityOf(d, device.drive) : nullptr)
            out << ", bus " << int(identity->busType) << ", " << Quoted(identity->vendor) << " " << Quoted(identity->product);
        if (device.inUse)
            out << ", in use";
        out << "\n";
    }

    for (const auto& device : d.unpluggedDevices)
        out << "  " << device.deviceId << "  " << (device.model.empty() ? "(not a player)" : device.model) << ", unplugged\n";

    if (!d.missingModules.empty() || !d.missingFunctions.empty()) {
        out << "Missing  ";
        for (const auto& module : d.missingModules)
            out << " " << module;
        for (const auto& [module, function] : d.missingFunctions)
            out << " " << module << "!" << function;
        out << "\n";
    }
    if (d.hardwareRegistry)
        out << "Hardware registry given as raw content\n";
}

void PrintMachineJson(machine::SimulatedMachine& m, std::ostream& out)
{
    MachineDescription d = m.Description();
    const auto& v = d.version;
    Json json;
    json["folder"] = m.Folder().string();
    json["system"] = {{"name", d.systemName}, {"description", d.systemDescription},
        {"family", v.platformId == 2 ? "NT" : "95"}, {"platformId", v.platformId}, {"version", VersionText(v)},
        {"major", v.major}, {"minor", v.minor}, {"build", v.build}, {"csdVersion", v.csdVersion},
        {"servicePackMajor", v.servicePackMajor}, {"servicePackMinor", v.servicePackMinor},
        {"extendedQuery", v.extendedQueryWorks}, {"productType", v.productType}};
    json["locale"] = {{"lcid", Hex(d.locale.threadLocale, 4)}, {"ansiCodePage", d.locale.ansiCodePage},
        {"oemCodePage", d.locale.oemCodePage}, {"localeAnsiCodePage", d.locale.localeAnsiCodePage}};
    json["clock"] = d.virtualClock ? "virtual" : "real";

    json["drives"] = Json::array();
    for (const auto& drive : m.Drives()) {
        Json entry = {{"letter", std::string(1, drive.letter)}, {"kind", KindName(drive.kind)}};
        if (drive.letter == 'Z') {
            entry["hostRoot"] = "/";
        } else {
            entry["capacity"] = drive.capacity;
            entry["used"] = UsedBytes(drive.folder);
            entry["label"] = drive.label;
            entry["fileSystem"] = drive.fileSystem;
            entry["folder"] = drive.folder.string();
        }
        json["drives"].push_back(entry);
    }

    json["devices"] = Json::array();
    for (const auto& device : d.devices) {
        Json entry = {{"deviceId", device.deviceId}, {"model", device.model},
            {"drive", device.drive ? Json(std::string(1, device.drive)) : Json(nullptr)},
            {"status", Hex(device.status, 8)}, {"problem", device.problem}, {"inUse", device.inUse}};
        if (const auto* identity = device.drive ? IdentityOf(d, device.drive) : nullptr) {
            entry["busType"] = identity->busType;
            entry["vendor"] = identity->vendor;
            entry["product"] = identity->product;
            entry["revision"] = identity->revision;
        }
        json["devices"].push_back(entry);
    }

    json["unpluggedDevices"] = Json::array();
    for (const auto& device : d.unpluggedDevices)
        json["unpluggedDevices"].push_back({{"deviceId", device.deviceId}, {"model", device.model}});

    json["missingModules"] = d.missingModules;
    json["missingFunctions"] = Json::array();
    for (const auto& [module, function] : d.missingFunctions)
        json["missingFunctions"].push_back({{"module", module}, {"function", function}});
    const auto& vc = d.volumeController;
    json["volumeController"] = {{"available", vc.available}, {"resetRefused", vc.resetRefused},
        {"lockRefused", vc.lockRefused}, {"category48Unsupported", vc.category48Unsupported},
        {"statusFailure", Hex(vc.statusFailure, 2)}, {"pendingLocks", vc.pendingLocks},
        {"releaseRefused", vc.releaseRefused}, {"ejectRefused", vc.ejectRefused}};
    json["hardwareRegistry"] = d.hardwareRegistry ? Json(*d.hardwareRegistry) : Json(nullptr);
    out << json.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
}

}  // namespace yolt::tools
