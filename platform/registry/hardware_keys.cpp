#include "platform/registry/hardware_keys.h"

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/wtext.h"
#include "platform/kernel/codepages.h"
#include "platform/machine/machine.h"
#include "platform/registry/live_keys.h"
#include "platform/registry/reg_text.h"
#include "platform/registry/registry.h"

namespace yolt::registry {

namespace {

constexpr std::u16string_view kClassesPrefix = u"System\\CurrentControlSet\\Control\\DeviceClasses\\";

// The parts of a USB device identifier "USB\<device>\<instance>".
struct UsbIdentifier {
    std::u16string device;
    std::u16string instance;
};

std::optional<UsbIdentifier> SplitIdentifier(const std::string& deviceId)
{
    size_t first = deviceId.find('\\');
    if (first == std::string::npos || _strnicmp(deviceId.c_str(), "USB", 3) != 0 || first != 3)
        return std::nullopt;
    size_t second = deviceId.find('\\', first + 1);
    if (second == std::string::npos || second == first + 1 || second + 1 >= deviceId.size())
        return std::nullopt;
    if (deviceId.find('\\', second + 1) != std::string::npos)
        return std::nullopt;
    return UsbIdentifier{WideFromUtf8(deviceId.substr(first + 1, second - first - 1)), WideFromUtf8(deviceId.substr(second + 1))};
}

// A device known to the system: attached now, or seen before and unplugged since.
struct KnownDevice {
    machine::UsbDevice device;
    UsbIdentifier id;
    bool attached = false;
};

std::vector<KnownDevice> KnownDevices(machine::Machine& m)
{
    std::vector<KnownDevice> known;
    for (const auto& device : m.UsbDevices()) {
        if (auto id = SplitIdentifier(device.deviceId))
            known.push_back(KnownDevice{device, *id, true});
    }
    for (const auto& device : m.UnpluggedUsbDevices()) {
        if (auto id = SplitIdentifier(device.deviceId))
            known.push_back(KnownDevice{device, *id, false});
    }
    return known;
}

std::unique_ptr<Key> BuildUsbEnum(machine::Machine& m)
{
    auto tree = std::make_unique<Key>();
    for (const auto& known : KnownDevices(m)) {
        Key& instance = tree->Child(known.id.device).Child(known.id.instance);
        instance.SetString(u"DeviceDesc", known.device.model.empty() ? u"USB Device" : u"USB Mass Storage Device");
        instance.SetString(u"Class", u"USB");
        instance.SetString(u"HardwareID", u"USB\\" + known.id.device);
    }
    return tree;
}

std::unique_ptr<Key> BuildInterfaceClass(machine::Machine& m, std::u16string_view classId)
{
    auto tree = std::make_unique<Key>();
    for (const auto& known : KnownDevices(m)) {
        std::u16string name = u"##?#USB#" + known.id.device + u"#" + known.id.instance + u"#" + std::u16string(classId);
        Key& interfaceKey = tree->Child(name);
        interfaceKey.SetString(u"DeviceInstance", WideFromUtf8(known.device.deviceId));
        interfaceKey.SetDword(u"RefCount", known.attached ? 1 : 0);
    }
    return tree;
}

// The SCSI string of `text` padded or cut to `width`, blanks and backslashes as '_'.
std::u16string ScsiName(const std::string& text, size_t width)
{
    std::string padded = text.substr(0, width);
    padded.resize(width, ' ');
    for (char& c : padded) {
        if (c == ' ' || c == '\\' || static_cast<unsigned char>(c) < 0x20)
            c = '_';
    }
    return WideFromUtf8(padded);
}

std::string Trimmed(const std::string& text)
{
    size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

std::unique_ptr<Key> BuildScsiEnum(machine::Machine& m)
{
    auto tree = std::make_unique<Key>();
    for (const auto& known : KnownDevices(m)) {
        if (!known.attached || !known.device.drive)
            continue;
        machine::StorageIdentity identity = m.StorageIdentityOf(known.device.drive).value_or(machine::StorageIdentity{});
        std::string vendor = identity.vendor.empty() ? "GENERIC" : identity.vendor;
        std::string product = identity.product.empty() ? "USB DISK" : identity.product;
        Key& device = tree->Child(ScsiName(vendor, 8) + ScsiName(product, 16));
        Key& instance = device.Child(known.id.device + u"&" + known.id.instance + u"&0");
        instance.SetString(u"CurrentDriveLetterAssignment", std::u16string(1, static_cast<char16_t>(known.device.drive)));
        instance.SetString(u"DeviceDesc", WideFromUtf8(Trimmed(vendor) + " " + Trimmed(product)));
        instance.SetString(u"Class", u"DiskDrive");
    }
    return tree;
}

// The subtree at `place` in raw .reg text, or null.
std::unique_ptr<Key> FromRawText(const std::string& text, std::u16string_view place, UINT codePage)
{
    ParseResult parsed = ParseRegText(text, HiveId::Machine, codePage);
    if (!parsed.root)
        return nullptr;
    const Key* key = parsed.root.get();
    size_t start = 0;
    while (key && start <= place.size()) {
        size_t end = place.find(u'\\', start);
        if (end == std::u16string_view::npos)
            end = place.size();
        key = key->FindChild(place.substr(start, end - start));
        start = end + 1;
    }
    return key ? key->Clone() : nullptr;
}

std::unique_ptr<Key> Build(std::u16string_view place)
{
    machine::Machine& m = machine::CurrentMachine();
    if (m.Version().platformId != 1)
        return nullptr;
    if (auto raw = m.HardwareRegistryText())
        return FromRawText(*raw, place, ResolveCodePage(CP_ACP));
    if (place == kHardwareKeyPlaces[0])
        return BuildUsbEnum(m);
    if (place == kHardwareKeyPlaces[3])
        return BuildScsiEnum(m);
    if (place.starts_with(kClassesPrefix))
        return BuildInterfaceClass(m, place.substr(kClassesPrefix.size()));
    return nullptr;
}

// Serves the places from the moment the registry library is loaded.
struct Registration {
    Registration()
    {
        for (std::u16string_view place : kHardwareKeyPlaces)
            RegisterLiveTree(HKEY_LOCAL_MACHINE, place, [place]() { return BuildHardwareTree(place); });
    }
} g_registration;

}  // namespace

std::unique_ptr<Key> BuildHardwareTree(std::u16string_view place)
{
    try {
        return Build(place);
    } catch (const std::exception&) {
        // A machine that cannot be read has no hardware keys; the caller sees them absent.
        return nullptr;
    }
}

}  // namespace yolt::registry
