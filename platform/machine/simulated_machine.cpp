#include "platform/machine/simulated_machine.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/base/wtext.h"
#include "platform/machine/machine_error.h"

namespace yolt::machine {

namespace {
constexpr const char* kDescriptionName = "machine.json";
constexpr const char* kLockName = "machine.lock";

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && _strnicmp(a.data(), b.data(), a.size()) == 0;
}

std::string SystemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

// Holds the folder's lock file exclusively for its lifetime, so that a change made by one
// process (read, edit, write) is never interleaved with another's.
class FolderLock {
public:
    explicit FolderLock(const std::filesystem::path& folder)
    {
        auto path = folder / kLockName;
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_fd < 0)
            throw MachineError(path, 0, SystemError("cannot open the lock file"));
        while (::flock(m_fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(m_fd);
                throw MachineError(path, 0, SystemError("cannot lock"));
            }
        }
    }
    ~FolderLock() { ::close(m_fd); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd = -1;
};

std::string ReadText(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw MachineError(file, 0, SystemError("cannot read"));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Writes a temporary file beside `file` and renames it over `file`, so readers see either
// the old or the new content, never a part.
void WriteAtomically(const std::filesystem::path& file, const std::string& text)
{
    auto temporary = file;
    temporary += ".tmp-" + std::to_string(::getpid());
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw MachineError(file, 0, SystemError("cannot write"));
    size_t written = 0;
    while (written < text.size()) {
        ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            std::string reason = SystemError("cannot write");
            ::close(fd);
            ::unlink(temporary.c_str());
            throw MachineError(file, 0, reason);
        }
        written += static_cast<size_t>(n);
    }
    bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (!synced || ::rename(temporary.c_str(), file.c_str()) != 0) {
        std::string reason = SystemError("cannot write");
        ::unlink(temporary.c_str());
        throw MachineError(file, 0, reason);
    }
}

void CreateDriveFolders(const std::filesystem::path& folder, const MachineDescription& description)
{
    std::error_code ignored;
    for (const auto& drive : description.drives)
        std::filesystem::create_directories(folder / "drives" / std::string(1, drive.letter), ignored);
}
}  // namespace

SimulatedMachine::SimulatedMachine(std::filesystem::path folder) : m_folder(std::move(folder))
{
    auto file = DescriptionFile();
    if (!Exists(m_folder))
        throw MachineError(file, 0, "no machine here (create one with: yolt-machine create " + m_folder.string() + ")");
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0)
        throw MachineError(file, 0, SystemError("cannot read"));
    MachineDocument document(ReadText(file), file);
    FileStamp stamp{info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec * 1000000000ll + info.st_mtim.tv_nsec};
    Adopt(document.Description(), stamp);
    if (m_description.virtualClock)
        m_clock = std::make_unique<VirtualClock>();
    else
        m_clock = std::make_unique<RealClock>();
}

SimulatedMachine::~SimulatedMachine() = default;

bool SimulatedMachine::Exists(const std::filesystem::path& folder)
{
    std::error_code error;
    return std::filesystem::is_regular_file(folder / kDescriptionName, error);
}

void SimulatedMachine::Create(const std::filesystem::path& folder, const MachineDocument& document, IfMachineExists ifExists)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        throw MachineError(folder, 0, "cannot create the folder: " + error.message());
    FolderLock lock(folder);
    if (Exists(folder)) {
        if (ifExists == IfMachineExists::Keep)
            return;
        throw MachineError(folder / kDescriptionName, 0, "a machine exists here already");
    }
    std::filesystem::create_directories(folder / "registry", error);
    if (error)
        throw MachineError(folder / "registry", 0, "cannot create the folder: " + error.message());
    CreateDriveFolders(folder, document.Description());
    WriteAtomically(folder / kDescriptionName, document.Text());
}

std::filesystem::path SimulatedMachine::DriveFolder(char letter) const
{
    char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    return m_folder / "drives" / std::string(1, upper);
}

void SimulatedMachine::Adopt(const MachineDescription& description, const FileStamp& stamp)
{
    m_description = description;
    for (auto& drive : m_description.drives)
        drive.folder = DriveFolder(drive.letter);
    CreateDriveFolders(m_folder, m_description);
    m_stamp = stamp;
    m_reportedError.clear();
}

