#include "platform/kernel/codepages.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/kernel/locale.h"

namespace yolt {

UINT ResolveCodePage(UINT codePage)
{
    switch (codePage) {
    case CP_ACP:
        return GetACP();
    case CP_OEMCP:
        return GetOEMCP();
    case CP_THREAD_ACP: {
        char text[8] = {};
        if (GetLocaleInfoA(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, text, sizeof text) > 0) {
            UINT cp = static_cast<UINT>(std::strtoul(text, nullptr, 10));
            if (cp)
                return cp;
        }
        return GetACP();
    }
    default:
        return codePage;
    }
}

}  // namespace yolt

namespace {

// The iconv name of a code page, or null for code pages this platform does not know.
const char* IconvName(UINT codePage)
{
    switch (codePage) {
    case 437: return "CP437";
    case 850: return "CP850";
    case 852: return "CP852";
    case 866: return "CP866";
    case 874: return "CP874";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1252: return "CP1252";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 28591: return "ISO-8859-1";
    case CP_UTF8: return "UTF-8";
    default: return nullptr;
    }
}

// One conversion descriptor for the duration of a call.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok())
            iconv_close(m_cd);
    }
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

// Number of UTF-16 units of the character starting at `i`.
size_t UnitsOfCharacter(const WCHAR* text, size_t i, size_t length)
{
    if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
        return 2;
    return 1;
}

// Converts UTF-16 to the code page, replacing what it cannot hold by `defaultChar`.
bool ToNarrow(UINT codePage, const WCHAR* text, size_t length, const std::string& defaultChar, std::string& out,
    bool& usedDefault)
{
    Converter cv(IconvName(codePage), "UTF-16LE");
    if (!cv.ok())
        return false;
    size_t i = 0;
    char buffer[16];
    while (i < length) {
        size_t units = UnitsOfCharacter(text, i, length);
        char* in = reinterpret_cast<char*>(const_cast<WCHAR*>(text + i));
        size_t inLeft = units * sizeof(WCHAR);
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(cv.get(), &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
            out += defaultChar;
            usedDefault = true;
        } else {
            out.append(buffer, static_cast<size_t>(outPtr - buffer));
        }
        i += units;
    }
    return true;
}

}  // namespace

extern "C" BOOL IsValidCodePage(UINT codePage)
{
    return IconvName(codePage) != nullptr;
}

extern "C" int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
    int narrowSize, LPCSTR defaultChar, LPBOOL usedDefault)
{
    if (!wide || wideLength == 0 || narrowSize < 0 || (narrowSize > 0 && !narrow)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    UINT cp = yolt::ResolveCodePage(codePage);
    if (!IconvName(cp)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t length = wideLength < 0 ? yolt::WLen(wide) + 1 : static_cast<size_t>(wideLength);
    std::string replacement = defaultChar ? std::string(defaultChar) : std::string("?");
    std::string out;
    bool used = false;
    if (!ToNarrow(cp, wide, length, replacement, out, used)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (usedDefault)
        *usedDefault = used ? TRUE : FALSE;
    if (narrowSize == 0)
        return static_cast<int>(out.size());
    if (out.size() > static_cast<size_t>(narrowSize)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    out.copy(narrow, out.size());
    return static_cast<int>(out.size());
}

extern "C" int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR narrow, int narrowLength, LPWSTR wide,
    int wideSize)
{
    if (!narrow || narrowLength == 0 || wideSize < 0 || (wideSize > 0 && !wide)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    UINT cp = yolt::ResolveCodePage(codePage);
    const char* name = IconvName(cp);
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t length = narrowLength < 0 ? std::char_traits<char>::length(narrow) + 1 : static_cast<size_t>(narrowLength);
    Converter cv("UTF-16LE", name);
    if (!cv.ok()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::vector<char> buffer(length * 4 + 4);
    char* in = const_cast<char*>(narrow);
    size_t inLeft = length;
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    if (iconv(cv.get(), &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    size_t units = static_cast<size_t>(outPtr - buffer.data()) / sizeof(WCHAR);
    if (wideSize == 0)
        return static_cast<int>(units);
    if (units > static_cast<size_t>(wideSize)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (size_t i = 0; i < units; ++i)
        wide[i] = static_cast<WCHAR>(static_cast<unsigned char>(buffer[2 * i]) |
            (static_cast<unsigned char>(buffer[2 * i + 1]) << 8));
    return static_cast<int>(units);
}

extern "C" BOOL IsDBCSLeadByteEx(UINT codePage, BYTE byte)
{
    switch (yolt::ResolveCodePage(codePage)) {
    case 932:
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
        return byte >= 0x81 && byte <= 0xFE;
    default:
        return FALSE;
    }
}
