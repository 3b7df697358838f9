// Resources of modules: lookup in a loaded module (through the blob its "yolt_resource_blob"
// symbol exports, or else its file) and in a module file by path without loading it. The
// data layouts are described in resource_format.h, dialog_template.h and version_info.h.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "platform/base/types.h"
#include "platform/resources/resource_directory.h"

struct HRSRC__;
typedef HRSRC__* HRSRC;
typedef HANDLE HGLOBAL;

namespace yolt {
/// A resource number that converts to either text type, so MAKEINTRESOURCE and the RT_*
/// constants serve the narrow and the wide calls alike.
struct IntResource {
    WORD value;
    operator LPCSTR() const { return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(value)); }
    operator LPCWSTR() const { return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(value)); }
};
}  // namespace yolt

#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define MAKEINTRESOURCEW(i) (reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define MAKEINTRESOURCE(i) (::yolt::IntResource{static_cast<WORD>(i)})
#define IS_INTRESOURCE(p) ((reinterpret_cast<ULONG_PTR>(p) >> 16) == 0)

#define RT_CURSOR MAKEINTRESOURCE(1)
#define RT_BITMAP MAKEINTRESOURCE(2)
#define RT_ICON MAKEINTRESOURCE(3)
#define RT_MENU MAKEINTRESOURCE(4)
#define RT_DIALOG MAKEINTRESOURCE(5)
#define RT_STRING MAKEINTRESOURCE(6)
#define RT_RCDATA MAKEINTRESOURCE(10)
#define RT_GROUP_CURSOR MAKEINTRESOURCE(12)
#define RT_GROUP_ICON MAKEINTRESOURCE(14)
#define RT_VERSION MAKEINTRESOURCE(16)

extern "C" {
/// Finds a resource of a loaded module (null: the program). Null with
/// ERROR_RESOURCE_DATA_NOT_FOUND (module without resources), ERROR_RESOURCE_TYPE_NOT_FOUND or
/// ERROR_RESOURCE_NAME_NOT_FOUND. Names are numbers (MAKEINTRESOURCE), "#123" or texts
/// matched without regard to case. Any language is taken, neutral first.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
/// As FindResource for one language (then neutral); ERROR_RESOURCE_LANG_NOT_FOUND otherwise.
HRSRC FindResourceExA(HMODULE module, LPCSTR type, LPCSTR name, WORD language);
HRSRC FindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language);
/// The resource's data; valid while the module stays loaded. Null with ERROR_INVALID_HANDLE
/// for a handle that is not a resource of this module.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
BOOL FreeResource(HGLOBAL data);
/// Size of the resource's data in bytes; 0 with ERROR_INVALID_HANDLE for a bad handle.
DWORD SizeofResource(HMODULE module, HRSRC resource);
/// Copies string `id` of the module's string table into `buffer`, at most size - 1 characters
/// and a terminator, and returns the characters copied; 0 (and an empty buffer) when absent.
/// LoadStringW with size 0 stores a pointer to the read-only text in *buffer instead and
/// returns its length. LoadStringA converts to the ANSI code page.
int LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int size);
int LoadStringW(HINSTANCE module, UINT id, LPWSTR buffer, int size);
}

namespace yolt {

/// The bytes of a resource of a loaded module (valid while it stays loaded), or an empty span
/// with the last error set as FindResource sets it.
std::span<const uint8_t> ModuleResource(HMODULE module, const rsrc::ResourceKey& type, const rsrc::ResourceKey& name);

/// Reads a resource of the module file at a host path, without loading the module. FALSE with
/// `error` = ERROR_FILE_NOT_FOUND, ERROR_BAD_EXE_FORMAT, ERROR_RESOURCE_DATA_NOT_FOUND (no
/// resources), ERROR_RESOURCE_TYPE_NOT_FOUND or ERROR_RESOURCE_NAME_NOT_FOUND.
/// Example: the type library, type "TYPELIB" and name 1.
bool ReadFileResource(const std::filesystem::path& hostPath, const rsrc::ResourceKey& type,
    const rsrc::ResourceKey& name, std::vector<uint8_t>& data, DWORD& error);
/// As above for a Windows path ("Z:\...\KVXRDTCT.dll"); ERROR_PATH_NOT_FOUND or
/// ERROR_INVALID_NAME when the path does not map to the host.
bool ReadFileResourceW(LPCWSTR windowsPath, const rsrc::ResourceKey& type, const rsrc::ResourceKey& name,
    std::vector<uint8_t>& data, DWORD& error);

}  // namespace yolt
