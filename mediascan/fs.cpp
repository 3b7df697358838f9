#include "mediascan/fs.h"

#include <alloca.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/kernel/codepages.h"
#include "platform/kernel/drives.h"
#include "platform/kernel/files.h"
#include "shared/platform_record.h"

namespace {

// Longest path a system call accepts; longer ones are refused before any stack is taken.
constexpr size_t kLongestPath = 32767;

// Converts `path` into `buffer` (of `size` bytes); false when the conversion fails.
bool ToNarrow(LPCWSTR path, char* buffer, size_t size)
{
    return WideCharToMultiByte(ConversionCodePage(), 0, path, -1, buffer, static_cast<int>(size), nullptr, nullptr) > 0;
}

// The narrow scratch buffer of a path: twice its length in characters plus 2 bytes, on the
// caller's stack. Used as a macro so the memory belongs to the calling function's frame.
#define NARROW_BUFFER_SIZE(path) (2 * wcslen(path) + 2)
#define WITH_NARROW_PATH(path, name, onFailure)                                      \
    size_t name##Size = NARROW_BUFFER_SIZE(path);                                    \
    if (name##Size > 2 * kLongestPath + 2) {                                         \
        SetLastError(ERROR_FILENAME_EXCED_RANGE);                                    \
        return onFailure;                                                            \
    }                                                                                \
    char* name = static_cast<char*>(alloca(name##Size));                             \
    if (!ToNarrow(path, name, name##Size)) {                                         \
        SetLastError(ERROR_INVALID_PARAMETER);                                       \
        return onFailure;                                                            \
    }

// Widens a name that a narrow listing returned into the entry, in the conversion code page.
void FillEntryFromNarrow(const char* name, DWORD attributes, FsFindEntry* entry)
{
    size_t length = std::strlen(name);
    WCHAR* wide = static_cast<WCHAR*>(alloca((length + 1) * sizeof(WCHAR)));
    int converted = MultiByteToWideChar(ConversionCodePage(), 0, name, -1, wide, static_cast<int>(length + 1));
    if (converted <= 0)
        wide[0] = u'\0';
    size_t copy = std::min(wcslen(wide), static_cast<size_t>(MAX_PATH - 1));
    std::copy_n(wide, copy, entry->name);
    entry->name[copy] = u'\0';
    entry->attributes = attributes;
}

void FillEntryFromWide(const WIN32_FIND_DATAW& data, FsFindEntry* entry)
{
    size_t copy = std::min(wcslen(data.cFileName), static_cast<size_t>(MAX_PATH - 1));
    std::copy_n(data.cFileName, copy, entry->name);
    entry->name[copy] = u'\0';
    entry->attributes = data.dwFileAttributes;
}

HANDLE OpenWithDisposition(LPCWSTR path, DWORD disposition)
{
    if (!path)
        return INVALID_HANDLE_VALUE;
    const DWORD access = GENERIC_READ | GENERIC_WRITE;
    if (IsNtFamily())
        return CreateFileW(path, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    WITH_NARROW_PATH(path, narrow, INVALID_HANDLE_VALUE)
    return CreateFileA(narrow, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool IsDotName(const WCHAR* name)
{
    return wcscmp(name, u".") == 0 || wcscmp(name, u"..") == 0;
}

}  // namespace

BOOL FsCreateDirectory(LPCWSTR path)
{
    if (!path)
        return 0;
    if (IsNtFamily())
        return CreateDirectoryW(path, nullptr);
    WITH_NARROW_PATH(path, narrow, 0)
    return CreateDirectoryA(narrow, nullptr);
}

HANDLE FsCreateFile(LPCWSTR path)
{
    return OpenWithDisposition(path, CREATE_ALWAYS);
}

HANDLE FsOpenFile(LPCWSTR path)
{
    return OpenWithDisposition(path, OPEN_ALWAYS);
}

BOOL FsDeleteFile(LPCWSTR path)
{
    if (!path)
        return 0;
    if (IsNtFamily())
        return DeleteFileW(path);
    WITH_NARROW_PATH(path, narrow, 0)
    return DeleteFileA(narrow);
}

DWORD FsGetFileAttributes(LPCWSTR path)
{
    if (!path)
        return INVALID_FILE_ATTRIBUTES;
    if (IsNtFamily())
        return GetFileAttributesW(path);
    WITH_NARROW_PATH(path, narrow, INVALID_FILE_ATTRIBUTES)
    return GetFileAttributesA(narrow);
}

BOOL FsSetFileAttributes(LPCWSTR path, DWORD attributes)
{
    if (!path)
        return 0;
    if (IsNtFamily())
        return SetFileAttributesW(path, attributes);
    WITH_NARROW_PATH(path, narrow, 0)
    return SetFileAttributesA(narrow, attributes);
}

BOOL FsRemoveDirectory(LPCWSTR path)
{
    if (!path)
        return 0;
    if (IsNtFamily())
        return RemoveDirectoryW(path);
    WITH_NARROW_PATH(path, narrow, 0)
    return RemoveDirectoryA(narrow);
}

BOOL FsGetDiskFreeSpace(LPCWSTR path, ULONGLONG* available, ULONGLONG* total, ULONGLONG* free)
{
    if (!path)
        return 0;
    ULARGE_INTEGER availableBytes = {}, totalBytes = {}, freeBytes = {};
    BOOL result = 0;
    if (IsNtFamily()) {
        result = GetDiskFreeSpaceExW(path, &availableBytes, &totalBytes, &freeBytes);
    } else {
        WITH_NARROW_PATH(path, narrow, 0)
        result = GetDiskFreeSpaceExA(narrow, &availableBytes, &totalBytes, &freeBytes);
    }
    auto combine = [](const ULARGE_INTEGER& v) {
        return (static_cast<ULONGLONG>(v.u.HighPart) << 32) | v.u.LowPart;
    };
    if (available)
        *available = combine(availableBytes);
    if (total)
        *total = combine(totalBytes);
    if (free)
        *free = combine(freeBytes);
    return result;
}

HANDLE FsFindFirst(LPCWSTR pattern, FsFindEntry* entry)
{
    if (!pattern || !entry)
        return INVALID_HANDLE_VALUE;
    if (IsNtFamily()) {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW(pattern, &data);
        if (find != INVALID_HANDLE_VALUE)
            FillEntryFromWide(data, entry);
        return find;
    }
    WITH_NARROW_PATH(pattern, narrow, INVALID_HANDLE_VALUE)
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(narrow, &data);
    if (find != INVALID_HANDLE_VALUE)
        FillEntryFromNarrow(data.cFileName, data.dwFileAttributes, entry);
    return find;
}

BOOL FsFindNext(HANDLE find, FsFindEntry* entry)
{
    if (!entry)
        return 0;
    if (IsNtFamily()) {
        WIN32_FIND_DATAW data;
        if (!FindNextFileW(find, &data))
            return 0;
        FillEntryFromWide(data, entry);
        return 1;
    }
    WIN32_FIND_DATAA data;
    if (!FindNextFileA(find, &data))
        return 0;
    FillEntryFromNarrow(data.cFileName, data.dwFileAttributes, entry);
    return 1;
}

void FsFindClose(HANDLE find)
{
    FindClose(find);
}

BOOL FsRemoveDirectoryForce(LPCWSTR path)
{
    DWORD attributes = FsGetFileAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0;
    if (!FsSetFileAttributes(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)))
        return 0;
    return FsRemoveDirectory(path);
}

void FsClearFolder(LPCWSTR folder)
{
    if (!folder)
        return;
    std::u16string pattern = std::u16string(folder) + u"\\*";
    FsFindEntry entry;
    HANDLE find = FsFindFirst(pattern.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        // An empty name (one that could not be widened) would name the folder itself.
        if (IsDotName(entry.name) || entry.name[0] == u'\0')
            continue;
        std::u16string child = std::u16string(folder) + u"\\" + entry.name;
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            FsClearFolder(child.c_str());
            FsRemoveDirectoryForce(child.c_str());
            continue;
        }
        DWORD attributes = FsGetFileAttributes(child.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            FsSetFileAttributes(child.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)))
            FsDeleteFile(child.c_str());
    } while (FsFindNext(find, &entry));
    FsFindClose(find);
}
