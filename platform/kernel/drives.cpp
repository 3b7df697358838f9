#include "platform/kernel/drives.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <string>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/kernel/hostfiles.h"
#include "platform/kernel/paths.h"
#include "platform/kernel/usage.h"
#include "platform/machine/machine.h"

using namespace yolt;
using namespace yolt::kernel;

namespace {

constexpr size_t kMaxLabelLength = 11;
constexpr DWORD kErrorBadLength = 24;  // a buffer shorter than the text it is to receive

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

// The drive letter of a root ("E:\", "E:", "E:/"; null for the current folder's drive), or 0.
char LetterOfRoot(LPCWSTR root)
{
    std::u16string text = root ? std::u16string(root) : CurrentWindowsFolder().substr(0, 3);
    if (text.size() < 2 || text.size() > 3 || text[1] != u':')
        return 0;
    if (text.size() == 3 && text[2] != u'\\' && text[2] != u'/')
        return 0;
    char16_t letter = AsciiUpper(text[0]);
    return letter >= u'A' && letter <= u'Z' ? static_cast<char>(letter) : 0;
}

std::optional<machine::Drive> DriveOfRoot(LPCWSTR root)
{
    char letter = LetterOfRoot(root);
    if (!letter)
        return std::nullopt;
    return machine::CurrentMachine().FindDrive(letter);
}

std::u16string DriveStrings()
{
    std::u16string text;
    for (const auto& drive : machine::CurrentMachine().Drives()) {
        text += static_cast<char16_t>(drive.letter);
        text += u":\\";
        text += u'\0';
    }
    return text;
}

// A volume serial number that stays the same for the same drive folder.
DWORD SerialOf(const machine::Drive& drive)
{
    DWORD hash = 2166136261u;
    for (char c : drive.folder.string())
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

bool IsValidLabel(std::u16string_view label)
{
    if (label.size() > kMaxLabelLength)
        return false;
    for (char16_t c : label) {
        if (c < 0x20 || std::u16string_view(u"*?.,;:/\\|+=<>[]\"").find(c) != std::u16string_view::npos)
            return false;
    }
    return true;
}

}  // namespace

extern "C" {

UINT GetDriveTypeW(LPCWSTR root)
{
    auto drive = DriveOfRoot(root);
    if (!drive)
        return DRIVE_NO_ROOT_DIR;
    return static_cast<UINT>(drive->kind);
}

UINT GetDriveTypeA(LPCSTR root)
{
    if (!root)
        return GetDriveTypeW(nullptr);
    auto wide = WidePathFromAcp(root);
    return wide ? GetDriveTypeW(wide->c_str()) : DRIVE_NO_ROOT_DIR;
}

DWORD GetLogicalDriveStringsW(DWORD size, LPWSTR buffer)
{
    std::u16string text = DriveStrings();
    // The list ends with a second zero, which the returned length does not count.
    if (!buffer || size < text.size() + 1)
        return static_cast<DWORD>(text.size() + 1);
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = u'\0';
    return static_cast<DWORD>(text.size());
}

DWORD GetLogicalDriveStringsA(DWORD size, LPSTR buffer)
{
    std::u16string text = DriveStrings();
    if (!buffer || size < text.size() + 1)
        return static_cast<DWORD>(text.size() + 1);
    std::copy(text.begin(), text.end(), buffer);  // letters, colons and backslashes are ASCII
    buffer[text.size()] = '\0';
    return static_cast<DWORD>(text.size());
}

DWORD GetLogicalDrives()
{
    DWORD mask = 0;
    for (const auto& drive : machine::CurrentMachine().Drives())
        mask |= 1u << (drive.letter - 'A');
    return mask;
}

BOOL GetDiskFreeSpaceExW(LPCWSTR folder, PULARGE_INTEGER available, PULARGE_INTEGER total, PULARGE_INTEGER free)
{
    std::u16string path = folder ? std::u16string(folder) : CurrentWindowsFolder();
    DWORD error = 0;
    auto mapped = MapWindowsPath(path, error);
    if (!mapped)
        return Fail(error);
    auto drive = machine::CurrentMachine().FindDrive(mapped->drive);
    if (!drive)
        return Fail(ERROR_PATH_NOT_FOUND);
    struct stat st;
    if (::stat(mapped->host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return Fail(mapped->isRoot ? ERROR_NOT_READY : ERROR_PATH_NOT_FOUND);

    uint64_t totalBytes = drive->capacity;
    uint64_t freeBytes = 0;
    if (totalBytes == 0) {
        struct statvfs vfs;
        if (::statvfs(drive->folder.c_str(), &vfs) != 0)
            return Fail(ErrorFromErrno(errno));
        totalBytes = static_cast<uint64_t>(vfs.f_blocks) * vfs.f_frsize;
        freeBytes = static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
    } else {
        uint64_t used = RefreshFolderUsage(drive->folder);
        freeBytes = totalBytes > used ? totalBytes - used : 0;
    }
    if (available)
        available->QuadPart = freeBytes;
    if (total)
        total->QuadPart = totalBytes;
    if (free)
        free->QuadPart = freeBytes;
    return TRUE;
}

BOOL GetDiskFreeSpaceExA(LPCSTR folder, PULARGE_INTEGER available, PULARGE_INTEGER total, PULARGE_INTEGER free)
{
    if (!folder)
        return GetDiskFreeSpaceExW(nullptr, available, total, free);
    auto wide = WidePathFromAcp(folder);
    return wide ? GetDiskFreeSpaceExW(wide->c_str(), available, total, free) : FALSE;
}

BOOL GetVolumeInformationW(LPCWSTR root, LPWSTR label, DWORD labelSize, LPDWORD serial, LPDWORD maxComponent,
    LPDWORD flags, LPWSTR fileSystem, DWORD fileSystemSize)
{
    auto drive = DriveOfRoot(root);
    if (!drive)
        return Fail(ERROR_PATH_NOT_FOUND);
    std::u16string labelText = WideFromUtf8(drive->label);
    std::u16string fsText = WideFromUtf8(drive->fileSystem);
    if ((label && labelSize < labelText.size() + 1) || (fileSystem && fileSystemSize < fsText.size() + 1))
        return Fail(kErrorBadLength);
    if (label)
        FillBuffer(labelText, label, labelSize);
    if (fileSystem)
        FillBuffer(fsText, fileSystem, fileSystemSize);
    if (serial)
        *serial = SerialOf(*drive);
    if (maxComponent)
        *maxComponent = 255;
    if (flags) {
        // Case-preserved names stored as UTF-16; the host root also tells case apart.
        *flags = drive->fatRules ? 0x00000006u : 0x00000007u;
    }
    return TRUE;
}

BOOL GetVolumeInformationA(LPCSTR root, LPSTR label, DWORD labelSize, LPDWORD serial, LPDWORD maxComponent,
    LPDWORD flags, LPSTR fileSystem, DWORD fileSystemSize)
{
    std::optional<std::u16string> wideRoot;
    if (root && !(wideRoot = WidePathFromAcp(root)))
        return FALSE;
    WCHAR wideLabel[MAX_PATH + 1] = {};
    WCHAR wideFileSystem[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(wideRoot ? wideRoot->c_str() : nullptr, wideLabel, MAX_PATH + 1, serial, maxComponent,
            flags, wideFileSystem, MAX_PATH + 1))
        return FALSE;
    std::string narrowLabel = AcpFromWide(wideLabel);
    std::string narrowFileSystem = AcpFromWide(wideFileSystem);
    if ((label && labelSize < narrowLabel.size() + 1) || (fileSystem && fileSystemSize < narrowFileSystem.size() + 1))
        return Fail(kErrorBadLength);
    if (label)
        FillBuffer(narrowLabel, label, labelSize);
    if (fileSystem)
        FillBuffer(narrowFileSystem, fileSystem, fileSystemSize);
    return TRUE;
}

BOOL SetVolumeLabelW(LPCWSTR root, LPCWSTR label)
{
    auto drive = DriveOfRoot(root);
    if (!drive)
        return Fail(ERROR_PATH_NOT_FOUND);
    std::u16string text = label ? std::u16string(label) : std::u16string();
    if (!IsValidLabel(text))
        return Fail(ERROR_INVALID_NAME);
    if (!machine::CurrentMachine().SetDriveLabel(drive->letter, Utf8FromWide(text)))
        return Fail(ERROR_ACCESS_DENIED);
    return TRUE;
}

BOOL SetVolumeLabelA(LPCSTR root, LPCSTR label)
{
    std::optional<std::u16string> wideRoot;
    std::optional<std::u16string> wideLabel;
    if (root && !(wideRoot = WidePathFromAcp(root)))
        return FALSE;
    if (label && !(wideLabel = WidePathFromAcp(label)))
        return Fail(ERROR_INVALID_NAME);
    return SetVolumeLabelW(wideRoot ? wideRoot->c_str() : nullptr, wideLabel ? wideLabel->c_str() : nullptr);
}

}  // extern "C"
