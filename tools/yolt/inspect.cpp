// yolt inspect: what a package holds and where each member would go on the attached player.
// The package is unpacked whole into a scratch folder first, so a damaged package is reported
// before anything is written anywhere.
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "component/detect/known_model.h"
#include "platform/base/bstr.h"
#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/kernel/paths.h"
#include "platform/setup/cabinet.h"
#include "tools/yolt/commands.h"

namespace yolt::cli {

namespace {

struct Member {
    std::string name;
    DWORD size;
};

struct Scratch {
    std::string root;  // Windows path of the scratch folder, ending with a backslash
    std::vector<Member> members;
    DWORD firstError = 0;
};

UINT Collect(void* context, UINT notification, UINT_PTR param1, UINT_PTR)
{
    auto& scratch = *static_cast<Scratch*>(context);
    if (notification == SPFILENOTIFY_FILEEXTRACTED) {
        auto* paths = reinterpret_cast<FILEPATHS_A*>(param1);
        if (paths->Win32Error && !scratch.firstError)
            scratch.firstError = paths->Win32Error;
        return NO_ERROR;
    }
    if (notification != SPFILENOTIFY_FILEINCABINET)
        return NO_ERROR;
    auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1);
    scratch.members.push_back({info->NameInCabinet ? info->NameInCabinet : "", info->FileSize});
    // Every member lands under one flat numbered name: only the data is checked here.
    std::snprintf(info->FullTargetName, MAX_PATH, "%s%zu.bin", scratch.root.c_str(), scratch.members.size());
    return FILEOP_DOIT;
}

bool IsSafeName(const std::string& name)
{
    if (name.empty() || name[0] == '\\' || name[0] == '/' || name.find(':') != std::string::npos)
        return false;
    std::string padded = "\\" + name + "\\";
    for (char& c : padded)
        c = c == '/' ? '\\' : c;
    return padded.find("\\..\\") == std::string::npos;
}

}  // namespace

int Inspect(Session& session, const std::string& package)
{
    std::u16string windowsPath = WindowsPathOf(package);
    std::string narrowPath = yolt::Utf8FromWide(windowsPath);

    std::filesystem::path scratchFolder = std::filesystem::temp_directory_path() / ("yolt-inspect-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(scratchFolder);
    Scratch scratch;
    scratch.root = yolt::Utf8FromWide(yolt::WindowsPathFromHost(scratchFolder)) + "\\";
    SetLastError(0);
    BOOL ok = SetupIterateCabinetA(narrowPath.c_str(), 0, Collect, &scratch);
    DWORD error = ok ? scratch.firstError : GetLastError();
    std::filesystem::remove_all(scratchFolder);
    if (!ok || error) {
        std::printf("%s cannot be used: it is missing or damaged (error code 0x%08X). Nothing was written.\n",
            package.c_str(), static_cast<unsigned>(error ? HRESULT_FROM_WIN32(error) : E_FAIL));
        return kFailed;
    }

    std::u16string upper = windowsPath;
    _wcsupr(upper.data());
    std::string models;
    for (int model = 1; model <= 11; ++model) {
        if (upper.find(ModelNameOf(model)) != std::u16string::npos)
            models += (models.empty() ? "" : ", ") + yolt::Utf8FromWide(ModelNameOf(model));
    }
    std::printf("Package %s\n", narrowPath.c_str());
    std::printf("Firmware for: %s\n", models.empty() ? "no model (refused as a firmware package)" : models.c_str());

    HRESULT failure = S_OK;
    IKVXRDevice* device = session.Device(failure);
    std::string root;
    if (device) {
        root = TextProperty(device, &IKVXRDevice::get_DrivePath);
        std::printf("Attached player: %s\n", TextProperty(device, &IKVXRDevice::get_FullName).c_str());
        device->Release();
    } else {
        std::printf("Attached player: none\n");
    }
    std::printf("%zu member%s:\n", scratch.members.size(), scratch.members.size() == 1 ? "" : "s");
    for (const auto& member : scratch.members) {
        std::string target;
        if (!IsSafeName(member.name))
            target = "(never written: the name leaves the player's folder)";
        else if (!root.empty())
            target = root + member.name;
        std::printf("  %10lu  %-40s %s\n", static_cast<unsigned long>(member.size), member.name.c_str(), target.c_str());
    }
    return kSuccess;
}

}  // namespace yolt::cli
