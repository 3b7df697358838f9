// The registry: HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and HKEY_CLASSES_ROOT (a view of
// HKLM\Software\Classes), kept as .reg text files in the machine's registry folder (HKLM.reg,
// HKCU.reg, HKU.reg; in memory only when the machine has no registry folder). Calls return Win32
// error codes (ERROR_SUCCESS on success) as Windows does: ERROR_INVALID_HANDLE for a handle that is
// not open, ERROR_KEY_DELETED for a key deleted while open, ERROR_REGISTRY_CORRUPT when the hive
// file cannot be parsed (it is then left untouched).
#pragma once

#include "platform/base/types.h"

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002u)))
#define HKEY_USERS (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000003u)))

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7
#define REG_QWORD 11

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F

#define REG_OPTION_NON_VOLATILE 0
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2

typedef DWORD REGSAM;

extern "C" {
LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
/// Opens an existing key (null or "" subkey: the key itself); ERROR_FILE_NOT_FOUND when missing.
/// Subkey paths separate names with backslashes; names match without regard to case.
LONG RegOpenKeyA(HKEY key, LPCSTR subKey, PHKEY result);
LONG RegOpenKeyW(HKEY key, LPCWSTR subKey, PHKEY result);
LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
    LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options, REGSAM access,
    LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
/// Opens a key, creating it and its missing parents; *disposition tells which happened.
/// ERROR_ACCESS_DENIED below a live key; ERROR_INVALID_PARAMETER for names with control characters.
LONG RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result);
LONG RegCreateKeyW(HKEY key, LPCWSTR subKey, PHKEY result);
/// Closes a key opened by this process; ERROR_INVALID_HANDLE for anything else.
LONG RegCloseKey(HKEY key);
/// Enumerates subkey names in creation order; ERROR_NO_MORE_ITEMS past the last, ERROR_MORE_DATA when the name
/// does not fit.
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPSTR keyClass,
    LPDWORD classSize, PFILETIME lastWrite);
LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD reserved, LPWSTR keyClass,
    LPDWORD classSize, PFILETIME lastWrite);
LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize);
/// Enumerates values in creation order; sizes and errors as for RegEnumKeyEx and RegQueryValueEx.
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPDWORD type,
    LPBYTE data, LPDWORD dataSize);
LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD reserved, LPDWORD type,
    LPBYTE data, LPDWORD dataSize);
/// Reads a value (null or "" name: the default value). Narrow calls return text in the code page.
/// ERROR_FILE_NOT_FOUND for a missing value; ERROR_MORE_DATA (with the size needed) when the
/// buffer is too small; a null buffer only reports the size.
LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize);
LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize);
/// Writes a value; the narrow call converts REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ data from the
/// code page. ERROR_ACCESS_DENIED without KEY_SET_VALUE access or on a live key.
LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LONG RegDeleteValueA(HKEY key, LPCSTR name);
LONG RegDeleteValueW(HKEY key, LPCWSTR name);
/// Deletes a key that has no subkeys (ERROR_ACCESS_DENIED otherwise, as the NT family does).
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey);
/// Deletes a key with everything below it; a null subkey empties the key itself and keeps it.
LONG RegDeleteTreeA(HKEY key, LPCSTR subKey);
LONG RegDeleteTreeW(HKEY key, LPCWSTR subKey);
/// Counts and longest lengths of a key's subkeys and values (classes are always empty).
LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classSize, LPDWORD reserved, LPDWORD subKeys,
    LPDWORD maxSubKeyLen, LPDWORD maxClassLen, LPDWORD values, LPDWORD maxValueNameLen, LPDWORD maxValueLen,
    LPDWORD securityDescriptor, PFILETIME lastWrite);
LONG RegQueryInfoKeyW(HKEY key, LPWSTR keyClass, LPDWORD classSize, LPDWORD reserved, LPDWORD subKeys,
    LPDWORD maxSubKeyLen, LPDWORD maxClassLen, LPDWORD values, LPDWORD maxValueNameLen, LPDWORD maxValueLen,
    LPDWORD securityDescriptor, PFILETIME lastWrite);
}
