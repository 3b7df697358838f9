#include "platform/base/bstr.h"

#include <cstdlib>
#include <cstring>

#include "platform/base/wtext.h"

namespace {
// The block holds the 32-bit byte length, the bytes and two zero bytes.
BSTR AllocateBytes(const void* source, UINT byteLength)
{
    if (byteLength > 0x7FFFFFF0u)
        return nullptr;
    auto* block = static_cast<char*>(std::malloc(sizeof(uint32_t) + byteLength + sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    uint32_t length = byteLength;
    std::memcpy(block, &length, sizeof length);
    char* characters = block + sizeof(uint32_t);
    if (source)
        std::memcpy(characters, source, byteLength);
    else
        std::memset(characters, 0, byteLength);
    characters[byteLength] = 0;
    characters[byteLength + 1] = 0;
    return reinterpret_cast<BSTR>(characters);
}

char* BlockOf(BSTR text)
{
    return reinterpret_cast<char*>(text) - sizeof(uint32_t);
}
}  // namespace

extern "C" BSTR SysAllocString(const OLECHAR* text)
{
    if (!text)
        return nullptr;
    return SysAllocStringLen(text, static_cast<UINT>(yolt::WLen(text)));
}

extern "C" BSTR SysAllocStringLen(const OLECHAR* text, UINT length)
{
    if (length > 0x3FFFFFF0u)
        return nullptr;
    return AllocateBytes(text, length * sizeof(OLECHAR));
}

extern "C" BSTR SysAllocStringByteLen(const char* bytes, UINT length)
{
    return AllocateBytes(bytes, length);
}

extern "C" INT SysReAllocString(BSTR* target, const OLECHAR* text)
{
    BSTR copy = SysAllocString(text);
    if (text && !copy)
        return FALSE;
    SysFreeString(*target);
    *target = copy;
    return TRUE;
}

extern "C" void SysFreeString(BSTR text)
{
    if (text)
        std::free(BlockOf(text));
}

extern "C" UINT SysStringByteLen(BSTR text)
{
    if (!text)
        return 0;
    uint32_t length;
    std::memcpy(&length, BlockOf(text), sizeof length);
    return length;
}

extern "C" UINT SysStringLen(BSTR text)
{
    return SysStringByteLen(text) / sizeof(OLECHAR);
}
