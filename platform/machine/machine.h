// The machine the programs run on: which system version runs, its locale, which drives exist
// and what their storage reports, which USB devices are attached, which system modules are
// missing, where its registry is kept, and its clock. The platform asks the current machine
// at every call, so a change (a player plugged in) is seen at the next call.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/types.h"
#include "platform/machine/clock.h"

namespace yolt::machine {

struct SystemVersion {
    DWORD platformId = 2;  // 1 = 95 family, 2 = NT family
    DWORD major = 5;
    DWORD minor = 1;
    DWORD build = 2600;
    std::string csdVersion = "Service Pack 2";
    WORD servicePackMajor = 2;
    WORD servicePackMinor = 0;
    /// Whether the query with the extended structure succeeds (not on older systems).
    bool extendedQueryWorks = true;
    BYTE productType = 1;  // 1 workstation, 2 domain controller, 3 server
};

struct LocaleSettings {
    LCID threadLocale = 0x409;
    UINT ansiCodePage = 1252;
    UINT oemCodePage = 437;
    /// What the locale reports as its default ANSI code page; empty makes the query fail.
    std::string localeAnsiCodePage = "1252";
};

/// Values as GetDriveType reports them.
enum class DriveKind : UINT { Removable = 2, Fixed = 3, Remote = 4, CdRom = 5, RamDisk = 6 };

struct Drive {
    char letter = 'C';  // upper case
    DriveKind kind = DriveKind::Fixed;
    uint64_t capacity = 0;  // declared size in bytes; 0 means the host volume's size
    std::string label;
    std::string fileSystem = "FAT32";
    std::filesystem::path folder;  // host folder holding the drive's content
    /// Whether names are matched without regard to case and FAT rules apply (simulated drives);
    /// the host root Z: keeps the host's rules.
    bool fatRules = true;
};

/// What a drive's storage reports to the storage property query.
struct StorageIdentity {
    std::string vendor;   // as the device reports it, padded as SCSI strings are
    std::string product;
    std::string revision;
    BYTE busType = 7;  // 7 = USB
    bool removableMedia = true;
};

struct UsbDevice {
    std::string deviceId;  // e.g. "USB\\VID_5E93&PID_1001\\0001"
    ULONG status = 0;      // DN_* bits
    ULONG problem = 0;
    char drive = 0;        // the drive letter it provides, 0 for none
    std::string model;     // the player model it was plugged as, empty for another device
    bool inUse = false;    // vetoes an eject request
};

/// How the 95-family volume controller ("\\.\vwin32") answers the DOS block-device requests.
/// Data only: the device itself is served by the kernel's device I/O layer.
struct VolumeControllerBehaviour {
    bool available = true;              // false: the device cannot be opened
    bool resetRefused = false;          // the reset-drive request fails
    bool lockRefused = false;           // locking fails in both categories (a program uses the drive)
    bool category48Unsupported = false; // lock and unlock fail with category 0x48, work with 0x08
    DWORD statusFailure = 0;            // nonzero: the lock-status report fails with carry set and this EAX
    BYTE pendingLocks = 0;              // the number of pending locks the status report gives
    bool releaseRefused = false;        // a request to release one medium lock fails
    bool ejectRefused = false;          // the eject-medium request fails
};

class Machine {
public:
    virtual ~Machine() = default;

