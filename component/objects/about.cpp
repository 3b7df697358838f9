#include "component/objects/about.h"

#include <string>
#include <vector>

#include "platform/base/bstr.h"
#include "platform/base/errors.h"
#include "platform/kernel/codepages.h"
#include "platform/kernel/files.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/modules.h"
#include "platform/resources/version_info.h"
#include "platform/shell/bytesize.h"
#include "shared/platform_record.h"

namespace {

struct Field {
    const char* block;  // a version string, or null for the size and the path
    const char* separator;
};

constexpr const char* kProductName = "\\StringFileInfo\\000004B0\\ProductName";
constexpr const char* kComments = "\\StringFileInfo\\000004B0\\Comments";
constexpr const char* kFileVersion = "\\StringFileInfo\\000004B0\\FileVersion";
constexpr const char* kLegalCopyright = "\\StringFileInfo\\000004B0\\LegalCopyright";

std::u16string Widen(const std::string& text, UINT codePage)
{
    std::u16string wide(text.size() + 1, u'\0');
    int n = MultiByteToWideChar(codePage, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    return wide;
}

// The text of the six fields, by the character width the family calls for. Narrow text is
// widened with the system's ANSI code page at the end.
template <typename Char>
struct Calls;

template <>
struct Calls<char> {
    using String = std::string;
    static DWORD ModulePath(HMODULE m, char* b, DWORD n) { return GetModuleFileNameA(m, b, n); }
    static DWORD VersionSize(const char* p) { return GetFileVersionInfoSizeA(p, nullptr); }
    static BOOL VersionData(const char* p, DWORD n, void* d) { return GetFileVersionInfoA(p, 0, n, d); }
    static bool Query(const void* data, const char* block, String& out)
    {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(data, block, &value, &length) || !value)
            return false;
        out = static_cast<const char*>(value);
        return true;
    }
    static bool Size(const char* path, String& out)
    {
        WIN32_FILE_ATTRIBUTE_DATA info;
        if (!GetFileAttributesExA(path, GetFileExInfoStandard, &info))
            return false;
        char text[128];
        if (!StrFormatByteSizeA(info.nFileSizeLow, text, 128))
            return false;
        out = text;
        return true;
    }
    static String Literal(const char* text) { return text; }
    static std::u16string ToWide(const String& text) { return Widen(text, CP_ACP); }
};

template <>
struct Calls<WCHAR> {
    using String = std::u16string;
    static DWORD ModulePath(HMODULE m, WCHAR* b, DWORD n) { return GetModuleFileNameW(m, b, n); }
    static DWORD VersionSize(const WCHAR* p) { return GetFileVersionInfoSizeW(p, nullptr); }
    static BOOL VersionData(const WCHAR* p, DWORD n, void* d) { return GetFileVersionInfoW(p, 0, n, d); }
    static bool Query(const void* data, const char* block, String& out)
    {
        void* value = nullptr;
        UINT length = 0;
        std::u16string name = Widen(block, CP_ACP);
        if (!VerQueryValueW(data, name.c_str(), &value, &length) || !value)
            return false;
        out = static_cast<const WCHAR*>(value);
        return true;
    }
    static bool Size(const WCHAR* path, String& out)
    {
        WIN32_FILE_ATTRIBUTE_DATA info;
        if (!GetFileAttributesExW(path, GetFileExInfoStandard, &info))
            return false;
        LONGLONG size = (static_cast<LONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        WCHAR text[128];
        if (!StrFormatByteSizeW(size, text, 128))
            return false;
        out = text;
        return true;
    }
    static String Literal(const char* text) { return Widen(text, CP_ACP); }
    static std::u16string ToWide(const String& text) { return text; }
};

template <typename Char>
HRESULT Build(HMODULE module, std::u16string& result)
{
    using C = Calls<Char>;
    Char path[MAX_PATH] = {};
    DWORD length = C::ModulePath(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return E_INVALIDARG;
    DWORD size = C::VersionSize(path);
    if (size == 0)
        return E_FAIL;
    std::vector<BYTE> data(size);
    if (!C::VersionData(path, size, data.data()))
        return E_FAIL;

    typename C::String text;
    auto add = [&](bool ok, const typename C::String& value, const char* separator) {
        if (!ok || value.empty())
            return;
        text += value;
        text += C::Literal(separator);
    };
    typename C::String value;
    add(C::Query(data.data(), kProductName, value), value, "\r\n");
    add(C::Query(data.data(), kComments, value), value, "\t");
    add(C::Query(data.data(), kFileVersion, value), value, "\r\n");
    add(C::Query(data.data(), kLegalCopyright, value), value, "\r\n");
    add(C::Size(path, value), value, "\r\n");
    add(true, path, "");
    if (text.empty())
        return E_FAIL;
    result = C::ToWide(text);
    return S_OK;
}

}  // namespace

HRESULT BuildAboutString(HMODULE module, BSTR* text)
{
    if (!text || IsBadWritePtr(text, sizeof(BSTR)))
        return E_INVALIDARG;
    *text = nullptr;
    std::u16string about;
    HRESULT hr = (g_osVersionRecord.platformId & 1) ? Build<char>(module, about) : Build<WCHAR>(module, about);
    if (FAILED(hr))
        return hr;
    *text = SysAllocStringLen(about.c_str(), static_cast<UINT>(about.size()));
    return *text ? S_OK : E_OUTOFMEMORY;
}
