// The sample type library of the automation tests (sample.json) and helpers to load it.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/com/typeinfo.h"

namespace sample {

inline constexpr GUID LIBID_SampleLib = {0x5A0F1C4E, 0x7D2B, 0x4E31, {0x9A, 0x55, 0x0B, 0x6C, 0x7E, 0x8D, 0x9F, 0x10}};
inline constexpr IID IID_ISample = {0x5A0F1C4E, 0x7D2B, 0x4E31, {0x9A, 0x55, 0x0B, 0x6C, 0x7E, 0x8D, 0x9F, 0x11}};
inline constexpr CLSID CLSID_Sample = {0x5A0F1C4E, 0x7D2B, 0x4E31, {0x9A, 0x55, 0x0B, 0x6C, 0x7E, 0x8D, 0x9F, 0x12}};

enum Color : LONG { Red = 1, Green = 2 };

struct ISample : IDispatch {
    STDMETHOD(get_Count)(LONG* pVal) = 0;
    STDMETHOD(put_Count)(LONG newVal) = 0;
    STDMETHOD(Add)(SHORT a, LONG b, LONG* sum) = 0;
    STDMETHOD(Concat)(BSTR a, BSTR b, BSTR* result) = 0;
    STDMETHOD(Pick)(VARIANT_BOOL green, Color* color) = 0;
    STDMETHOD(Bump)(ULONG* value) = 0;
    STDMETHOD(Fail)(LONG code) = 0;
    STDMETHOD(Optional)(LONG a, LONG b, LONG* r) = 0;
    STDMETHOD(Self)(ISample** me) = 0;
    STDMETHOD(Scale)(double f, double* r) = 0;
    STDMETHOD(Take)(ISample* other, VARIANT_BOOL* same) = 0;

protected:
    ~ISample() = default;
};

inline std::vector<BYTE> ReadSampleBytes()
{
    std::ifstream in(SAMPLE_TLB, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
}

inline ITypeLib* LoadSample()
{
    std::vector<BYTE> bytes = ReadSampleBytes();
    ITypeLib* lib = nullptr;
    EXPECT_EQ(yolt::LoadTypeLibFromMemory(bytes.data(), bytes.size(), &lib), S_OK);
    return lib;
}

}  // namespace sample
