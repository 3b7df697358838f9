// The fixed header at the start of a cabinet file, read through the platform's file layer.
#pragma once

#include <optional>

#include "platform/base/types.h"

namespace yolt::setup {

struct CabinetHeader {
    WORD folderCount = 0;
    WORD fileCount = 0;
    WORD flags = 0;
    WORD setId = 0;
    WORD cabinetIndex = 0;
};

/// The header of the cabinet at a Windows path, or nothing when the file cannot be read or does
/// not start with a cabinet header of format version 1.3.
std::optional<CabinetHeader> ReadCabinetHeader(LPCSTR path);

}  // namespace yolt::setup
