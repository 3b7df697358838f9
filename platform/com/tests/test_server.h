// The contract of the test server: one class with one custom interface.
#pragma once

#include "platform/com/com_runtime.h"

inline constexpr CLSID CLSID_TestThing = {0x6A1B7C20, 0x3D4E, 0x4F51, {0x9A, 0x62, 0x70, 0x81, 0x92, 0xA3, 0xB4, 0xC5}};
inline constexpr IID IID_ITestThing = {0x6A1B7C21, 0x3D4E, 0x4F51, {0x9A, 0x62, 0x70, 0x81, 0x92, 0xA3, 0xB4, 0xC5}};
inline constexpr const char16_t* kTestThingProgId = u"Yolt.TestThing";

struct ITestThing : IUnknown {
    STDMETHOD(Add)(LONG a, LONG b, LONG* sum) = 0;
    /// Whether IRunnableObject::Run has been called on this object.
    STDMETHOD(IsRunning)(BOOL* running) = 0;

protected:
    ~ITestThing() = default;
};
