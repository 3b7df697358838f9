// Attribute mapping of MP3 and ASF files, read from host files through a TagLib stream.
#include "platform/media/attributes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <taglib/asffile.h>
#include <taglib/asftag.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tfilestream.h>

#include <filesystem>
#include <functional>

#include "media_fixtures.h"

namespace {

using yolt::media::Attribute;
using yolt::media::ReadAttributes;

class Attributes : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() /
            ("yolt-attributes-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::optional<std::vector<Attribute>> Read(const std::filesystem::path& path)
    {
        TagLib::FileStream stream(path.c_str(), true);
        return ReadAttributes(stream);
    }

    std::filesystem::path folder;
};

const Attribute* Find(const std::vector<Attribute>& attributes, const std::u16string& name)
{
    for (const auto& attribute : attributes) {
        if (attribute.name == name)
            return &attribute;
    }
    return nullptr;
}

// The text of a string value, checking that it carries exactly one terminating zero.
std::u16string TextOf(const Attribute& attribute)
{
    EXPECT_EQ(attribute.type, WMT_TYPE_STRING);
    EXPECT_EQ(attribute.value.size() % 2, 0u);
    std::u16string text;
    for (size_t i = 0; i + 1 < attribute.value.size(); i += 2)
        text += static_cast<char16_t>(attribute.value[i] | (attribute.value[i + 1] << 8));
    EXPECT_FALSE(text.empty());
    if (!text.empty()) {
        EXPECT_EQ(text.back(), u'\0');
        text.pop_back();
    }
    return text;
}

struct Mp3Case {
    const char* label;
    std::function<void(TagLib::MPEG::File&)> tag;
    int tagKinds;  // TagLib::MPEG::File::TagTypes to save
    TagLib::ID3v2::Version version;
    // Expected texts for Author, Title, WM/AlbumTitle, WM/Genre; nullptr when absent.
    const char16_t* expected[4];
};

TEST_F(Attributes, Mp3MapsId3v2FramesWithId3v1BehindThem)
{
    const Mp3Case cases[] = {
        {"v2.3 artist and title only",
            [](TagLib::MPEG::File& f) {
                f.ID3v2Tag(true)->setArtist("Ann Artist");
                f.ID3v2Tag(true)->setTitle("First Song");
            },
            TagLib::MPEG::File::ID3v2, TagLib::ID3v2::v3, {u"Ann Artist", u"First Song", nullptr, nullptr}},
        {"v2.4 all four, non-Latin text",
            [](TagLib::MPEG::File& f) {
                auto* t = f.ID3v2Tag(true);
                t->setArtist(TagLib::String("Zo\xC3\xAB \xE1\xBC\x88\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB7", TagLib::String::UTF8));
                t->setTitle("Song");
                t->setAlbum("Album");
                t->setGenre("Jazz");
            },
            TagLib::MPEG::File::ID3v2, TagLib::ID3v2::v4, {u"Zoë Ἀθήνη", u"Song", u"Album", u"Jazz"}},
        {"v1 only",
            [](TagLib::MPEG::File& f) {
                auto* t = f.ID3v1Tag(true);
                t->setArtist("Old Artist");
                t->setTitle("Old Title");
                t->setAlbum("Old Album");
                t->setGenre("Rock");
            },
            TagLib::MPEG::File::ID3v1, TagLib::ID3v2::v4, {u"Old Artist", u"Old Title", u"Old Album", u"Rock"}},
        {"v2 frames win, v1 fills the gaps",
            [](TagLib::MPEG::File& f) {
                f.ID3v2Tag(true)->setArtist("New Artist");
                f.ID3v1Tag(true)->setArtist("Old Artist");
                f.ID3v1Tag(true)->setAlbum("Old Album");
            },
            TagLib::MPEG::File::AllTags, TagLib::ID3v2::v3, {u"New Artist", nullptr, u"Old Album", nullptr}},
        {"frames without tags", [](TagLib::MPEG::File&) {}, TagLib::MPEG::File::NoTags, TagLib::ID3v2::v4,
            {nullptr, nullptr, nullptr, nullptr}},
    };
    const char16_t* names[4] = {u"Author", u"Title", u"WM/AlbumTitle", u"WM/Genre"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto path = folder / "song.mp3";
        media_fixtures::WriteMpegFrames(path, 4);
        {
            TagLib::MPEG::File file(path.c_str(), false);
            c.tag(file);
            ASSERT_TRUE(file.save(c.tagKinds, TagLib::File::StripOthers, c.version));
        }
        auto attributes = Read(path);
        ASSERT_TRUE(attributes);
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(i);
            const Attribute* attribute = Find(*attributes, names[i]);
            if (!c.expected[i]) {
                EXPECT_EQ(attribute, nullptr);
                continue;
            }
            ASSERT_NE(attribute, nullptr);
            EXPECT_EQ(TextOf(*attribute), c.expected[i]);
            EXPECT_EQ(attribute->value.size(), 2 * (std::char_traits<char16_t>::length(c.expected[i]) + 1));
        }
    }
}

