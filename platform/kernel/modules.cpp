#include "platform/kernel/modules.h"

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/kernel/hostfiles.h"
#include "platform/kernel/paths.h"
#include "platform/machine/machine.h"

namespace fs = std::filesystem;
using namespace yolt;
using namespace yolt::kernel;

namespace {

constexpr DWORD kErrorDllInitFailed = 1114;  // the module's DllMain refused the load

using DllMainFunction = BOOL (*)(HINSTANCE, DWORD, LPVOID);

// A shared object this loader opened, known by its load base (its HMODULE).
struct LoadedModule {
    HMODULE handle = nullptr;
    void* dl = nullptr;
    int references = 0;
    fs::path host;
};

// A module the platform provides itself; its HMODULE is the address of this record.
struct SystemModule {
    std::string name;  // as registered, e.g. "SETUPAPI.DLL"
    std::vector<SystemFunction> functions;
};

// Held across DllMain calls, which may load and free modules themselves.
std::recursive_mutex g_lock;
std::vector<std::unique_ptr<LoadedModule>> g_loaded;
std::vector<std::unique_ptr<SystemModule>> g_system;

// A module name compared without case and without a ".dll" ending.
std::string NormalName(std::string_view name)
{
    std::string text(name);
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    }
    if (text.size() > 4 && text.ends_with(".DLL"))
        text.resize(text.size() - 4);
    return text;
}

SystemModule* FindSystemModule(std::string_view name)
{
    std::string wanted = NormalName(name);
    for (auto& module : g_system) {
        if (NormalName(module->name) == wanted)
            return module.get();
    }
    return nullptr;
}

SystemModule* SystemModuleOf(HMODULE handle)
{
    for (auto& module : g_system) {
        if (reinterpret_cast<HMODULE>(module.get()) == handle)
            return module.get();
    }
    return nullptr;
}

LoadedModule* LoadedModuleOf(HMODULE handle)
{
    for (auto& module : g_loaded) {
        if (module->handle == handle)
            return module.get();
    }
    return nullptr;
}

// Whether the machine declares a module missing, by any of its spellings ("shell32",
// "SHELL32.DLL").
bool IsDeclaredMissing(std::string_view name)
{
    auto& machine = machine::CurrentMachine();
    std::string plain = NormalName(name);
    return machine.IsModuleMissing(name) || machine.IsModuleMissing(plain) || machine.IsModuleMissing(plain + ".DLL");
}

// The load base of an object opened with dlopen.
HMODULE BaseOfHandle(void* dl)
{
    link_map* map = nullptr;
    if (::dlinfo(dl, RTLD_DI_LINKMAP, &map) != 0 || !map)
        return nullptr;
    Dl_info info;
    if (!::dladdr(map->l_ld, &info))
        return nullptr;
    return static_cast<HMODULE>(info.dli_fbase);
}

HMODULE ProgramModule()
{
    static HMODULE program = BaseOfHandle(::dlopen(nullptr, RTLD_NOW));
    return program;
}

bool IsElfFile(const fs::path& host)
{
    char magic[4] = {};
    std::ifstream in(host, std::ios::binary);
    in.read(magic, sizeof magic);
    return in && std::memcmp(magic, "\x7F" "ELF", 4) == 0;
}

HMODULE Fail(DWORD error)
{
    SetLastError(error);
    return nullptr;
}

// Where a bare module name is looked for: beside the program, then in the current folder.
std::vector<std::u16string> Candidates(const std::u16string& path)
{
    bool bare = path.find_first_of(u"\\/:") == std::u16string::npos;
    if (!bare)
        return {path};
    std::u16string programFolder = WindowsPathFromHost(ModuleHostPath(nullptr).parent_path());
    return {programFolder + u"\\" + path, path};
}

HMODULE LoadFile(const fs::path& mapped)
{
    std::error_code ec;
    fs::path host = fs::canonical(mapped, ec);
    if (ec || !fs::is_regular_file(host, ec))
        return Fail(ERROR_MOD_NOT_FOUND);
    for (auto& module : g_loaded) {
        if (module->host == host) {
            ++module->references;
            return module->handle;
        }
    }
    if (!IsElfFile(host))
        return Fail(ERROR_BAD_EXE_FORMAT);
    void* dl = ::dlopen(host.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!dl)
        return Fail(ERROR_MOD_NOT_FOUND);
    HMODULE handle = BaseOfHandle(dl);
    if (auto* same = LoadedModuleOf(handle)) {
        ::dlclose(dl);
        ++same->references;
        return handle;
    }

    auto module = std::make_unique<LoadedModule>();
    module->handle = handle;
    module->dl = dl;
    module->references = 1;
    module->host = host;
    g_loaded.push_back(std::move(module));
    auto dllMain = reinterpret_cast<DllMainFunction>(ModuleSymbol(handle, "DllMain"));
    if (dllMain && !dllMain(handle, DLL_PROCESS_ATTACH, nullptr)) {
        std::erase_if(g_loaded, [&](const auto& m) { return m->handle == handle; });
        ::dlclose(dl);
        return Fail(kErrorDllInitFailed);
    }
    return handle;
}

