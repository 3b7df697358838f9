#include "mediascan/playlist_file.h"

#include <optional>
#include <string_view>

#include "mediascan/fs.h"
#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/codepages.h"
#include "platform/kernel/files.h"
#include "shared/platform_record.h"

namespace {

constexpr std::string_view kHeaderLine = "#EXTM3U\n";
constexpr std::string_view kTitlePrefix = "#EXTINF:-1,";
// A title line's converted title is cut here; display titles of two tag values never come near.
constexpr size_t kTitleLimit = 65240;

// The text in the conversion code page; characters the code page cannot hold become its default
// character. Empty when the conversion fails.
std::optional<std::string> ToNarrow(const std::u16string& text)
{
    if (text.empty())
        return std::string();
    UINT codePage = ConversionCodePage();
    int length = static_cast<int>(text.size());
    int needed = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return std::nullopt;
    std::string narrow(static_cast<size_t>(needed), '\0');
    if (WideCharToMultiByte(codePage, 0, text.data(), length, narrow.data(), needed, nullptr, nullptr) != needed)
        return std::nullopt;
    return narrow;
}

// Writes all of `bytes`; true only when the system reports every byte written.
bool WriteWhole(HANDLE file, std::string_view bytes)
{
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return ok && written == bytes.size();
}

// Moves the file position to `low`/`high` and cuts the file there.
void CutBackTo(HANDLE file, DWORD low, LONG high)
{
    if (SetFilePointer(file, static_cast<LONG>(low), &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return;
    SetEndOfFile(file);
}

}  // namespace

PlaylistFile::~PlaylistFile()
{
    Close();
}

bool PlaylistFile::Open(LPCWSTR path, bool create, bool extended)
{
    Close();
    m_extended = extended ? 1 : 0;
    m_handle = create ? FsCreateFile(path) : FsOpenFile(path);
    if (m_handle == INVALID_HANDLE_VALUE)
        return false;
    if (!create || !extended)
        return true;
    if (WriteWhole(m_handle, kHeaderLine))
        return true;
    // A header that did not fit is not left half-written.
    CutBackTo(m_handle, 0, 0);
    return false;
}

bool PlaylistFile::Append(const PlaylistEntry& entry)
{
    if (m_handle == INVALID_HANDLE_VALUE)
        return false;
    SetLastError(NO_ERROR);
    LONG endHigh = 0;
    DWORD endLow = SetFilePointer(m_handle, 0, &endHigh, FILE_END);
    if (endLow == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        return false;

    auto path = ToNarrow(entry.path);
    if (!path)
        return false;
    std::string line;
    if (m_extended) {
        auto title = ToNarrow(entry.title);
        if (!title)
            return false;
        if (title->size() > kTitleLimit)
            title->resize(kTitleLimit);
        line.append(kTitlePrefix).append(*title).append("\n");
    }
    // A path is written whole, however long its converted form is.
    line.append(*path).append("\n");

    if (WriteWhole(m_handle, line))
        return true;
    CutBackTo(m_handle, endLow, endHigh);
    return false;
}

void PlaylistFile::Close()
{
    if (m_handle == INVALID_HANDLE_VALUE)
        return;
    CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
}
