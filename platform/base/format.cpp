#include "platform/base/format.h"

#include <cstring>

#include "platform/base/wtext.h"

namespace yolt {
namespace {

struct FieldFormat {
    bool leftAlign = false;
    bool zeroPad = false;
    int width = 0;
    int precision = -1;
};

template <typename Char>
void Pad(std::basic_string<Char>& out, const std::basic_string<Char>& body, const FieldFormat& field, bool numeric)
{
    size_t width = field.width > 0 ? static_cast<size_t>(field.width) : 0;
    if (body.size() >= width) {
        out += body;
        return;
    }
    size_t fill = width - body.size();
    if (field.leftAlign) {
        out += body;
        out.append(fill, Char(' '));
        return;
    }
    if (field.zeroPad && numeric) {
        size_t sign = (!body.empty() && body[0] == Char('-')) ? 1 : 0;
        out.append(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(sign));
        out.append(fill, Char('0'));
        out.append(body.begin() + static_cast<std::ptrdiff_t>(sign), body.end());
        return;
    }
    out.append(fill, Char(' '));
    out += body;
}

template <typename Char>
std::basic_string<Char> Digits(uint64_t value, unsigned base, bool upper, int precision)
{
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::basic_string<Char> d;
    do {
        d.insert(d.begin(), Char(set[value % base]));
        value /= base;
    } while (value);
    if (precision >= 0 && d.size() < static_cast<size_t>(precision))
        d.insert(d.begin(), static_cast<size_t>(precision) - d.size(), Char('0'));
    if (precision == 0 && d == std::basic_string<Char>(1, Char('0')))
        d.clear();
    return d;
}

template <typename Char>
std::basic_string<Char> FromWide(const WCHAR* s, int precision)
{
    if (!s)
        s = u"(null)";
    size_t n = WLen(s);
    if (precision >= 0 && n > static_cast<size_t>(precision))
        n = static_cast<size_t>(precision);
    if constexpr (sizeof(Char) == 2)
        return std::basic_string<Char>(s, n);
    else
        return Utf8FromWide(std::u16string_view(s, n));
}

template <typename Char>
std::basic_string<Char> FromNarrow(const char* s, int precision)
{
    if (!s)
        s = "(null)";
    size_t n = std::strlen(s);
    if (precision >= 0 && n > static_cast<size_t>(precision))
        n = static_cast<size_t>(precision);
    if constexpr (sizeof(Char) == 2) {
        // Narrow text in a format is taken byte for byte as Latin-1: callers convert with the
        // code page themselves where it matters.
        std::basic_string<Char> w;
        for (size_t i = 0; i < n; ++i)
            w += static_cast<Char>(static_cast<unsigned char>(s[i]));
        return w;
    } else {
        return std::basic_string<Char>(s, n);
    }
}

template <typename Char>
std::basic_string<Char> VFormat(const Char* format, va_list args)
{
    constexpr bool kWide = sizeof(Char) == 2;
    std::basic_string<Char> out;
    for (const Char* p = format; *p; ++p) {
        if (*p != Char('%')) {
            out += *p;
            continue;
        }
        ++p;
        if (*p == Char('%')) {
            out += Char('%');
            continue;
        }
        FieldFormat field;
        for (;; ++p) {
            if (*p == Char('-'))
                field.leftAlign = true;
            else if (*p == Char('0'))
                field.zeroPad = true;
            else if (*p == Char('+') || *p == Char(' ') || *p == Char('#'))
                continue;
            else
                break;
        }
        if (*p == Char('*')) {
            field.width = va_arg(args, int);
            ++p;
        } else {
            while (*p >= Char('0') && *p <= Char('9'))
                field.width = field.width * 10 + (*p++ - Char('0'));
        }
        if (*p == Char('.')) {
            ++p;
            field.precision = 0;
            if (*p == Char('*')) {
                field.precision = va_arg(args, int);
                ++p;
            } else {
                while (*p >= Char('0') && *p <= Char('9'))
                    field.precision = field.precision * 10 + (*p++ - Char('0'));
            }
        }
        int size = 0;  // -1 short/narrow, 1 long/wide, 2 64-bit
        for (;; ++p) {
            if (*p == Char('h'))
                size = -1;
            else if (*p == Char('l') || *p == Char('w'))
                size = size == 1 ? 2 : 1;
            else if (*p == Char('I') && p[1] == Char('6') && p[2] == Char('4')) {
                size = 2;
                p += 2;
            } else if (*p == Char('z'))
                size = 2;
            else
                break;
        }
        Char conv = *p;
        if (!conv)
            break;
        switch (conv) {
        case Char('d'):
        case Char('i'): {
            int64_t v = size == 2 ? va_arg(args, int64_t) : static_cast<int64_t>(va_arg(args, int));
            uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
            auto body = Digits<Char>(magnitude, 10, false, field.precision);
            if (v < 0)
                body.insert(body.begin(), Char('-'));
            Pad(out, body, field, true);
            break;
        }
        case Char('u'):
        case Char('x'):
        case Char('X'): {
            uint64_t v = size == 2 ? va_arg(args, uint64_t) : static_cast<uint64_t>(va_arg(args, unsigned));
            unsigned base = conv == Char('u') ? 10 : 16;
            Pad(out, Digits<Char>(v, base, conv == Char('X'), field.precision), field, true);
            break;
        }
        case Char('p'): {
            auto v = reinterpret_cast<uintptr_t>(va_arg(args, void*));
            Pad(out, Digits<Char>(v, 16, true, static_cast<int>(sizeof(void*) * 2)), field, true);
            break;
        }
        case Char('c'):
        case Char('C'): {
            int v = va_arg(args, int);
            std::basic_string<Char> body;
            if constexpr (kWide)
                body += static_cast<Char>(conv == Char('C') || size == -1 ? static_cast<unsigned char>(v) : v);
            else
                body += static_cast<Char>(v);
            Pad(out, body, field, false);
            break;
        }
        case Char('s'):
        case Char('S'): {
            // Which kind of text the argument is: the format's own kind for %s, the other for %S,
            // overridden by h (narrow) or l/w (wide).
            bool wideArg = (conv == Char('s')) == kWide;
            if (size == -1)
                wideArg = false;
            else if (size >= 1)
                wideArg = true;
            std::basic_string<Char> body = wideArg ? FromWide<Char>(va_arg(args, const WCHAR*), field.precision)
                                                   : FromNarrow<Char>(va_arg(args, const char*), field.precision);
            Pad(out, body, field, false);
            break;
        }
        default:
            out += Char('%');
            out += conv;
            break;
        }
    }
    return out;
}

}  // namespace

std::u16string VFormatW(const WCHAR* format, va_list args)
{
    return VFormat<char16_t>(format, args);
}

std::u16string FormatW(const WCHAR* format, ...)
{
    va_list args;
    va_start(args, format);
    auto text = VFormat<char16_t>(format, args);
    va_end(args);
    return text;
}

std::string VFormatA(const char* format, va_list args)
{
    return VFormat<char>(format, args);
}

std::string FormatA(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    auto text = VFormat<char>(format, args);
    va_end(args);
    return text;
}

}  // namespace yolt

