// The optional string provider: an outside component that serves the component's message
// texts in other languages. Its GetString is the ninth entry of its interface's method table.
#pragma once

#include "platform/com/dispatch.h"

// {6F1D2C3B-8E4A-4B7D-9C21-5A3E7F0B9D42}
inline constexpr CLSID CLSID_KVXRStringProvider = {0x6F1D2C3B, 0x8E4A, 0x4B7D, {0x9C, 0x21, 0x5A, 0x3E, 0x7F, 0x0B, 0x9D, 0x42}};
// {A8E5B1C7-2D94-4F63-8B0E-71C4D2F9A356}
inline constexpr IID IID_IKVXRStringProvider = {0xA8E5B1C7, 0x2D94, 0x4F63, {0x8B, 0x0E, 0x71, 0xC4, 0xD2, 0xF9, 0xA3, 0x56}};

struct IKVXRStringProvider : IDispatch {
    /// The number of languages served.
    STDMETHOD(GetLanguageCount)(ULONG* count) = 0;  // slot 7
    /// The text `id` in the language `locale` as a new BSTR the caller frees; S_FALSE and a null
    /// text when the language or the text is not served.
    STDMETHOD(GetString)(ULONG locale, ULONG id, BSTR* text) = 0;  // slot 8, the ninth entry

protected:
    ~IKVXRStringProvider() = default;
};
