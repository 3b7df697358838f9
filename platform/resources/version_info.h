// Version information of module files: the version tree and the calls that read it.
//
// The tree (resource RT_VERSION 1) is made of nodes, each starting on a 4-byte boundary:
//   WORD length (of the node with its children)   WORD value length   WORD type (1 text, 0 binary)
//   UTF-16 key with terminator; padding to 4; value; padding to 4; children
// A text value's length counts UTF-16 units with the terminator, a binary value's counts bytes.
// The root "VS_VERSION_INFO" holds VS_FIXEDFILEINFO; its children are the blocks
// "StringFileInfo" (one block per language and code page, such as "000004B0", holding text
// values such as "ProductName") and "VarFileInfo" (binary "Translation": pairs of WORDs,
// language then code page).
#pragma once

#include "platform/base/types.h"

#define VS_FFI_SIGNATURE 0xFEEF04BDu
#define VS_FFI_STRUCVERSION 0x00010000u
#define VS_FFI_FILEFLAGSMASK 0x0000003Fu
#define VS_FF_DEBUG 0x1
#define VS_FF_PRERELEASE 0x2
#define VOS_NT_WINDOWS32 0x00040004
#define VFT_APP 0x1
#define VFT_DLL 0x2

struct VS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

extern "C" {
/// Bytes a GetFileVersionInfo buffer needs for the module file at this Windows path; 0 with
/// ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND (no file), ERROR_BAD_EXE_FORMAT (not a module)
/// or ERROR_RESOURCE_DATA_NOT_FOUND / ERROR_RESOURCE_TYPE_NOT_FOUND (no version information).
/// `handle` (may be null) receives 0.
DWORD GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle);
DWORD GetFileVersionInfoSizeW(LPCWSTR path, LPDWORD handle);
/// Copies the version information into `data` (at least the size above; a smaller buffer fails
/// with ERROR_INSUFFICIENT_BUFFER). The buffer also holds room for the 8-bit answers of
/// VerQueryValueA.
BOOL GetFileVersionInfoA(LPCSTR path, DWORD handle, DWORD size, LPVOID data);
BOOL GetFileVersionInfoW(LPCWSTR path, DWORD handle, DWORD size, LPVOID data);
/// Looks up a value in a buffer filled by GetFileVersionInfo: "\" gives VS_FIXEDFILEINFO,
/// "\StringFileInfo\<lang><cp>\<name>" a text (length in characters with the terminator),
/// "\VarFileInfo\Translation" the translation pairs (length in bytes). Keys match without
/// regard to case. The pointer points into `block`. FALSE when the value is absent.
/// VerQueryValueA answers texts in the ANSI code page.
BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, UINT* length);
BOOL VerQueryValueW(LPCVOID block, LPCWSTR subBlock, LPVOID* buffer, UINT* length);
}
