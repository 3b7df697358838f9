// Reading one section of an ELF file without loading it, so a module's resources can be read
// by path (version information, type libraries) whether or not the module is loaded.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/base/types.h"

namespace yolt {

/// The bytes of the section named `name` of the 64-bit little-endian ELF file at `path`.
/// Failure: nullopt and `error` = ERROR_FILE_NOT_FOUND (no such file), ERROR_BAD_EXE_FORMAT
/// (not such an ELF file, or malformed) or ERROR_RESOURCE_DATA_NOT_FOUND (no such section).
std::optional<std::vector<uint8_t>> ReadElfSection(const std::filesystem::path& path, const char* name, DWORD& error);

}  // namespace yolt
