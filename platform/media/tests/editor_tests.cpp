// The metadata editor as programs use it: created by WMCreateEditor, files opened by Windows
// path on a simulated drive, attributes read in two steps (length, then value).
#include "platform/media/wmvcore.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <taglib/asffile.h>
#include <taglib/asftag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "media_fixtures.h"
#include "platform/base/errors.h"
#include "platform/kernel/files.h"
#include "platform/kernel/modules.h"
#include "platform/machine/machine.h"

namespace {

namespace fs = std::filesystem;

struct Value {
    HRESULT status;
    WMT_ATTR_DATATYPE type;
    WORD length;           // as the length query reported it
    std::vector<BYTE> bytes;
};

// Asks for an attribute first without a buffer, then with one of the reported length.
Value ReadAttribute(IWMHeaderInfo* info, const char16_t* name)
{
    Value v{S_OK, WMT_TYPE_DWORD, 0, {}};
    WORD stream = 0;
    v.status = info->GetAttributeByName(&stream, name, &v.type, nullptr, &v.length);
    if (FAILED(v.status))
        return v;
    v.bytes.resize(v.length);
    WORD length = v.length;
    v.status = info->GetAttributeByName(&stream, name, &v.type, v.bytes.data(), &length);
    EXPECT_EQ(length, v.length);
    return v;
}

std::vector<BYTE> Utf16Bytes(const std::u16string& text)
{
    std::vector<BYTE> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>(c >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

class MetadataEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() /
            ("yolt-editor-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "drive-e" / "Music");
        machine = std::make_shared<yolt::machine::MemoryMachine>();
        yolt::machine::Drive e;
        e.letter = 'E';
        e.kind = yolt::machine::DriveKind::Removable;
        e.capacity = 16ull * 1024 * 1024;
        e.folder = root / "drive-e";
        machine->drives.push_back(e);
        yolt::machine::SetCurrentMachine(machine);
        ASSERT_EQ(WMCreateEditor(&editor), S_OK);
    }
    void TearDown() override
    {
        if (info)
            info->Release();
        if (editor)
            editor->Release();
        yolt::machine::SetCurrentMachine(nullptr);
        if (!HasFailure())
            fs::remove_all(root);
    }

    fs::path Music(const char* name) { return root / "drive-e" / "Music" / name; }

    void OpenAndQuery(const char16_t* path)
    {
        ASSERT_EQ(editor->Open(path), S_OK);
        ASSERT_EQ(editor->QueryInterface(IID_IWMHeaderInfo, reinterpret_cast<void**>(&info)), S_OK);
    }

    fs::path root;
    std::shared_ptr<yolt::machine::MemoryMachine> machine;
    IWMMetadataEditor* editor = nullptr;
    IWMHeaderInfo* info = nullptr;
};

TEST_F(MetadataEditor, Mp3TextAttributesWithLengthsAndAbsentOnes)
{
    media_fixtures::WriteMpegFrames(Music("Song.mp3"), 4);
    {
        TagLib::MPEG::File file(Music("Song.mp3").c_str(), false);
        file.ID3v2Tag(true)->setArtist("Ann");
        file.ID3v2Tag(true)->setTitle("Tune");
        ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, TagLib::ID3v2::v3));
    }
    OpenAndQuery(u"e:\\MUSIC\\song.MP3");  // names match without regard to case

    Value author = ReadAttribute(info, u"Author");
    EXPECT_EQ(author.status, S_OK);
    EXPECT_EQ(author.type, WMT_TYPE_STRING);
    EXPECT_EQ(author.length, 8);  // three characters and the terminator
    EXPECT_EQ(author.bytes, Utf16Bytes(u"Ann"));
    EXPECT_EQ(ReadAttribute(info, u"Title").bytes, Utf16Bytes(u"Tune"));

    for (const char16_t* absent : {u"WM/AlbumTitle", u"WM/Genre", u"author"}) {
        Value v = ReadAttribute(info, absent);
        EXPECT_EQ(v.status, ASF_E_NOTFOUND);
        EXPECT_EQ(static_cast<DWORD>(v.status), 0xC00D07F0u);
        EXPECT_EQ(v.length, 0);
    }
    WORD stream = 1, length = 0;
    WMT_ATTR_DATATYPE type;
    EXPECT_EQ(info->GetAttributeByName(&stream, u"Author", &type, nullptr, &length), ASF_E_NOTFOUND);

