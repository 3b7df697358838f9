#include "platform/kernel/hostfiles.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/codepages.h"

namespace fs = std::filesystem;

namespace yolt::kernel {

DWORD ErrorFromErrno(int error)
{
    switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EROFS: return ERROR_WRITE_PROTECT;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EBUSY: return ERROR_BUSY;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_GEN_FAILURE;
    }
}

DWORD MissingError(const fs::path& host)
{
    struct stat st;
    if (::stat(host.parent_path().c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return ERROR_FILE_NOT_FOUND;
    return ERROR_PATH_NOT_FOUND;
}

bool SetReadOnly(const fs::path& host, bool readOnly)
{
    struct stat st;
    if (::stat(host.c_str(), &st) != 0)
        return false;
    mode_t mode = readOnly ? (st.st_mode & ~S_IWUSR) : (st.st_mode | S_IWUSR);
    if (mode == st.st_mode)
        return true;
    return ::chmod(host.c_str(), mode & 07777) == 0;
}

std::optional<std::u16string> WidePathFromAcp(LPCSTR path)
{
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    int needed = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (needed <= 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return std::nullopt;
    }
    std::u16string wide(static_cast<size_t>(needed), u'\0');
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), needed) <= 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return std::nullopt;
    }
    wide.resize(static_cast<size_t>(needed - 1));
    return wide;
}

std::string AcpFromWide(const std::u16string& text)
{
    int needed = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return {};
    std::vector<char> narrow(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow.data(), needed, nullptr, nullptr);
    return std::string(narrow.data());
}

void CopyToAcp(const std::u16string& text, LPSTR buffer, size_t size)
{
    if (!buffer || size == 0)
        return;
    std::string narrow = AcpFromWide(text);
    size_t length = std::min(narrow.size(), size - 1);
    std::memcpy(buffer, narrow.data(), length);
    buffer[length] = '\0';
}

DWORD FillBuffer(const std::u16string& text, LPWSTR buffer, DWORD size)
{
    if (!buffer || size < text.size() + 1)
        return static_cast<DWORD>(text.size() + 1);
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = u'\0';
    return static_cast<DWORD>(text.size());
}

DWORD FillBuffer(const std::string& text, LPSTR buffer, DWORD size)
{
    if (!buffer || size < text.size() + 1)
        return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

}  // namespace yolt::kernel
