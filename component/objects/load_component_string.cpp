#include "component/objects/load_component_string.h"

#include <cstdlib>
#include <cstring>

#include "component/objects/component_state.h"
#include "platform/base/bstr.h"
#include "platform/kernel/codepages.h"
#include "platform/kernel/modules.h"
#include "platform/resources/resources.h"

namespace {

// A heap copy of the provider's text in the form asked for; null when it is empty or cannot be
// converted.
void* CopyProviderText(BSTR text, BOOL narrow, DWORD& bytes)
{
    UINT units = SysStringLen(text);
    if (units == 0)
        return nullptr;
    if (!narrow) {
        auto* copy = static_cast<WCHAR*>(std::malloc((units + 1) * sizeof(WCHAR)));
        if (!copy)
            return nullptr;
        std::memcpy(copy, text, units * sizeof(WCHAR));
        copy[units] = 0;
        bytes = units * sizeof(WCHAR);
        return copy;
    }
    int size = WideCharToMultiByte(CP_ACP, 0, text, int(units), nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return nullptr;
    auto* copy = static_cast<char*>(std::malloc(size_t(size) + 1));
    if (!copy)
        return nullptr;
    WideCharToMultiByte(CP_ACP, 0, text, int(units), copy, size, nullptr, nullptr);
    copy[size] = 0;
    bytes = DWORD(std::strlen(copy));
    if (bytes == 0) {
        std::free(copy);
        return nullptr;
    }
    return copy;
}

void* FromProvider(UINT id, BOOL narrow, DWORD& bytes, ULONG locale)
{
    IKVXRStringProvider* provider = ComponentStringProvider();
    if (locale == 0 || !provider)
        return nullptr;
    BSTR text = nullptr;
    HRESULT hr = provider->GetString(locale, id, &text);
    void* copy = SUCCEEDED(hr) && text ? CopyProviderText(text, narrow, bytes) : nullptr;
    SysFreeString(text);
    return copy;
}

void* FromStringTable(UINT id, int longest, BOOL narrow, DWORD& bytes)
{
    if (longest <= 0)
        return nullptr;
    HINSTANCE self = yolt::ModuleFromAddress(reinterpret_cast<const void*>(&LoadComponentString));
    void* block = std::malloc(size_t(longest) * (narrow ? 1 : sizeof(WCHAR)));
    if (!block)
        return nullptr;
    int length = narrow ? LoadStringA(self, id, static_cast<char*>(block), longest)
                        : LoadStringW(self, id, static_cast<WCHAR*>(block), longest);
    if (length <= 0) {
        std::free(block);
        return nullptr;
    }
    bytes = narrow ? DWORD(std::strlen(static_cast<char*>(block))) : DWORD(length) * sizeof(WCHAR);
    return block;
}

}  // namespace

void* LoadComponentString(UINT id, int longest, BOOL narrow, DWORD* outLength, ULONG locale)
{
    DWORD bytes = 0;
    void* text = FromProvider(id, narrow, bytes, locale);
    if (!text)
        text = FromStringTable(id, longest, narrow, bytes);
    if (text && outLength)
        *outLength = bytes;
    return text;
}
