#include "mediascan/media_file_info.h"

#include <gtest/gtest.h>

#include <string>

#include "scan_machine.h"
#include "tagged_files.h"

using namespace scan_testing;

TEST(GetFileExtension, TakesTheLastDotOfTheLastComponent)
{
    struct Case {
        std::u16string path, extension;
    };
    const Case cases[] = {
        {u"E:\\Music\\a.Mp3", u".Mp3"},
        {u"E:\\Music\\song.mp3.txt", u".txt"},
        {u"E:\\Music\\v1.0\\noext", u""},
        {u"E:\\Music\\v1.0/noext", u""},
        {u"E:\\Music\\.mp3", u".mp3"},
        {u"E:\\Music\\trailing.", u"."},
        {u"noext", u""},
    };
    for (const auto& c : cases) {
        std::u16string extension = u"stale";
        EXPECT_EQ(GetFileExtension(c.path, extension), !c.extension.empty()) << testing::PrintToString(c.path);
        EXPECT_EQ(extension, c.extension) << testing::PrintToString(c.path);
    }
}

TEST(MediaFileInfo, JudgesKindsByExtensionAndReadsTagsOfMp3AndWindowsMedia)
{
    ScanMachine s;
    WriteMp3(s.e / "Music" / "a.Mp3", {u"Ann", u"Tune", u"Disc", u"Pop"});
    WriteWmaWithNumericAlbum(s.e / "Music" / "b.ASF", {u"Bo", u"", u"", u""}, 3);
    WriteUnparseable(s.e / "Music" / "bad.mp3");
    struct Case {
        const char16_t* name;
        bool loaded;
        MediaKind kind;
        BOOL isMedia, isPlaylist;
        const char16_t* artist;
    };
    const Case cases[] = {
        {u"a.Mp3", true, MediaKind::Mp3, 1, 0, u"Ann"},
        {u"b.ASF", true, MediaKind::WindowsMedia, 1, 0, u"Bo"},
        {u"bad.mp3", false, MediaKind::Mp3, 1, 0, u""},
        {u"c.wav", true, MediaKind::Wav, 1, 0, u""},
        {u"d.AAC", true, MediaKind::Aac, 1, 0, u""},
        {u"e.Ogg", true, MediaKind::Ogg, 1, 0, u""},
        {u"f.M3U", true, MediaKind::M3u, 0, 1, u""},
        {u"g.mp3.txt", true, MediaKind::None, 0, 0, u""},
        {u"noext", true, MediaKind::None, 0, 0, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::u16string(c.name)));
        MediaFileInfo info;
        std::u16string path = std::u16string(u"E:\\Music\\") + c.name;
        EXPECT_EQ(info.Load(path.c_str()), c.loaded);
        EXPECT_EQ(info.path, path);
        EXPECT_EQ(info.kind, c.kind);
        EXPECT_EQ(info.isMedia, c.isMedia);
        EXPECT_EQ(info.isPlaylist, c.isPlaylist);
        EXPECT_EQ(info.artist, c.artist);
    }
    MediaFileInfo info;
    EXPECT_FALSE(info.Load(nullptr));
}
