// What the utility's tests share: the build's folders and a temporary machine with the
// component registered into it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/kernel/paths.h"

namespace utilitytest {

inline std::filesystem::path BinFolder()
{
    const char* bin = std::getenv("YOLT_BIN");
    return bin ? std::filesystem::path(bin) : std::filesystem::path("build/bin");
}

/// The sample firmware package of a model ("px210"), built beside the programs.
inline std::filesystem::path SamplePackage(const std::string& lowerModel)
{
    return BinFolder().parent_path() / "samples" / (lowerModel + "_v12.kvu");
}

inline std::u16string ComponentPath()
{
    return yolt::WindowsPathFromHost(BinFolder() / "KVXRDTCT.dll");
}

}  // namespace utilitytest
