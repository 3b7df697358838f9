// regsvr [/u] <module>: registers (or with /u unregisters) an in-process component by calling its
// DllRegisterServer (DllUnregisterServer), as an installer would. Prints the result in one line.
// Exit code: 0 success, 1 failure, 2 bad command line.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/com/com_runtime.h"
#include "platform/kernel/modules.h"
#include "platform/kernel/paths.h"
#include "platform/machine/machine.h"
#include "platform/machine/machine_error.h"

namespace {

constexpr const char* kUsage =
    "usage: regsvr [/u] <module>\n"
    "Registers an in-process component by calling its DllRegisterServer; with /u calls\n"
    "DllUnregisterServer instead. <module> is a Windows path (C:\\dir\\x.dll) or a host path.\n"
    "Exit code: 0 on success, 1 on failure, 2 on a bad command line.\n";

bool IsOption(const char* arg, const char* name)
{
    return (arg[0] == '/' || arg[0] == '-') && _stricmp(arg + 1, name) == 0;
}

// A host path ("/x/y.dll", "build/y.dll") becomes its Windows path; a Windows path stays.
std::u16string ModulePath(const std::string& arg)
{
    bool windowsPath = arg.find('\\') != std::string::npos || (arg.size() >= 2 && arg[1] == ':');
    if (windowsPath)
        return yolt::WideFromUtf8(arg);
    return yolt::WindowsPathFromHost(std::filesystem::absolute(arg).lexically_normal());
}

}  // namespace

int main(int argc, char** argv)
{
    bool unregister = false;
    const char* module = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h") || IsOption(argv[i], "?")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (IsOption(argv[i], "u")) {
            unregister = true;
            continue;
        }
        if (module || argv[i][0] == '\0' || (argv[i][0] == '-' && argv[i][1] != '\0')) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        module = argv[i];
    }
    if (!module) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    try {
        yolt::machine::CurrentMachine();
    } catch (const yolt::machine::MachineError& error) {
        std::fprintf(stderr, "regsvr: %s\n", error.what());
        return 1;
    }

    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    std::u16string path = ModulePath(module);
    HRESULT hr = OleInitialize(nullptr);
    HMODULE library = LoadLibraryW(path.c_str());
    if (!library) {
        hr = HRESULT_FROM_WIN32(GetLastError());
        std::printf("regsvr: cannot load %s: 0x%08X\n", module, static_cast<unsigned>(hr));
        OleUninitialize();
        return 1;
    }
    auto function = reinterpret_cast<HRESULT (*)()>(reinterpret_cast<void (*)()>(GetProcAddress(library, entry)));
    if (!function) {
        std::printf("regsvr: %s has no %s\n", module, entry);
        FreeLibrary(library);
        OleUninitialize();
        return 1;
    }
    hr = function();
    std::printf("%s in %s returned 0x%08X\n", entry, module, static_cast<unsigned>(hr));
    FreeLibrary(library);
    OleUninitialize();
    return SUCCEEDED(hr) ? 0 : 1;
}
