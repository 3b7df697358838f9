// Helpers the kernel's file, drive and module calls share: host errors as Windows error codes,
// the read-only attribute kept as the owner's write permission, and narrow paths.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/base/types.h"
#include "platform/kernel/files.h"

namespace yolt::kernel {

/// The Windows error code for a host errno value.
DWORD ErrorFromErrno(int error);

/// ERROR_FILE_NOT_FOUND when the folder of a missing `host` exists, else ERROR_PATH_NOT_FOUND.
DWORD MissingError(const std::filesystem::path& host);

/// Whether a host entry carries the read-only attribute (no write permission for its owner).
inline bool IsReadOnly(const struct stat& st)
{
    return (st.st_mode & S_IWUSR) == 0;
}

/// Sets or clears the read-only attribute of a host entry; false with errno on failure.
bool SetReadOnly(const std::filesystem::path& host, bool readOnly);

/// Runs `change` on an entry of `folder` even when the folder itself is read-only: read-only
/// folders still take new and removed entries, as on Windows. Returns what `change` returns.
template <typename Change>
auto ChangeInFolder(const std::filesystem::path& folder, Change change)
{
    struct stat st;
    bool lift = ::stat(folder.c_str(), &st) == 0 && IsReadOnly(st) && ::geteuid() != 0;
    if (lift)
        ::chmod(folder.c_str(), st.st_mode | S_IWUSR);
    auto result = change();
    int saved = errno;
    if (lift)
        ::chmod(folder.c_str(), st.st_mode);
    errno = saved;
    return result;
}

/// The attribute bits of a host entry: folder or archive (a file), and read-only.
DWORD AttributesOf(const struct stat& st);
/// Attributes, times and size of a host entry as Windows reports them.
void FillAttributeData(const struct stat& st, WIN32_FILE_ATTRIBUTE_DATA& data);

/// A narrow path in the ANSI code page as UTF-16; nothing (ERROR_PATH_NOT_FOUND, or
/// ERROR_INVALID_PARAMETER for null) when it cannot be converted.
std::optional<std::u16string> WidePathFromAcp(LPCSTR path);

/// UTF-16 text in the ANSI code page; characters it cannot hold become its default character.
std::string AcpFromWide(const std::u16string& text);

/// Copies UTF-16 text into a narrow buffer in the ANSI code page, cut to fit with a terminator.
void CopyToAcp(const std::u16string& text, LPSTR buffer, size_t size);

/// The result of a call that fills a buffer of `size` units with `text`: the length without the
/// terminator when it fits, else the size needed with the terminator (buffer left untouched).
DWORD FillBuffer(const std::u16string& text, LPWSTR buffer, DWORD size);
DWORD FillBuffer(const std::string& text, LPSTR buffer, DWORD size);

}  // namespace yolt::kernel
