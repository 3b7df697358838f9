// Modules: ELF shared objects loaded by Windows path, and the platform's own system modules
// ("SETUPAPI.DLL", "shell32.dll", "WMVCore.dll"), which a machine may declare missing.
#pragma once

#include <filesystem>
#include <string>

#include "platform/base/types.h"

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

extern "C" {
/// Loads a module by path or, for system modules, by name. Failure: null with
/// ERROR_MOD_NOT_FOUND (missing file or module), ERROR_BAD_EXE_FORMAT (not loadable).
HMODULE LoadLibraryA(LPCSTR path);
HMODULE LoadLibraryW(LPCWSTR path);
BOOL FreeLibrary(HMODULE module);
/// A function of a module; null with ERROR_PROC_NOT_FOUND.
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
/// The module that is loaded under this name or path, or (null name) the program itself.
HMODULE GetModuleHandleA(LPCSTR name);
HMODULE GetModuleHandleW(LPCWSTR name);
/// The module's Windows path (on Z: for host files).
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);
}

namespace yolt {

/// A system module's exported functions, registered by the platform area that provides it.
struct SystemFunction {
    const char* name;
    FARPROC address;
};
void RegisterSystemModule(const char* name, const SystemFunction* functions, size_t count);

/// The host path of a loaded module (the program's own for null), for reading its file.
std::filesystem::path ModuleHostPath(HMODULE module);
/// The address of a symbol of a loaded module (not a system module), or null.
void* ModuleSymbol(HMODULE module, const char* name);
/// The module that contains `address` (a function or data of the caller), or null.
HMODULE ModuleFromAddress(const void* address);

}  // namespace yolt
