// The members of a package: which host files go into the cabinet and under which names.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kvupack {

struct Member {
    std::string name;               // name inside the cabinet, folders separated by backslashes
    std::filesystem::path source;   // the host file that supplies the bytes
};

/// Collects the members for the given inputs, in the order given: a file becomes one member named
/// by its base name; a folder contributes every file below it, named relative to the folder, in
/// name order. `skip` (the output file) is never taken. Returns false with `error` set when an
/// input is missing or unreadable, a name is longer than a cabinet holds, or two members would
/// share a name (compared without regard to ASCII case, as the target drives do).
bool CollectMembers(const std::vector<std::filesystem::path>& inputs, const std::filesystem::path& skip,
    std::vector<Member>& members, std::string& error);

}  // namespace kvupack
