// A machine's description as machine.json holds it: reading it with line-exact errors,
// resolving it into what the machine offers, and the edits that programs and the
// yolt-machine tool make to it.
//
// The file is a JSON object with these members, all optional:
//   "system":   a named system ("98se") or {"name": …, "servicePack", "build", "csdVersion",
//               "platformId", "major", "minor", "servicePackMajor", "servicePackMinor",
//               "extendedQuery", "productType"} overriding the named values
//   "locale":   {"lcid", "ansiCodePage", "oemCodePage", "localeAnsiCodePage"}
//   "clock":    "real" (the default) or "virtual"
//   "drives":   [{"letter", "kind", "capacity", "label", "fileSystem",
//                 optional storage identity "vendor", "product", "revision", "busType"}]
//   "devices":  [{"model" (a player model) or "vendorId"/"productId"/"deviceId" (another
//                 device), "drive", "kind", "capacity", "label", "fileSystem", "vendor",
//                 "product", "revision", "busType", "vendorId", "productId", "instance",
//                 "deviceId", "status", "problem", "inUse"}]
//   "unpluggedDevices": [{"deviceId", "model"}]: devices attached once and unplugged since,
//               whose registry keys the 95 family keeps; unplugging adds the device here,
//               plugging one with the same identifier takes it out again
//   "missingModules": ["SETUPAPI.DLL", …]
//   "missingFunctions": [{"module", "function"}]
//   "volumeController": {"available", "resetRefused", "lockRefused", "category48Unsupported",
//                        "statusFailure", "pendingLocks", "releaseRefused", "ejectRefused"}:
//               how "\\.\vwin32" answers (see VolumeControllerBehaviour in machine.h)
//   "hardwareRegistry": .reg text (a string, or an array of its lines)
// Numbers (identifiers, status bits, locale) may also be written as "0x…" strings. A player's
// storage strings default to its model's, blank-padded to 8 and 16 characters; given strings
// are used verbatim.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "platform/machine/machine.h"

namespace yolt::machine {

/// What a description resolves to. Drives are in letter order, without folders and without
/// the host root Z:; devices are in file order.
struct MachineDescription {
    std::string systemName;
    std::string systemDescription;
    SystemVersion version;
    LocaleSettings locale;
    bool virtualClock = false;
    std::vector<Drive> drives;
    std::vector<std::pair<char, StorageIdentity>> identities;
    std::vector<UsbDevice> devices;
    std::vector<UsbDevice> unpluggedDevices;  // not attached now; drive 0
    std::vector<std::string> missingModules;
    std::vector<std::pair<std::string, std::string>> missingFunctions;
    VolumeControllerBehaviour volumeController;
    std::optional<std::string> hardwareRegistry;

    /// The drive or device drive at `letter` (upper case), or nothing.
    const Drive* FindDrive(char letter) const;
};

/// A player to attach. Empty optionals take the model's values.
struct PlayerPlug {
    PlayerPlug(std::string modelName = {}, char driveLetter = 0) : model(std::move(modelName)), drive(driveLetter) {}

    std::string model;
    char drive = 0;  // 0: the first free letter from E:
    std::optional<uint64_t> capacity;
    std::optional<std::string> vendor;
    std::optional<std::string> product;
    std::optional<BYTE> busType;
    std::optional<WORD> vendorId;
    std::optional<WORD> productId;
    std::optional<ULONG> status;
    bool inUse = false;
};

class MachineDocument {
public:
    /// A new description: the named system, US English, a fixed C: drive.
    explicit MachineDocument(const std::string& systemName);
    /// Parses and checks machine.json text; throws MachineError naming `file` and the line.
    MachineDocument(const std::string& text, const std::filesystem::path& file);
    MachineDocument(const MachineDocument& other);
    MachineDocument& operator=(const MachineDocument& other);
    ~MachineDocument();

    /// The resolved description (checked at construction and after every edit).
    const MachineDescription& Description() const { return m_description; }
    /// The JSON text to store, indented, with a final line feed.
    std::string Text() const;

    // Edits. Each leaves the document consistent or throws MachineError and leaves it unchanged.
    void SetSystem(const std::string& name);
    /// Sets the ANSI code page and what the locale reports as its ANSI code page.
    void SetCodePage(UINT codePage);
    /// Sets the thread locale, and the code pages that go with it when the locale is known.
    void SetLocale(LCID locale);
    void SetVirtualClock(bool isVirtual);
    /// Attaches a player; returns the letter of its drive.
    char Plug(const PlayerPlug& plug);
    /// Detaches the device with that identifier and remembers it among the unplugged devices;
    /// false when none has it.
    bool RemoveDevice(const std::string& deviceId);
    /// Sets a member ("label", "fileSystem") of the drive or device drive at `letter`;
    /// false when there is none.
    bool SetDriveText(char letter, const std::string& member, const std::string& value);
    /// Replaces the raw hardware registry content.
    void SetHardwareRegistry(const std::string& regText);

    /// The first letter from E: that no drive uses, or 0 when all are taken.
    char FirstFreeLetter() const;

private:
    template <class Edit>
    void Apply(Edit edit);

    std::unique_ptr<nlohmann::ordered_json> m_json;
    MachineDescription m_description;
};

}  // namespace yolt::machine