const MachineDescription& SimulatedMachine::Current()
{
    auto file = DescriptionFile();
    struct stat info {};
    FileStamp stamp;
    if (::stat(file.c_str(), &info) == 0)
        stamp = {info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec * 1000000000ll + info.st_mtim.tv_nsec};
    if (stamp == m_stamp)
        return m_description;
    m_stamp = stamp;
    try {
        if (stamp.size < 0)
            throw MachineError(file, 0, "the machine's description has gone");
        MachineDocument document(ReadText(file), file);
        Adopt(document.Description(), stamp);
    } catch (const MachineError& error) {
        if (error.what() != m_reportedError) {
            m_reportedError = error.what();
            std::cerr << error.what() << " (the machine stays as it was)" << std::endl;
        }
    }
    return m_description;
}

MachineDescription SimulatedMachine::Description()
{
    std::lock_guard guard(m_lock);
    return Current();
}

void SimulatedMachine::Change(const std::function<void(MachineDocument&)>& edit)
{
    std::lock_guard guard(m_lock);
    FolderLock lock(m_folder);
    auto file = DescriptionFile();
    MachineDocument document(ReadText(file), file);
    std::string before = document.Text();
    edit(document);
    if (document.Text() != before)
        WriteAtomically(file, document.Text());
    struct stat info {};
    FileStamp stamp;
    if (::stat(file.c_str(), &info) == 0)
        stamp = {info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec * 1000000000ll + info.st_mtim.tv_nsec};
    Adopt(document.Description(), stamp);
}

bool SimulatedMachine::ChangeReporting(const std::function<void(MachineDocument&)>& edit)
{
    try {
        Change(edit);
        return true;
    } catch (const MachineError& error) {
        std::cerr << error.what() << std::endl;
        return false;
    }
}

SystemVersion SimulatedMachine::Version()
{
    std::lock_guard guard(m_lock);
    return Current().version;
}

LocaleSettings SimulatedMachine::Locale()
{
    std::lock_guard guard(m_lock);
    return Current().locale;
}

std::vector<Drive> SimulatedMachine::Drives()
{
    std::lock_guard guard(m_lock);
    std::vector<Drive> drives = Current().drives;
    drives.push_back(HostRootDrive());
    return drives;
}

std::optional<StorageIdentity> SimulatedMachine::StorageIdentityOf(char letter)
{
    std::lock_guard guard(m_lock);
    char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (const auto& [l, identity] : Current().identities) {
        if (l == upper)
            return identity;
    }
    return std::nullopt;
}

std::vector<UsbDevice> SimulatedMachine::UsbDevices()
{
    std::lock_guard guard(m_lock);
    return Current().devices;
}

std::vector<UsbDevice> SimulatedMachine::UnpluggedUsbDevices()
{
    std::lock_guard guard(m_lock);
    return Current().unpluggedDevices;
}

bool SimulatedMachine::IsModuleMissing(std::string_view module)
{
    std::lock_guard guard(m_lock);
    const auto& modules = Current().missingModules;
    return std::any_of(modules.begin(), modules.end(), [&](const std::string& m) { return SameName(m, module); });
}

bool SimulatedMachine::IsFunctionMissing(std::string_view module, std::string_view function)
{
    std::lock_guard guard(m_lock);
    const auto& functions = Current().missingFunctions;
    return std::any_of(functions.begin(), functions.end(),
        [&](const auto& mf) { return SameName(mf.first, module) && mf.second == function; });
}

VolumeControllerBehaviour SimulatedMachine::VolumeController()
{
    std::lock_guard guard(m_lock);
    return Current().volumeController;
}

std::optional<std::string> SimulatedMachine::HardwareRegistryText()
{
    std::lock_guard guard(m_lock);
    return Current().hardwareRegistry;
}

bool SimulatedMachine::DetachUsbDevice(const std::string& deviceId)
{
    bool removed = false;
    bool written = ChangeReporting([&](MachineDocument& document) { removed = document.RemoveDevice(deviceId); });
    return written && removed;
}

bool SimulatedMachine::SetDriveLabel(char letter, const std::string& label)
{
    bool found = false;
    bool written = ChangeReporting([&](MachineDocument& document) { found = document.SetDriveText(letter, "label", label); });
    return written && found;
}

bool SimulatedMachine::SetDriveFileSystem(char letter, const std::string& fileSystem)
{
    bool found = false;
    bool written =
        ChangeReporting([&](MachineDocument& document) { found = document.SetDriveText(letter, "fileSystem", fileSystem); });
    return written && found;
}

std::filesystem::path DefaultMachineFolder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/')
        return std::filesystem::path(data) / "yolt" / "machine";
    const char* home = std::getenv("HOME");
    if (!home || !home[0]) {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : "/tmp";
    }
    return std::filesystem::path(home) / ".local" / "share" / "yolt" / "machine";
}

MachineDocument DemonstrationMachine()
{
    MachineDocument document("xp");
    document.Plug(PlayerPlug{"PX210", 'E'});
    return document;
}

}  // namespace yolt::machine
