// Windows paths on the host: a drive letter stands for a host folder of the machine, and Z: for
// the host's root "/". On drives with FAT rules, existing names are found without regard to case.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/base/types.h"

namespace yolt {

struct HostPath {
    std::filesystem::path host;  // the host path, with existing components in their stored case
    char drive = 0;              // the drive letter, upper case
    bool fatRules = false;       // whether the drive follows FAT rules
};

/// Maps an absolute Windows path ("E:\a\b", "E:/a", "E:a" relative to the root) or a relative one
/// (against the current folder) to the host. Fails with ERROR_INVALID_NAME for invalid characters,
/// ERROR_PATH_NOT_FOUND for a missing drive or for a path that escapes the drive with "..".
std::optional<HostPath> MapWindowsPath(std::u16string_view path, DWORD& error);
/// The Windows path of a host path: on the drive whose folder holds it, else on Z:.
std::u16string WindowsPathFromHost(const std::filesystem::path& host);

}  // namespace yolt