namespace {
template <typename Char>
int CopyOut(Char* buffer, const std::basic_string<Char>& text, size_t capacity)
{
    size_t n = text.size() < capacity ? text.size() : capacity - 1;
    for (size_t i = 0; i < n; ++i)
        buffer[i] = text[i];
    buffer[n] = 0;
    return static_cast<int>(n);
}
}  // namespace

extern "C" int wvsprintfA(LPSTR buffer, LPCSTR format, va_list args)
{
    return CopyOut(buffer, yolt::VFormatA(format, args), 1024);
}

extern "C" int wvsprintfW(LPWSTR buffer, LPCWSTR format, va_list args)
{
    return CopyOut(buffer, yolt::VFormatW(format, args), 1024);
}

extern "C" int wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    int n = wvsprintfA(buffer, format, args);
    va_end(args);
    return n;
}

extern "C" int wsprintfW(LPWSTR buffer, LPCWSTR format, ...)
{
    va_list args;
    va_start(args, format);
    int n = wvsprintfW(buffer, format, args);
    va_end(args);
    return n;
}

int _snwprintf(char16_t* buffer, size_t count, const char16_t* format, ...)
{
    va_list args;
    va_start(args, format);
    auto text = yolt::VFormatW(format, args);
    va_end(args);
    for (size_t i = 0; i < count && i < text.size(); ++i)
        buffer[i] = text[i];
    if (text.size() < count) {
        buffer[text.size()] = 0;
        return static_cast<int>(text.size());
    }
    return -1;
}

int swprintf(char16_t* buffer, size_t count, const char16_t* format, ...)
{
    va_list args;
    va_start(args, format);
    auto text = yolt::VFormatW(format, args);
    va_end(args);
    if (count == 0)
        return -1;
    if (text.size() >= count) {
        buffer[0] = 0;
        return -1;
    }
    return CopyOut(buffer, text, count);
}
