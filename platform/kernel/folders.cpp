// Deleting files, creating and removing folders, attributes and the current folder.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/files.h"
#include "platform/kernel/hostfiles.h"
#include "platform/kernel/paths.h"
#include "platform/kernel/sharing.h"
#include "platform/kernel/usage.h"
#include "platform/machine/machine.h"

namespace fs = std::filesystem;
using namespace yolt;
using namespace yolt::kernel;

namespace {

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

// Maps a path given as UTF-16 text; sets the last error and returns nothing on failure.
std::optional<HostPath> Map(LPCWSTR path)
{
    if (!path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return std::nullopt;
    }
    DWORD error = 0;
    auto mapped = MapWindowsPath(path, error);
    if (!mapped)
        SetLastError(error);
    return mapped;
}

uint64_t TicksFromTimespec(const timespec& ts)
{
    constexpr uint64_t kEpochDifference = 116444736000000000ull;
    return static_cast<uint64_t>(ts.tv_sec) * 10000000 + static_cast<uint64_t>(ts.tv_nsec) / 100 + kEpochDifference;
}

FILETIME FileTimeOf(const timespec& ts)
{
    uint64_t ticks = TicksFromTimespec(ts);
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

}  // namespace

namespace yolt::kernel {

// The attribute bits of a host entry: folder, read-only, and archive for files (as a FAT volume
// marks every file written to it).
DWORD AttributesOf(const struct stat& st)
{
    DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (IsReadOnly(st))
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

void FillAttributeData(const struct stat& st, WIN32_FILE_ATTRIBUTE_DATA& data)
{
    data.dwFileAttributes = AttributesOf(st);
    data.ftCreationTime = FileTimeOf(st.st_ctim);
    data.ftLastAccessTime = FileTimeOf(st.st_atim);
    data.ftLastWriteTime = FileTimeOf(st.st_mtim);
    uint64_t size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
}

}  // namespace yolt::kernel

extern "C" {

BOOL DeleteFileW(LPCWSTR path)
{
    auto mapped = Map(path);
    if (!mapped)
        return FALSE;
    struct stat st;
    if (::stat(mapped->host.c_str(), &st) != 0)
        return Fail(MissingError(mapped->host));
    if (S_ISDIR(st.st_mode) || IsReadOnly(st))
        return Fail(ERROR_ACCESS_DENIED);
    if (!SharesDelete(st.st_dev, st.st_ino))
        return Fail(ERROR_SHARING_VIOLATION);
    int result = ChangeInFolder(mapped->host.parent_path(), [&] { return ::unlink(mapped->host.c_str()); });
    if (result != 0)
        return Fail(ErrorFromErrno(errno));
    if (st.st_nlink <= 1) {
        if (auto drive = machine::CurrentMachine().FindDrive(mapped->drive))
            AdjustFolderUsage(drive->folder, -static_cast<int64_t>(st.st_size));
    }
    return TRUE;
}

BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES)
{
    auto mapped = Map(path);
    if (!mapped)
        return FALSE;
    struct stat st;
    if (mapped->isRoot || ::stat(mapped->host.c_str(), &st) == 0)
        return Fail(ERROR_ALREADY_EXISTS);
    int result = ChangeInFolder(mapped->host.parent_path(), [&] { return ::mkdir(mapped->host.c_str(), 0777); });
    if (result != 0)
        return Fail(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
    return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR path)
{
    auto mapped = Map(path);
    if (!mapped)
        return FALSE;
    struct stat st;
    if (::stat(mapped->host.c_str(), &st) != 0)
        return Fail(MissingError(mapped->host));
    if (!S_ISDIR(st.st_mode))
        return Fail(ERROR_DIRECTORY);
    if (mapped->isRoot || IsReadOnly(st))
        return Fail(ERROR_ACCESS_DENIED);
    int result = ChangeInFolder(mapped->host.parent_path(), [&] { return ::rmdir(mapped->host.c_str()); });
    if (result != 0)
        return Fail(errno == EEXIST ? ERROR_DIR_NOT_EMPTY : ErrorFromErrno(errno));
    return TRUE;
}

DWORD GetFileAttributesW(LPCWSTR path)
{
    auto mapped = Map(path);
    if (!mapped)
        return INVALID_FILE_ATTRIBUTES;
    struct stat st;
    if (::stat(mapped->host.c_str(), &st) != 0) {
        SetLastError(MissingError(mapped->host));
        return INVALID_FILE_ATTRIBUTES;
    }
    return AttributesOf(st);
}

BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes)
{
    auto mapped = Map(path);
    if (!mapped)
        return FALSE;
    struct stat st;
    if (::stat(mapped->host.c_str(), &st) != 0)
        return Fail(MissingError(mapped->host));
    // Only the read-only bit is kept; the others have no place on the host.
    if (!SetReadOnly(mapped->host, (attributes & FILE_ATTRIBUTE_READONLY) != 0))
        return Fail(ErrorFromErrno(errno));
    return TRUE;
}

BOOL GetFileAttributesExW(LPCWSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID info)
{
    if (level != GetFileExInfoStandard || !info)
        return Fail(ERROR_INVALID_PARAMETER);
    auto mapped = Map(path);
    if (!mapped)
        return FALSE;
    struct stat st;
    if (::stat(mapped->host.c_str(), &st) != 0)
        return Fail(MissingError(mapped->host));
    FillAttributeData(st, *static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(info));
    return TRUE;
}

BOOL DeleteFileA(LPCSTR path)
{
    auto wide = WidePathFromAcp(path);
    return wide ? DeleteFileW(wide->c_str()) : FALSE;
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security)
{
    auto wide = WidePathFromAcp(path);
    return wide ? CreateDirectoryW(wide->c_str(), security) : FALSE;
}

BOOL RemoveDirectoryA(LPCSTR path)
{
    auto wide = WidePathFromAcp(path);
    return wide ? RemoveDirectoryW(wide->c_str()) : FALSE;
}

DWORD GetFileAttributesA(LPCSTR path)
{
    auto wide = WidePathFromAcp(path);
    return wide ? GetFileAttributesW(wide->c_str()) : INVALID_FILE_ATTRIBUTES;
}

BOOL SetFileAttributesA(LPCSTR path, DWORD attributes)
{
    auto wide = WidePathFromAcp(path);
    return wide ? SetFileAttributesW(wide->c_str(), attributes) : FALSE;
}

BOOL GetFileAttributesExA(LPCSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID info)
{
    auto wide = WidePathFromAcp(path);
    return wide ? GetFileAttributesExW(wide->c_str(), level, info) : FALSE;
}

DWORD GetCurrentDirectoryW(DWORD size, LPWSTR buffer)
{
    return FillBuffer(CurrentWindowsFolder(), buffer, size);
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer)
{
    return FillBuffer(AcpFromWide(CurrentWindowsFolder()), buffer, size);
}

DWORD GetFullPathNameW(LPCWSTR path, DWORD size, LPWSTR buffer, LPWSTR* filePart)
{
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DWORD error = 0;
    auto parsed = ParseWindowsPath(path, error);
    if (!parsed) {
        SetLastError(error);
        return 0;
    }
    std::u16string full = parsed->Text();
    DWORD result = FillBuffer(full, buffer, size);
    if (filePart && result == full.size())
        *filePart = parsed->names.empty() ? nullptr : buffer + (full.size() - parsed->names.back().size());
    return result;
}

}  // extern "C"