DWORD CopyName(const std::u16string& name, LPWSTR buffer, DWORD size)
{
    if (!buffer || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (name.size() + 1 > size) {
        std::copy_n(name.begin(), size - 1, buffer);
        buffer[size - 1] = u'\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::copy(name.begin(), name.end(), buffer);
    buffer[name.size()] = u'\0';
    return static_cast<DWORD>(name.size());
}

// The Windows path of a module, or nothing for a handle that is no module.
std::optional<std::u16string> ModuleWindowsPath(HMODULE module)
{
    if (auto* system = SystemModuleOf(module)) {
        Dl_info info;
        if (!system->functions.empty() &&
            ::dladdr(reinterpret_cast<void*>(system->functions.front().address), &info) && info.dli_fname)
            return WindowsPathFromHost(fs::path(info.dli_fname).parent_path() / system->name);
        return WideFromUtf8(system->name);
    }
    fs::path host = ModuleHostPath(module);
    if (host.empty())
        return std::nullopt;
    return WindowsPathFromHost(host);
}

}  // namespace

namespace yolt {

void RegisterSystemModule(const char* name, const SystemFunction* functions, size_t count)
{
    std::lock_guard guard(g_lock);
    SystemModule* module = FindSystemModule(name);
    if (!module) {
        g_system.push_back(std::make_unique<SystemModule>());
        module = g_system.back().get();
        module->name = name;
    }
    for (size_t i = 0; i < count; ++i) {
        std::erase_if(module->functions, [&](const SystemFunction& f) { return std::strcmp(f.name, functions[i].name) == 0; });
        module->functions.push_back(functions[i]);
    }
}

fs::path ModuleHostPath(HMODULE module)
{
    std::lock_guard guard(g_lock);
    if (!module || module == ProgramModule()) {
        std::error_code ec;
        return fs::read_symlink("/proc/self/exe", ec);
    }
    if (auto* loaded = LoadedModuleOf(module))
        return loaded->host;
    if (SystemModuleOf(module))
        return {};
    Dl_info info;
    if (!::dladdr(module, &info) || info.dli_fbase != module || !info.dli_fname)
        return {};
    std::error_code ec;
    return fs::absolute(info.dli_fname, ec);
}

void* ModuleSymbol(HMODULE module, const char* name)
{
    if (!name)
        return nullptr;
    std::lock_guard guard(g_lock);
    if (!module)
        module = ProgramModule();
    if (SystemModuleOf(module))
        return nullptr;
    void* symbol = nullptr;
    if (auto* loaded = LoadedModuleOf(module)) {
        symbol = ::dlsym(loaded->dl, name);
    } else {
        fs::path host = ModuleHostPath(module);
        void* dl = module == ProgramModule() ? ::dlopen(nullptr, RTLD_LAZY)
                                             : ::dlopen(host.c_str(), RTLD_LAZY | RTLD_NOLOAD);
        if (!dl)
            return nullptr;
        symbol = ::dlsym(dl, name);
        ::dlclose(dl);
    }
    // Only what the module defines itself counts, not what its dependencies bring along.
    if (!symbol || ModuleFromAddress(symbol) != module)
        return nullptr;
    return symbol;
}

HMODULE ModuleFromAddress(const void* address)
{
    Dl_info info;
    if (!address || !::dladdr(address, &info))
        return nullptr;
    return static_cast<HMODULE>(info.dli_fbase);
}

}  // namespace yolt

extern "C" {

HMODULE LoadLibraryW(LPCWSTR path)
{
    if (!path || !*path)
        return Fail(ERROR_INVALID_PARAMETER);
    std::lock_guard guard(g_lock);
    std::u16string text(path);
    std::string name = Utf8FromWide(text);
    if (text.find_first_of(u"\\/:") == std::u16string::npos) {
        if (IsDeclaredMissing(name))
            return Fail(ERROR_MOD_NOT_FOUND);
        if (auto* system = FindSystemModule(name))
            return IsDeclaredMissing(system->name) ? Fail(ERROR_MOD_NOT_FOUND) : reinterpret_cast<HMODULE>(system);
    }
    DWORD error = ERROR_MOD_NOT_FOUND;
    for (const auto& candidate : Candidates(text)) {
        DWORD mapError = 0;
        auto mapped = MapWindowsPath(candidate, mapError);
        if (!mapped) {
            error = mapError == ERROR_INVALID_NAME ? ERROR_INVALID_NAME : ERROR_MOD_NOT_FOUND;
            continue;
        }
        if (HMODULE module = LoadFile(mapped->host))
            return module;
        error = GetLastError();
        if (error != ERROR_MOD_NOT_FOUND)
            break;
    }
    return Fail(error);
}

HMODULE LoadLibraryA(LPCSTR path)
{
    auto wide = WidePathFromAcp(path);
    return wide ? LoadLibraryW(wide->c_str()) : nullptr;
}

BOOL FreeLibrary(HMODULE module)
{
    std::lock_guard guard(g_lock);
    if (SystemModuleOf(module))
        return TRUE;
    LoadedModule* loaded = LoadedModuleOf(module);
    if (!loaded) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (--loaded->references > 0)
        return TRUE;
    if (auto dllMain = reinterpret_cast<DllMainFunction>(ModuleSymbol(module, "DllMain")))
        dllMain(module, DLL_PROCESS_DETACH, nullptr);
    void* dl = loaded->dl;
    std::erase_if(g_loaded, [&](const auto& m) { return m->handle == module; });
    ::dlclose(dl);
    return TRUE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    // Ordinals (values below 0x10000 in place of a name) are not offered.
    if (!name || reinterpret_cast<uintptr_t>(name) < 0x10000) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    std::lock_guard guard(g_lock);
    if (auto* system = SystemModuleOf(module)) {
        if (machine::CurrentMachine().IsFunctionMissing(system->name, name)) {
            SetLastError(ERROR_PROC_NOT_FOUND);
            return nullptr;
        }
        for (const auto& function : system->functions) {
            if (std::strcmp(function.name, name) == 0)
                return function.address;
        }
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    if (module && !LoadedModuleOf(module) && ModuleHostPath(module).empty()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* symbol = ModuleSymbol(module, name);
    if (!symbol) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

HMODULE GetModuleHandleW(LPCWSTR name)
{
    if (!name)
        return ProgramModule();
    std::lock_guard guard(g_lock);
    std::u16string text(name);
    std::string narrow = Utf8FromWide(text);
    if (text.find_first_of(u"\\/:") == std::u16string::npos) {
        if (auto* system = FindSystemModule(narrow)) {
            if (IsDeclaredMissing(narrow) || IsDeclaredMissing(system->name))
                return Fail(ERROR_MOD_NOT_FOUND);
            return reinterpret_cast<HMODULE>(system);
        }
        std::string wanted = NormalName(narrow);
        for (auto& module : g_loaded) {
            if (NormalName(module->host.filename().string()) == wanted)
                return module->handle;
        }
        return Fail(ERROR_MOD_NOT_FOUND);
    }
    DWORD error = 0;
    auto mapped = MapWindowsPath(text, error);
    std::error_code ec;
    fs::path host = mapped ? fs::canonical(mapped->host, ec) : fs::path();
    for (auto& module : g_loaded) {
        if (!host.empty() && module->host == host)
            return module->handle;
    }
    return Fail(ERROR_MOD_NOT_FOUND);
}

HMODULE GetModuleHandleA(LPCSTR name)
{
    if (!name)
        return GetModuleHandleW(nullptr);
    auto wide = WidePathFromAcp(name);
    return wide ? GetModuleHandleW(wide->c_str()) : nullptr;
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size)
{
    std::lock_guard guard(g_lock);
    auto path = ModuleWindowsPath(module);
    if (!path) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    return CopyName(*path, buffer, size);
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size)
{
    std::lock_guard guard(g_lock);
    auto path = ModuleWindowsPath(module);
    if (!path) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (!buffer || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::string narrow = AcpFromWide(*path);
    if (narrow.size() + 1 > size) {
        std::memcpy(buffer, narrow.data(), size - 1);
        buffer[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(buffer, narrow.c_str(), narrow.size() + 1);
    return static_cast<DWORD>(narrow.size());
}

}  // extern "C"