TEST_F(Attributes, RefusesContentThatIsNeitherMpegAudioNorAsf)
{
    const std::pair<const char*, std::string> cases[] = {
        {"text", std::string(4000, 'x') + "plain text, no audio"},
        {"empty", ""},
        {"lone frame sync bytes", std::string("\xFF\xFB\x90\x00", 4) + std::string(100, 'a')},
        {"asf header guid with garbage", std::string("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16) +
                                             std::string(40, '\x7F')},
    };
    for (const auto& [label, bytes] : cases) {
        SCOPED_TRACE(label);
        auto path = folder / "bad.mp3";
        media_fixtures::WriteBytes(path, bytes);
        EXPECT_FALSE(Read(path));
    }
}

TEST_F(Attributes, AsfKeepsContentDescriptionAndTypedAttributes)
{
    auto path = folder / "song.wma";
    media_fixtures::WriteBareAsf(path);
    {
        TagLib::ASF::File file(path.c_str(), false);
        ASSERT_TRUE(file.isValid());
        TagLib::ASF::Tag* tag = file.tag();
        tag->setArtist("Wma Artist");
        tag->setTitle("Wma Title");
        tag->setAttribute("WM/AlbumTitle", TagLib::ASF::Attribute(7u));
        tag->setAttribute("WM/Genre", TagLib::ASF::Attribute(TagLib::String("Blues")));
        tag->setAttribute("WM/Word", TagLib::ASF::Attribute(static_cast<unsigned short>(0x1234)));
        tag->setAttribute("WM/Qword", TagLib::ASF::Attribute(0x0102030405060708ull));
        tag->setAttribute("WM/Bool", TagLib::ASF::Attribute(true));
        tag->setAttribute("WM/Bytes", TagLib::ASF::Attribute(TagLib::ByteVector("\x01\x00\x02", 3)));
        ASSERT_TRUE(file.save());
    }

    auto attributes = Read(path);
    ASSERT_TRUE(attributes);
    ASSERT_NE(Find(*attributes, u"Author"), nullptr);
    EXPECT_EQ(TextOf(*Find(*attributes, u"Author")), u"Wma Artist");
    ASSERT_NE(Find(*attributes, u"Title"), nullptr);
    EXPECT_EQ(TextOf(*Find(*attributes, u"Title")), u"Wma Title");
    ASSERT_NE(Find(*attributes, u"WM/Genre"), nullptr);
    EXPECT_EQ(TextOf(*Find(*attributes, u"WM/Genre")), u"Blues");

    const std::tuple<const char16_t*, WMT_ATTR_DATATYPE, std::vector<BYTE>> typed[] = {
        {u"WM/AlbumTitle", WMT_TYPE_DWORD, {7, 0, 0, 0}},
        {u"WM/Word", WMT_TYPE_WORD, {0x34, 0x12}},
        {u"WM/Qword", WMT_TYPE_QWORD, {8, 7, 6, 5, 4, 3, 2, 1}},
        {u"WM/Bool", WMT_TYPE_BOOL, {1, 0, 0, 0}},
        {u"WM/Bytes", WMT_TYPE_BINARY, {1, 0, 2}},
    };
    for (const auto& [name, type, value] : typed) {
        const Attribute* attribute = Find(*attributes, name);
        ASSERT_NE(attribute, nullptr);
        EXPECT_EQ(attribute->type, type);
        EXPECT_EQ(attribute->value, value);
    }
    EXPECT_EQ(Find(*attributes, u"Copyright"), nullptr);
}

}  // namespace
