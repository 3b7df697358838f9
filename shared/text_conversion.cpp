#include "shared/text_conversion.h"

#include <vector>

#include "platform/kernel/codepages.h"
#include "shared/platform_record.h"

std::string NarrowFromWide(const WCHAR* text, int length)
{
    if (!text || length == 0)
        return std::string();
    const UINT codePage = ConversionCodePage();
    int size = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::vector<char> buffer(size_t(size) + 1, '\0');
    WideCharToMultiByte(codePage, 0, text, length, buffer.data(), size, nullptr, nullptr);
    std::string narrow(buffer.data(), size_t(size));
    // A converted terminator (length -1) is not part of the text.
    if (length < 0 && !narrow.empty() && narrow.back() == '\0')
        narrow.pop_back();
    return narrow;
}

BSTR BstrFromNarrow(const char* text)
{
    if (!text || !*text)
        return nullptr;
    const UINT codePage = ConversionCodePage();
    int size = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (size <= 1)
        return nullptr;
    std::vector<WCHAR> buffer(size_t(size), 0);
    MultiByteToWideChar(codePage, 0, text, -1, buffer.data(), size);
    return SysAllocStringLen(buffer.data(), UINT(size - 1));
}
