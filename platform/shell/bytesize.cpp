#include "platform/shell/bytesize.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string FormatByteSize(uint64_t size)
{
    if (size < 1024)
        return std::to_string(size) + " bytes";
    const char* units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    int unit = 0;
    // Hundredths of the unit, computed in integers so the digits are cut, not rounded.
    uint64_t divisor = 1024;
    while (unit < 5 && size / divisor >= 1024) {
        divisor *= 1024;
        ++unit;
    }
    uint64_t whole = size / divisor;
    uint64_t hundredths = (size % divisor) * 100 / divisor;
    char text[32];
    if (whole >= 100)
        std::snprintf(text, sizeof text, "%llu %s", static_cast<unsigned long long>(whole), units[unit]);
    else if (whole >= 10)
        std::snprintf(text, sizeof text, "%llu.%llu %s", static_cast<unsigned long long>(whole),
            static_cast<unsigned long long>(hundredths / 10), units[unit]);
    else
        std::snprintf(text, sizeof text, "%llu.%02llu %s", static_cast<unsigned long long>(whole),
            static_cast<unsigned long long>(hundredths), units[unit]);
    return text;
}

}  // namespace

extern "C" LPSTR StrFormatByteSize64A(LONGLONG size, LPSTR buffer, UINT bufferSize)
{
    std::string text = FormatByteSize(static_cast<uint64_t>(size < 0 ? 0 : size));
    if (!buffer || text.size() + 1 > bufferSize)
        return nullptr;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return buffer;
}

extern "C" LPSTR StrFormatByteSizeA(DWORD size, LPSTR buffer, UINT bufferSize)
{
    return StrFormatByteSize64A(size, buffer, bufferSize);
}

extern "C" LPWSTR StrFormatByteSizeW(LONGLONG size, LPWSTR buffer, UINT bufferSize)
{
    std::string text = FormatByteSize(static_cast<uint64_t>(size < 0 ? 0 : size));
    if (!buffer || text.size() + 1 > bufferSize)
        return nullptr;
    for (size_t i = 0; i <= text.size(); ++i)
        buffer[i] = static_cast<WCHAR>(text[i]);
    return buffer;
}