    virtual SystemVersion Version() = 0;
    virtual LocaleSettings Locale() = 0;
    /// The drives present now, in letter order; Z: (the host's root) is always among them.
    virtual std::vector<Drive> Drives() = 0;
    virtual std::optional<Drive> FindDrive(char letter);
    /// The storage identity of a drive, or nothing for drives that have none.
    virtual std::optional<StorageIdentity> StorageIdentityOf(char letter) = 0;
    virtual std::vector<UsbDevice> UsbDevices() = 0;
    /// USB devices attached once and unplugged since, most recent last: the system keeps their
    /// registry keys. Their `drive` is 0.
    virtual std::vector<UsbDevice> UnpluggedUsbDevices() { return {}; }
    /// Whether a system module (by file name, any case) or one of its functions is declared missing.
    virtual bool IsModuleMissing(std::string_view module) = 0;
    virtual bool IsFunctionMissing(std::string_view module, std::string_view function) = 0;
    /// The folder holding the registry's hive files.
    virtual std::filesystem::path RegistryFolder() = 0;
    virtual Clock& GetClock() = 0;
    /// How the 95-family volume controller behaves; the default answers every request.
    virtual VolumeControllerBehaviour VolumeController() { return {}; }
    /// Raw registry content (.reg text) for the 95-family hardware keys ("Enum\USB",
    /// "...\DeviceClasses\...", "Enum\SCSI") given by a test in place of the content
    /// derived from the attached devices; nothing when the keys are to be derived.
    virtual std::optional<std::string> HardwareRegistryText() { return std::nullopt; }

    /// Detaches a USB device and the drive it provides, remembering it among the unplugged
    /// devices; false when no such device is attached.
    virtual bool DetachUsbDevice(const std::string& deviceId) = 0;
    /// Changes a drive's label or file system (after a format); false when the drive is absent.
    virtual bool SetDriveLabel(char letter, const std::string& label) = 0;
    virtual bool SetDriveFileSystem(char letter, const std::string& fileSystem) = 0;
};

/// The machine of this process: the one set by SetCurrentMachine, else the folder named by the
/// environment variable YOLT_MACHINE, else the default machine in the user's data folder
/// (created on first use as a demonstration machine). Throws MachineError (machine_error.h)
/// when the chosen machine cannot be opened; programs call it once at start, catch the error
/// and print its what() as one line.
Machine& CurrentMachine();
/// Replaces the machine of this process (tests); null returns to the environment's choice.
void SetCurrentMachine(std::shared_ptr<Machine> machine);

/// A machine held in memory: Windows XP SP2, US English, code page 1252, only the host root as
/// Z:, a virtual or real clock. Tests change its fields directly.
class MemoryMachine : public Machine {
public:
    explicit MemoryMachine(bool virtualClock = true);

    SystemVersion version;
    LocaleSettings locale;
    std::vector<Drive> drives;
    std::vector<std::pair<char, StorageIdentity>> identities;
    std::vector<UsbDevice> devices;
    std::vector<UsbDevice> unpluggedDevices;  // DetachUsbDevice adds the device it removes
    std::vector<std::string> missingModules;
    std::vector<std::pair<std::string, std::string>> missingFunctions;
    std::filesystem::path registryFolder;
    VolumeControllerBehaviour volumeController;
    std::optional<std::string> hardwareRegistry;

    SystemVersion Version() override { return version; }
    LocaleSettings Locale() override { return locale; }
    std::vector<Drive> Drives() override;
    std::optional<StorageIdentity> StorageIdentityOf(char letter) override;
    std::vector<UsbDevice> UsbDevices() override { return devices; }
    std::vector<UsbDevice> UnpluggedUsbDevices() override { return unpluggedDevices; }
    bool IsModuleMissing(std::string_view module) override;
    bool IsFunctionMissing(std::string_view module, std::string_view function) override;
    std::filesystem::path RegistryFolder() override { return registryFolder; }
    Clock& GetClock() override { return *m_clock; }
    VolumeControllerBehaviour VolumeController() override { return volumeController; }
    std::optional<std::string> HardwareRegistryText() override { return hardwareRegistry; }
    bool DetachUsbDevice(const std::string& deviceId) override;
    bool SetDriveLabel(char letter, const std::string& label) override;
    bool SetDriveFileSystem(char letter, const std::string& fileSystem) override;

private:
    std::unique_ptr<Clock> m_clock;
};

/// The host's root as drive Z:.
Drive HostRootDrive();

}  // namespace yolt::machine
