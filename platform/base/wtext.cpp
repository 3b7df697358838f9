#include "platform/base/wtext.h"

#include <cstring>

namespace yolt {

size_t WLen(const WCHAR* text)
{
    size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

std::string Utf8FromWide(const WCHAR* text)
{
    return text ? Utf8FromWide(std::u16string_view(text, WLen(text))) : std::string();
}

std::string Utf8FromWide(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string WideFromUtf8(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        auto b = static_cast<unsigned char>(text[i]);
        uint32_t c;
        int extra;
        if (b < 0x80) {
            c = b;
            extra = 0;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            extra = 3;
        } else {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        bool valid = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        if (!valid) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        i += extra + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

WCHAR AsciiUpper(WCHAR c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<WCHAR>(c - 32) : c;
}

WCHAR AsciiLower(WCHAR c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<WCHAR>(c + 32) : c;
}

WCHAR FoldUpper(WCHAR c)
{
    if (c < 0x80)
        return AsciiUpper(c);
    // Latin-1 lower-case letters, except the sharp s and y with diaeresis.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<WCHAR>(c - 32);
    if (c == 0xFF)
        return 0x178;
    // Latin Extended-A pairs (even upper, odd lower) in the common ranges.
    if (c >= 0x100 && c <= 0x17F && (c & 1) && !(c >= 0x138 && c <= 0x148) && c != 0x17F)
        return static_cast<WCHAR>(c - 1);
    // Greek and Cyrillic lower-case letters.
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)
        return static_cast<WCHAR>(c - 32);
    if (c >= 0x430 && c <= 0x44F)
        return static_cast<WCHAR>(c - 32);
    if (c >= 0x450 && c <= 0x45F)
        return static_cast<WCHAR>(c - 80);
    return c;
}

}  // namespace yolt

size_t wcslen(const char16_t* s)
{
    return yolt::WLen(s);
}

char16_t* wcscpy(char16_t* dest, const char16_t* src)
{
    char16_t* d = dest;
    while ((*d++ = *src++))
        ;
    return dest;
}

char16_t* wcsncpy(char16_t* dest, const char16_t* src, size_t count)
{
    size_t i = 0;
    for (; i < count && src[i]; ++i)
        dest[i] = src[i];
    for (; i < count; ++i)
        dest[i] = 0;
    return dest;
}

char16_t* wcscat(char16_t* dest, const char16_t* src)
{
    wcscpy(dest + yolt::WLen(dest), src);
    return dest;
}

int wcscmp(const char16_t* a, const char16_t* b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return (*a > *b) - (*a < *b);
}

int wcsncmp(const char16_t* a, const char16_t* b, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (a[i] != b[i] || !a[i])
            return (a[i] > b[i]) - (a[i] < b[i]);
    }
    return 0;
}

int _wcsnicmp(const char16_t* a, const char16_t* b, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        char16_t x = yolt::AsciiLower(a[i]);
        char16_t y = yolt::AsciiLower(b[i]);
        if (x != y || !x)
            return (x > y) - (x < y);
    }
    return 0;
}

int _wcsicmp(const char16_t* a, const char16_t* b)
{
    return _wcsnicmp(a, b, SIZE_MAX);
}

const char16_t* wcschr(const char16_t* s, char16_t c)
{
    for (;; ++s) {
        if (*s == c)
            return s;
        if (!*s)
            return nullptr;
    }
}

char16_t* wcschr(char16_t* s, char16_t c)
{
    return const_cast<char16_t*>(wcschr(static_cast<const char16_t*>(s), c));
}

const char16_t* wcsrchr(const char16_t* s, char16_t c)
{
    const char16_t* found = nullptr;
    for (;; ++s) {
        if (*s == c)
            found = s;
        if (!*s)
            return found;
    }
}

char16_t* wcsrchr(char16_t* s, char16_t c)
{
    return const_cast<char16_t*>(wcsrchr(static_cast<const char16_t*>(s), c));
}

const char16_t* wcsstr(const char16_t* haystack, const char16_t* needle)
{
    size_t n = yolt::WLen(needle);
    if (n == 0)
        return haystack;
    for (; *haystack; ++haystack) {
        if (wcsncmp(haystack, needle, n) == 0)
            return haystack;
    }
    return nullptr;
}

char16_t* wcsstr(char16_t* haystack, const char16_t* needle)
{
    return const_cast<char16_t*>(wcsstr(static_cast<const char16_t*>(haystack), needle));
}

char16_t* _wcsupr(char16_t* s)
{
    for (char16_t* p = s; *p; ++p)
        *p = yolt::AsciiUpper(*p);
    return s;
}

char16_t* _wcslwr(char16_t* s)
{
    for (char16_t* p = s; *p; ++p)
        *p = yolt::AsciiLower(*p);
    return s;
}

char* _strupr(char* s)
{
    for (char* p = s; *p; ++p) {
        if (*p >= 'a' && *p <= 'z')
            *p = static_cast<char>(*p - 32);
    }
    return s;
}

int _strnicmp(const char* a, const char* b, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        int x = static_cast<unsigned char>(a[i]);
        int y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x += 32;
        if (y >= 'A' && y <= 'Z')
            y += 32;
        if (x != y || !x)
            return (x > y) - (x < y);
    }
    return 0;
}

int _stricmp(const char* a, const char* b)
{
    return _strnicmp(a, b, SIZE_MAX);
}

namespace {
template <typename Char>
void SplitPath(const Char* path, Char* drive, Char* dir, Char* fname, Char* ext)
{
    auto copy = [](Char* out, const Char* from, size_t n, size_t cap) {
        if (!out)
            return;
        if (n >= cap)
            n = cap - 1;
        for (size_t i = 0; i < n; ++i)
            out[i] = from[i];
        out[n] = 0;
    };
    const Char* p = path;
    if (p[0] && p[1] == ':') {
        copy(drive, p, 2, _MAX_DRIVE);
        p += 2;
    } else {
        copy(drive, p, 0, _MAX_DRIVE);
    }
    const Char* lastSep = nullptr;
    const Char* lastDot = nullptr;
    const Char* end = p;
    for (; *end; ++end) {
        if (*end == '\\' || *end == '/')
            lastSep = end;
        else if (*end == '.')
            lastDot = end;
    }
    const Char* nameStart = lastSep ? lastSep + 1 : p;
    copy(dir, p, static_cast<size_t>(nameStart - p), _MAX_DIR);
    if (lastDot && lastDot >= nameStart) {
        copy(fname, nameStart, static_cast<size_t>(lastDot - nameStart), _MAX_FNAME);
        copy(ext, lastDot, static_cast<size_t>(end - lastDot), _MAX_EXT);
    } else {
        copy(fname, nameStart, static_cast<size_t>(end - nameStart), _MAX_FNAME);
        copy(ext, end, 0, _MAX_EXT);
    }
}
}  // namespace

void _wsplitpath(const char16_t* path, char16_t* drive, char16_t* dir, char16_t* fname, char16_t* ext)
{
    SplitPath(path, drive, dir, fname, ext);
}

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext)
{
    SplitPath(path, drive, dir, fname, ext);
}
