#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/base/bstr.h"
#include "platform/base/errors.h"
#include "platform/base/format.h"
#include "platform/base/guid.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"

TEST(HresultFromWin32, KeepsZeroWrapsPositiveAndPassesNegative)
{
    EXPECT_EQ(HRESULT_FROM_WIN32(0), 0);
    EXPECT_EQ(static_cast<DWORD>(HRESULT_FROM_WIN32(ERROR_DISK_FULL)), 0x80070070u);
    EXPECT_EQ(static_cast<DWORD>(HRESULT_FROM_WIN32(ERROR_DEVICE_IN_USE)), 0x80070964u);
    EXPECT_EQ(static_cast<DWORD>(HRESULT_FROM_WIN32(0x12345678)), 0x80075678u);
    EXPECT_EQ(HRESULT_FROM_WIN32(static_cast<DWORD>(E_FAIL)), E_FAIL);
}

TEST(Bstr, HasByteLengthPrefixAndTerminator)
{
    BSTR s = SysAllocString(u"abc");
    ASSERT_NE(s, nullptr);
    uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<char*>(s) - 4, 4);
    EXPECT_EQ(prefix, 6u);
    EXPECT_EQ(SysStringLen(s), 3u);
    EXPECT_EQ(SysStringByteLen(s), 6u);
    EXPECT_EQ(s[3], 0);
    SysFreeString(s);

    BSTR bytes = SysAllocStringByteLen("xyz", 3);
    EXPECT_EQ(SysStringByteLen(bytes), 3u);
    EXPECT_EQ(SysStringLen(bytes), 1u);
    EXPECT_EQ(reinterpret_cast<char*>(bytes)[3], 0);
    EXPECT_EQ(reinterpret_cast<char*>(bytes)[4], 0);
    SysFreeString(bytes);
}

TEST(Bstr, NullAndEmptyAreBothEmpty)
{
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    BSTR empty = SysAllocStringLen(nullptr, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    SysFreeString(empty);
    SysFreeString(nullptr);
}

TEST(Guid, RoundTripsRegistryFormAndRejectsMalformed)
{
    auto g = yolt::GuidFromString("{96406bda-2b2b-11d3-b36b-00c04f6108ff}");
    ASSERT_TRUE(g);
    EXPECT_EQ(g->Data1, 0x96406BDAu);
    EXPECT_EQ(g->Data4[7], 0xFF);
    EXPECT_EQ(yolt::GuidToString(*g), "{96406BDA-2B2B-11D3-B36B-00C04F6108FF}");
    for (const char* bad : {"", "96406BDA-2B2B-11D3-B36B-00C04F6108FF", "{96406BDA-2B2B-11D3-B36B-00C04F6108FG}",
             "{96406BDA-2B2B-11D3-B36B00C04F6108FF0}"})
        EXPECT_FALSE(yolt::GuidFromString(bad)) << bad;
}

TEST(LastError, IsPerThread)
{
    SetLastError(5);
    DWORD seen = 99;
    std::thread([&] { seen = GetLastError(); }).join();
    EXPECT_EQ(seen, 0u);
    EXPECT_EQ(GetLastError(), 5u);
}

TEST(WideText, RunTimeFunctions)
{
    char16_t path[] = u"d:\\fw\\px210_v12.kvu";
    EXPECT_STREQ(reinterpret_cast<const char*>(yolt::Utf8FromWide(_wcsupr(path)).c_str()), "D:\\FW\\PX210_V12.KVU");
    EXPECT_NE(wcsstr(path, u"PX210"), nullptr);
    EXPECT_EQ(wcsstr(path, u"RQ310"), nullptr);
    EXPECT_EQ(_wcsicmp(u"Music", u"MUSIC"), 0);
    EXPECT_LT(wcscmp(u"a", u"b"), 0);

    char16_t drive[_MAX_DRIVE], dir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT];
    _wsplitpath(u"E:\\Music\\Album\\song.mp3.txt", drive, dir, name, ext);
    EXPECT_EQ(std::u16string(drive), u"E:");
    EXPECT_EQ(std::u16string(dir), u"\\Music\\Album\\");
    EXPECT_EQ(std::u16string(name), u"song.mp3");
    EXPECT_EQ(std::u16string(ext), u".txt");
    _wsplitpath(u"noext", drive, dir, name, ext);
    EXPECT_EQ(std::u16string(name), u"noext");
    EXPECT_EQ(std::u16string(ext), u"");
}

TEST(WideText, Utf8RoundTrip)
{
    std::u16string text = u"Gr\u00fc\u00dfe \u65e5\u672c \U0001F3B5";
    EXPECT_EQ(yolt::WideFromUtf8(yolt::Utf8FromWide(text)), text);
    EXPECT_EQ(yolt::WideFromUtf8("a\xff" "b"), u"a\uFFFDb");
}

struct FormatCase {
    const char* format;
    const char* expected;
};

TEST(Format, NarrowConversions)
{
    EXPECT_EQ(yolt::FormatA("Error code 0x%08X", 0x80070057u), "Error code 0x80070057");
    EXPECT_EQ(yolt::FormatA("%s|%ws|%c|%d|%u|%X|%%", "a", u"\u00e9", 'z', -12, 7u, 0xabu), "a|\xc3\xa9|z|-12|7|AB|%");
    EXPECT_EQ(yolt::FormatA("%5d|%-5d|%05d|%.2s", 42, 42, -42, "xyz"), "   42|42   |-0042|xy");
    EXPECT_EQ(yolt::FormatA("%sRecovery.%ws.kvu", "Z:\\bin\\", u"PX260"), "Z:\\bin\\Recovery.PX260.kvu");
}

TEST(Format, WideConversions)
{
    EXPECT_EQ(yolt::FormatW(u"%s (%c:)", u"YOLT PX410", u'G'), u"YOLT PX410 (G:)");
    EXPECT_EQ(yolt::FormatW(u"%S|%hs|%ws", "n", "h", u"w"), u"n|h|w");
    EXPECT_EQ(yolt::FormatW(u"0x%08X", 0u), u"0x00000000");
    char16_t buffer[8];
    EXPECT_EQ(_snwprintf(buffer, 8, u"%s", u"1234567"), 7);
    EXPECT_EQ(_snwprintf(buffer, 8, u"%s", u"12345678"), -1);
}
