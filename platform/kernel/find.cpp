// Folder listings: FindFirstFile, FindNextFile, FindClose.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/kernel/files.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/hostfiles.h"
#include "platform/kernel/paths.h"

namespace fs = std::filesystem;
using namespace yolt;
using namespace yolt::kernel;

namespace {

// One open listing: the folder's names as the host delivered them, read when the listing
// started, and the pattern they are matched against as they are handed out.
class FindObject final : public KernelObject {
public:
    fs::path folder;
    std::vector<std::string> names;
    size_t next = 0;
    std::u16string pattern;
    bool ignoreCase = true;
};

bool MatchWildcard(std::u16string_view pattern, std::u16string_view name, bool ignoreCase)
{
    auto same = [&](char16_t a, char16_t b) { return ignoreCase ? FoldUpper(a) == FoldUpper(b) : a == b; };
    size_t p = 0, n = 0, starP = std::u16string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

// Hands out the next entry that still exists and matches; false at the end of the listing.
bool NextEntry(FindObject& find, WIN32_FIND_DATAW& data)
{
    while (find.next < find.names.size()) {
        const std::string& name = find.names[find.next++];
        std::u16string wide = WideFromUtf8(name);
        if (!MatchWildcard(find.pattern, wide, find.ignoreCase))
            continue;
        struct stat st;
        if (::stat((find.folder / name).c_str(), &st) != 0)
            continue;  // removed since the listing started
        WIN32_FILE_ATTRIBUTE_DATA info;
        FillAttributeData(st, info);
        std::memset(&data, 0, sizeof data);
        data.dwFileAttributes = info.dwFileAttributes;
        data.ftCreationTime = info.ftCreationTime;
        data.ftLastAccessTime = info.ftLastAccessTime;
        data.ftLastWriteTime = info.ftLastWriteTime;
        data.nFileSizeHigh = info.nFileSizeHigh;
        data.nFileSizeLow = info.nFileSizeLow;
        size_t length = std::min(wide.size(), static_cast<size_t>(MAX_PATH - 1));
        std::copy_n(wide.begin(), length, data.cFileName);
        return true;
    }
    return false;
}

std::vector<std::string> ReadNames(const fs::path& folder, bool withDots)
{
    std::vector<std::string> names;
    if (withDots) {
        names.emplace_back(".");
        names.emplace_back("..");
    }
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return names;
    while (dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return names;
}

void NarrowFindData(const WIN32_FIND_DATAW& wide, WIN32_FIND_DATAA& narrow)
{
    std::memset(&narrow, 0, sizeof narrow);
    narrow.dwFileAttributes = wide.dwFileAttributes;
    narrow.ftCreationTime = wide.ftCreationTime;
    narrow.ftLastAccessTime = wide.ftLastAccessTime;
    narrow.ftLastWriteTime = wide.ftLastWriteTime;
    narrow.nFileSizeHigh = wide.nFileSizeHigh;
    narrow.nFileSizeLow = wide.nFileSizeLow;
    CopyToAcp(std::u16string(wide.cFileName), narrow.cFileName, MAX_PATH);
}

}  // namespace

extern "C" {

HANDLE FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data)
{
    if (!pattern || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::u16string_view text(pattern);
    size_t split = text.find_last_of(u"\\/:");
    std::u16string folderText(split == std::u16string_view::npos ? u"" : text.substr(0, split + 1));
    std::u16string name(split == std::u16string_view::npos ? text : text.substr(split + 1));
    if (folderText.empty())
        folderText = CurrentWindowsFolder();

    DWORD error = 0;
    auto mapped = MapWindowsPath(folderText, error);
    if (!mapped) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    if (::stat(mapped->host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::u16string plain = name;
    std::erase_if(plain, [](char16_t c) { return c == u'*' || c == u'?'; });
    if (mapped->fatRules && !IsValidFatName(plain)) {
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
    }

    auto find = std::make_shared<FindObject>();
    find->folder = mapped->host;
    find->pattern = name == u"*.*" ? u"*" : name;
    find->ignoreCase = mapped->fatRules;
    // Folders below a drive's root list "." and ".." first, as Windows does.
    find->names = ReadNames(mapped->host, !mapped->isRoot);
    if (name.empty() || !NextEntry(*find, *data)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return AddHandle(std::move(find));
}

BOOL FindNextFileW(HANDLE handle, LPWIN32_FIND_DATAW data)
{
    auto find = LookupHandleAs<FindObject>(handle);
    if (!find) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!NextEntry(*find, *data)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    return TRUE;
}

BOOL FindClose(HANDLE handle)
{
    if (!LookupHandleAs<FindObject>(handle) || !RemoveHandle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data)
{
    auto wide = WidePathFromAcp(pattern);
    if (!wide)
        return INVALID_HANDLE_VALUE;
    if (!data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    WIN32_FIND_DATAW wideData;
    HANDLE handle = FindFirstFileW(wide->c_str(), &wideData);
    if (handle != INVALID_HANDLE_VALUE)
        NarrowFindData(wideData, *data);
    return handle;
}

BOOL FindNextFileA(HANDLE handle, LPWIN32_FIND_DATAA data)
{
    if (!data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WIN32_FIND_DATAW wideData;
    if (!FindNextFileW(handle, &wideData))
        return FALSE;
    NarrowFindData(wideData, *data);
    return TRUE;
}

}  // extern "C"
