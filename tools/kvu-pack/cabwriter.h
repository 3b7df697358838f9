// Writes a cabinet file from a list of members with libgcab.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "members.h"

namespace kvupack {

enum class Compression { None, Mszip };

/// Writes all members into one cabinet folder at `output`, replacing any file there. Returns
/// false with `error` set when a member cannot be read or the output cannot be written; a
/// failed write leaves no partial output behind.
bool WriteCabinet(const std::filesystem::path& output, const std::vector<Member>& members, Compression compression,
    std::string& error);

}  // namespace kvupack
