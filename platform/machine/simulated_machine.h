// A machine kept in a folder: machine.json (its description, see machine_document.h),
// registry/ (the hives) and drives/<letter>/ (each drive's content; a player's content stays
// there while it is unplugged). The description is re-read when machine.json changes, so a
// player plugged while a program runs is seen at its next call; changes made by programs are
// written back atomically under the folder's lock, so other processes see them.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>

#include <sys/types.h>

#include "platform/machine/machine.h"
#include "platform/machine/machine_document.h"

namespace yolt::machine {

enum class IfMachineExists { Fail, Keep };

class SimulatedMachine : public Machine {
public:
    /// Opens the machine in `folder`; throws MachineError when machine.json is missing or bad.
    explicit SimulatedMachine(std::filesystem::path folder);
    ~SimulatedMachine() override;

    /// Writes a new machine folder from `document`: machine.json, registry/ and a folder per
    /// drive. An existing machine is an error (Fail) or left as it is (Keep). Throws MachineError.
    static void Create(const std::filesystem::path& folder, const MachineDocument& document,
        IfMachineExists ifExists = IfMachineExists::Fail);
    /// Whether `folder` holds a machine.json.
    static bool Exists(const std::filesystem::path& folder);

    const std::filesystem::path& Folder() const { return m_folder; }
    std::filesystem::path DescriptionFile() const { return m_folder / "machine.json"; }
    std::filesystem::path DriveFolder(char letter) const;

    /// The description as it stands now (re-read when the file changed).
    MachineDescription Description();
    /// Edits the stored description under the folder's lock: re-reads machine.json, applies
    /// `edit` and writes the result back atomically. Throws MachineError, writing nothing, when
    /// the file cannot be read or parsed, the edit fails, or the write fails.
    void Change(const std::function<void(MachineDocument&)>& edit);

    SystemVersion Version() override;
    LocaleSettings Locale() override;
    std::vector<Drive> Drives() override;
    std::optional<StorageIdentity> StorageIdentityOf(char letter) override;
    std::vector<UsbDevice> UsbDevices() override;
    std::vector<UsbDevice> UnpluggedUsbDevices() override;
    bool IsModuleMissing(std::string_view module) override;
    bool IsFunctionMissing(std::string_view module, std::string_view function) override;
    std::filesystem::path RegistryFolder() override { return m_folder / "registry"; }
    /// Real or virtual as machine.json said when the machine was opened.
    Clock& GetClock() override { return *m_clock; }
    VolumeControllerBehaviour VolumeController() override;
    std::optional<std::string> HardwareRegistryText() override;
    /// These write machine.json; a failure to write is reported on stderr and gives false.
    bool DetachUsbDevice(const std::string& deviceId) override;
    bool SetDriveLabel(char letter, const std::string& label) override;
    bool SetDriveFileSystem(char letter, const std::string& fileSystem) override;

private:
    struct FileStamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        int64_t modifiedNs = 0;
        bool operator==(const FileStamp&) const = default;
    };

    /// The current description; re-reads machine.json when its stamp changed. A file that has
    /// become unreadable keeps the last good description and is reported once on stderr.
    const MachineDescription& Current();
    void Adopt(const MachineDescription& description, const FileStamp& stamp);
    bool ChangeReporting(const std::function<void(MachineDocument&)>& edit);

    std::filesystem::path m_folder;
    std::mutex m_lock;
    MachineDescription m_description;
    FileStamp m_stamp;
    std::string m_reportedError;
    std::unique_ptr<Clock> m_clock;
};

/// The folder of the default machine: $XDG_DATA_HOME/yolt/machine, or
/// ~/.local/share/yolt/machine when XDG_DATA_HOME is unset or not absolute.
std::filesystem::path DefaultMachineFolder();
/// The demonstration machine: Windows XP SP2, a fixed C:, a PX210 attached as E:.
MachineDocument DemonstrationMachine();

}  // namespace yolt::machine
