#include "mediascan/media_tags.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/media/wmvcore.h"
#include "scan_machine.h"
#include "tagged_files.h"

using namespace scan_testing;

TEST(MediaTags, ReadsTheFourValuesOfEveryTagFormat)
{
    ScanMachine s;
    const std::u16string longTitle(1500, u'T');
    struct Case {
        const char* name;
        TagFormat format;
        Tags written;
        Tags read;
    };
    const Case cases[] = {
        {"v23.mp3", TagFormat::Id3v23, {u"Ann", u"Tune", u"", u""}, {u"Ann", u"Tune", u"", u""}},
        {"v24.mp3", TagFormat::Id3v24, {u"Bj\u00F6rk", u"\u65E5\u672C", u"Debut", u"Pop"},
            {u"Bj\u00F6rk", u"\u65E5\u672C", u"Debut", u"Pop"}},
        {"v1.mp3", TagFormat::Id3v1, {u"Old", u"Song", u"Disc", u"Rock"}, {u"Old", u"Song", u"Disc", u"Rock"}},
        {"untagged.mp3", TagFormat::None, {}, {}},
        // A value longer than the 1023 units the reader keeps is cut, not dropped.
        {"long.mp3", TagFormat::Id3v24, {u"", longTitle, u"", u""}, {u"", longTitle.substr(0, 1023), u"", u""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteMp3(s.e / "Music" / c.name, c.written, c.format);
        MediaTags tags;
        std::u16string path = u"E:\\Music\\" + std::u16string(c.name, c.name + std::strlen(c.name));
        ASSERT_EQ(tags.Read(path.c_str()), S_OK);
        EXPECT_EQ(tags.path, path);
        EXPECT_EQ(tags.artist, c.read.artist);
        EXPECT_EQ(tags.title, c.read.title);
        EXPECT_EQ(tags.album, c.read.album);
        EXPECT_EQ(tags.genre, c.read.genre);
    }
}

TEST(MediaTags, ANumericAlbumOfAWindowsMediaFileIsEmpty)
{
    ScanMachine s;
    WriteWmaWithNumericAlbum(s.e / "Music" / "a.wma", {u"Ann", u"Tune", u"", u"Jazz"}, 1999);
    MediaTags tags;
    ASSERT_EQ(tags.Read(u"E:\\Music\\a.wma"), S_OK);
    EXPECT_EQ(tags.artist, u"Ann");
    EXPECT_EQ(tags.title, u"Tune");
    EXPECT_EQ(tags.album, u"");
    EXPECT_EQ(tags.genre, u"Jazz");
}

TEST(MediaTags, FailsForUnreadableFilesAndAMissingRuntime)
{
    ScanMachine s;
    WriteUnparseable(s.e / "Music" / "bad.mp3");
    WriteUnparseable(s.e / "Music" / "bad.wma");
    WriteMp3(s.e / "Music" / "good.mp3", {u"Ann", u"Tune", u"", u""});
    MediaTags tags;
    EXPECT_TRUE(FAILED(tags.Read(u"E:\\Music\\bad.mp3")));
    EXPECT_TRUE(FAILED(tags.Read(u"E:\\Music\\bad.wma")));
    EXPECT_TRUE(FAILED(tags.Read(u"E:\\Music\\missing.mp3")));
    EXPECT_TRUE(FAILED(tags.Read(nullptr)));

    s.m.machine->missingModules.push_back("WMVCore.dll");
    EXPECT_EQ(tags.Read(u"E:\\Music\\good.mp3"), HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
}

namespace {

// A header-info object that answers every name with one stored value and records the names
// asked for, so the reader can be tried on values the runtime itself never produces.
class FakeHeaderInfo final : public IWMHeaderInfo {
public:
    HRESULT lengthStatus = S_OK;
    HRESULT valueStatus = S_OK;
    WMT_ATTR_DATATYPE type = WMT_TYPE_STRING;
    std::vector<BYTE> value;
    std::vector<std::u16string> asked;

    void SetText(const std::u16string& text, bool terminated)
    {
        value.assign(reinterpret_cast<const BYTE*>(text.data()),
            reinterpret_cast<const BYTE*>(text.data() + text.size()));
        if (terminated)
            value.insert(value.end(), {0, 0});
    }

    STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetAttributeCount(WORD, WORD*) override { return E_NOTIMPL; }
    STDMETHODIMP GetAttributeByIndex(WORD, WORD*, WCHAR*, WORD*, WMT_ATTR_DATATYPE*, BYTE*, WORD*) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetAttributeByName(WORD*, LPCWSTR name, WMT_ATTR_DATATYPE* valueType, BYTE* buffer,
        WORD* length) override
    {
        *valueType = type;
        if (!buffer) {
            asked.push_back(name);
            *length = static_cast<WORD>(value.size());
            return lengthStatus;
        }
        std::memcpy(buffer, value.data(), std::min<size_t>(*length, value.size()));
        return valueStatus;
    }
    STDMETHODIMP SetAttribute(WORD, LPCWSTR, WMT_ATTR_DATATYPE, const BYTE*, WORD) override { return E_NOTIMPL; }
};

}  // namespace

TEST(ReadStringAttribute, CopiesOnlyTextsAndNeverReadsPastTheValueOrTheBuffer)
{
    struct Case {
        const char* what;
        std::u16string text;
        bool terminated;
        WMT_ATTR_DATATYPE type;
        HRESULT lengthStatus, valueStatus;
        HRESULT status;
        BOOL found;
        std::u16string buffer;
    };
    const HRESULT kFailure = static_cast<HRESULT>(0xC00D0BB8);
    const Case cases[] = {
        {"text", u"Tune", true, WMT_TYPE_STRING, S_OK, S_OK, S_OK, 1, u"Tune"},
        {"empty text", u"", true, WMT_TYPE_STRING, S_OK, S_OK, S_OK, 1, u""},
        {"unterminated", u"abcd", false, WMT_TYPE_STRING, S_OK, S_OK, S_OK, 1, u"abcd"},
        {"odd length", u"ab", false, WMT_TYPE_STRING, S_OK, S_OK, S_OK, 1, u"ab"},
        {"too long", std::u16string(2000, u'x'), true, WMT_TYPE_STRING, S_OK, S_OK, S_OK, 1,
            std::u16string(1023, u'x')},
        {"number", u"ab", false, WMT_TYPE_DWORD, S_OK, S_OK, S_OK, 0, u"(kept)"},
        {"absent", u"", false, WMT_TYPE_STRING, ASF_E_NOTFOUND, S_OK, S_OK, 0, u"(kept)"},
        {"length fails", u"ab", true, WMT_TYPE_STRING, kFailure, S_OK, kFailure, 0, u"(kept)"},
        {"value fails", u"ab", true, WMT_TYPE_STRING, S_OK, kFailure, kFailure, 0, u"(kept)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeHeaderInfo info;
        info.SetText(c.text, c.terminated);
        if (std::string(c.what) == "odd length")
            info.value.push_back('c');
        info.type = c.type;
        info.lengthStatus = c.lengthStatus;
        info.valueStatus = c.valueStatus;
        // Marks past the buffer's end show any write beyond it.
        std::vector<WCHAR> buffer(kTagBufferUnits + 8, u'#');
        std::copy_n(u"(kept)", 7, buffer.begin());
        BOOL found = 7;
        EXPECT_EQ(ReadStringAttribute(&info, u"Title", buffer.data(), &found), c.status);
        EXPECT_EQ(found, c.found);
        EXPECT_EQ(std::u16string(buffer.data()), c.buffer);
        EXPECT_EQ(std::u16string(buffer.data() + kTagBufferUnits, 8), std::u16string(8, u'#'));
    }
}
