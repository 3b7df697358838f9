#include "platform/base/guid.h"

#include <cstdio>

namespace yolt {

std::string GuidToString(const GUID& g)
{
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
        static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
        g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

namespace {
int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads `digits` hexadecimal digits at `pos`; false when any is not a digit.
bool ReadHex(std::string_view text, size_t pos, int digits, uint64_t& out)
{
    out = 0;
    for (int i = 0; i < digits; ++i) {
        int v = HexValue(text[pos + i]);
        if (v < 0)
            return false;
        out = (out << 4) | static_cast<uint64_t>(v);
    }
    return true;
}
}  // namespace

std::optional<GUID> GuidFromString(std::string_view text)
{
    if (text.size() != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' || text[14] != '-' ||
        text[19] != '-' || text[24] != '-')
        return std::nullopt;
    GUID g{};
    uint64_t v;
    if (!ReadHex(text, 1, 8, v))
        return std::nullopt;
    g.Data1 = static_cast<DWORD>(v);
    if (!ReadHex(text, 10, 4, v))
        return std::nullopt;
    g.Data2 = static_cast<WORD>(v);
    if (!ReadHex(text, 15, 4, v))
        return std::nullopt;
    g.Data3 = static_cast<WORD>(v);
    const size_t bytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!ReadHex(text, bytePos[i], 2, v))
            return std::nullopt;
        g.Data4[i] = static_cast<BYTE>(v);
    }
    return g;
}

}  // namespace yolt