    BYTE small[4];
    stream = 0, length = sizeof small;
    EXPECT_EQ(info->GetAttributeByName(&stream, u"Author", &type, small, &length), ASF_E_BUFFERTOOSMALL);
    EXPECT_EQ(length, 8);

    EXPECT_EQ(editor->Close(), S_OK);
    EXPECT_EQ(editor->Close(), NS_E_INVALID_REQUEST);
    length = 0;
    EXPECT_TRUE(FAILED(info->GetAttributeByName(&stream, u"Author", &type, nullptr, &length)));
}

TEST_F(MetadataEditor, WmaAlbumStoredAsNumberKeepsItsType)
{
    media_fixtures::WriteBareAsf(Music("Track.wma"));
    {
        TagLib::ASF::File file(Music("Track.wma").c_str(), false);
        file.tag()->setArtist("Band");
        file.tag()->setAttribute("WM/AlbumTitle", TagLib::ASF::Attribute(1999u));
        file.tag()->setAttribute("WM/Genre", TagLib::ASF::Attribute(TagLib::String("")));
        ASSERT_TRUE(file.save());
    }
    OpenAndQuery(u"E:\\Music\\Track.wma");

    Value album = ReadAttribute(info, u"WM/AlbumTitle");
    EXPECT_EQ(album.status, S_OK);
    EXPECT_EQ(album.type, WMT_TYPE_DWORD);
    EXPECT_EQ(album.length, 4);
    EXPECT_EQ(album.bytes, (std::vector<BYTE>{0xCF, 0x07, 0, 0}));

    Value genre = ReadAttribute(info, u"WM/Genre");  // present, empty text
    EXPECT_EQ(genre.status, S_OK);
    EXPECT_EQ(genre.type, WMT_TYPE_STRING);
    EXPECT_EQ(genre.length, 2);

    EXPECT_EQ(ReadAttribute(info, u"Author").bytes, Utf16Bytes(u"Band"));
    EXPECT_EQ(ReadAttribute(info, u"Title").status, ASF_E_NOTFOUND);
    EXPECT_EQ(editor->Close(), S_OK);
}

TEST_F(MetadataEditor, OpenFailsForFilesItCannotRead)
{
    media_fixtures::WriteBytes(Music("Fake.mp3"), std::string(3000, 'z'));
    media_fixtures::WriteMpegFrames(Music("Locked.mp3"), 3);
    HANDLE lock = CreateFileW(u"E:\\Music\\Locked.mp3", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    const std::pair<const char16_t*, HRESULT> cases[] = {
        {u"E:\\Music\\Fake.mp3", NS_E_INVALID_INPUT_FORMAT},
        {u"E:\\Music\\Missing.mp3", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
        {u"E:\\Music\\Locked.mp3", HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION)},
    };
    for (const auto& [path, status] : cases) {
        EXPECT_EQ(editor->Open(path), status);
        EXPECT_EQ(editor->Close(), NS_E_INVALID_REQUEST);  // nothing was left open
    }
    CloseHandle(lock);
    EXPECT_EQ(editor->Open(u"E:\\Music\\Locked.mp3"), S_OK);
    EXPECT_EQ(editor->Open(u"E:\\Music\\Locked.mp3"), NS_E_INVALID_REQUEST);
    EXPECT_EQ(editor->Flush(), S_OK);
}

TEST_F(MetadataEditor, InterfacesAndModule)
{
    IUnknown* unknown = nullptr;
    ASSERT_EQ(editor->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown, static_cast<IUnknown*>(editor));
    unknown->Release();
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(editor->QueryInterface(IID_IClassFactory, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(WMCreateEditor(nullptr), E_INVALIDARG);

    HMODULE module = LoadLibraryA("WMVCore.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, "WMCreateEditor")), reinterpret_cast<void*>(&WMCreateEditor));
    FreeLibrary(module);
    machine->missingModules.push_back("WMVCore.dll");
    EXPECT_EQ(LoadLibraryA("WMVCore.dll"), nullptr);
}

}  // namespace
