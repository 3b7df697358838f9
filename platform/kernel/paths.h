// Windows paths on the host: a drive letter stands for a host folder of the machine, and Z: for
// the host's root "/". On drives with FAT rules, existing names are found without regard to case.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/types.h"

namespace yolt {

/// A Windows path taken apart: its drive letter (upper case) and its names below the drive root,
/// with "." and ".." already applied.
struct WindowsPath {
    char drive = 0;
    std::vector<std::u16string> names;
    /// The path in its full form, "E:\a\b" (the root is "E:\").
    std::u16string Text() const;
};

struct HostPath {
    std::filesystem::path host;  // the host path, with existing components in their stored case
    char drive = 0;              // the drive letter, upper case
    bool fatRules = false;       // whether the drive follows FAT rules
    bool isRoot = false;         // whether the path names the drive's root folder
};

/// Takes apart an absolute Windows path ("E:\a\b", "E:/a", "E:a" relative to the root, "\a" on the
/// current drive) or a relative one (against the current folder), without touching the disk.
/// Fails with ERROR_PATH_NOT_FOUND for an empty path, a network path or one that escapes the
/// drive with "..".
std::optional<WindowsPath> ParseWindowsPath(std::u16string_view path, DWORD& error);

/// Maps a Windows path to the host. Fails as ParseWindowsPath does, with ERROR_INVALID_NAME for
/// invalid characters in a name on a FAT drive, and ERROR_PATH_NOT_FOUND for a missing drive.
std::optional<HostPath> MapWindowsPath(std::u16string_view path, DWORD& error);

/// The Windows path of a host path: on the drive whose folder holds it, else on Z:.
std::u16string WindowsPathFromHost(const std::filesystem::path& host);

/// The current folder as a Windows path (the host's working folder, on the drive that holds it).
std::u16string CurrentWindowsFolder();

/// Whether a name may stand in a path on a FAT drive: none of \ / : * ? " < > | and no control
/// characters.
bool IsValidFatName(std::u16string_view name);

}  // namespace yolt
