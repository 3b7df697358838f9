#include "mediascan/playlist_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "mediascan/media_file_info.h"
#include "platform/base/errors.h"
#include "scan_machine.h"
#include "tagged_files.h"

namespace fs = std::filesystem;
using namespace scan_testing;
using yolt::testing::TempMachine;
using Tree = std::map<std::string, std::string>;

namespace {

const std::string kFolder = "<folder>";
const std::string kHeader = "#EXTM3U\n";

// The lines of `linesByName` for the entries of `folder`, in the order the file system lists
// them: the order every playlist must keep.
std::string InListingOrder(const fs::path& folder, const std::map<std::string, std::string>& linesByName)
{
    std::string text;
    for (const auto& entry : fs::directory_iterator(folder)) {
        auto line = linesByName.find(entry.path().filename().string());
        if (line != linesByName.end())
            text += line->second;
    }
    return text;
}

// The path line of every music file (all but ".txt" files) below `folder`, depth first in
// listing order, each subfolder's files at the subfolder's place.
std::string WalkLines(const fs::path& folder, const std::string& windowsFolder)
{
    std::string text;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string windows = windowsFolder + "\\" + entry.path().filename().string();
        if (entry.is_directory())
            text += WalkLines(entry.path(), windows);
        else if (entry.path().extension() != ".txt")
            text += windows + "\n";
    }
    return text;
}

std::string FamilyName(const ::testing::TestParamInfo<Family>& info)
{
    return info.param == Family::Nt ? "Wide" : "Narrow";
}

class PlaylistBuilderScan : public ::testing::TestWithParam<Family> {};

}  // namespace

TEST_P(PlaylistBuilderScan, FilesEachMusicFileIntoThePlaylistsItsTagsSelect)
{
    ScanMachine s(GetParam());
    const fs::path music = s.e / "Music";
    const std::u16string longAlbum(260, u'x');
    WriteMp3(music / "a.mp3", {u"X", u"Y", u"Alb", u"Rock/Pop"}, TagFormat::Id3v23);
    WriteMp3(music / "b.mp3", {u"", u"Only Title", u"", u""}, TagFormat::Id3v24);
    WriteMp3(music / "c.mp3", {u"", u"", u"?", u""}, TagFormat::Id3v1);
    WriteWmaWithNumericAlbum(music / "d.wma", {u"   ", u"", u"", u""}, 7);
    WriteMp3(music / "e.mp3", {u"Caf\u00E9", u"a<b> \u0416", longAlbum, u"Rock/Pop"});
    WriteMp3(music / "untagged.mp3", {}, TagFormat::None);
    WriteUnparseable(music / "bad.mp3");
    for (const char* name : {"f.wav", "g.AAC", "h.ogg", "list.M3U", "song.mp3.txt", "noext"})
        WriteOther(music / name);

    PlaylistBuilder builder;
    ASSERT_EQ(builder.Build(u"E:\\"), S_OK);

    const Tree expected = {
        {"Album", kFolder},
        {"Album/Alb.m3u", "\\Music\\a.mp3\n"},
        {"Album/Unknown.m3u", "\\Music\\c.mp3\n"},
        {"Artist", kFolder},
        {"Artist/X.m3u", "\\Music\\a.mp3\n"},
        {"Artist/Unknown.m3u", "\\Music\\d.wma\n"},
        {"Artist/Caf\xC3\xA9.m3u", "\\Music\\e.mp3\n"},
        {"Genre", kFolder},
        {"Genre/Rock Pop.m3u", InListingOrder(music, {{"a.mp3", "\\Music\\a.mp3\n"}, {"e.mp3", "\\Music\\e.mp3\n"}})},
        {"All.m3u", kHeader + InListingOrder(music, {
                                  {"a.mp3", "#EXTINF:-1,X - Y\n\\Music\\a.mp3\n"},
                                  {"b.mp3", "#EXTINF:-1,Only Title\n\\Music\\b.mp3\n"},
                                  {"d.wma", "#EXTINF:-1,   \n\\Music\\d.wma\n"},
                                  {"e.mp3", "#EXTINF:-1,Caf\xE9 - a<b> ?\n\\Music\\e.mp3\n"},
                              })},
        {"Unknown.m3u", InListingOrder(music, {
                            {"f.wav", "\\Music\\f.wav\n"},
                            {"g.AAC", "\\Music\\g.AAC\n"},
                            {"h.ogg", "\\Music\\h.ogg\n"},
                            {"untagged.mp3", "\\Music\\untagged.mp3\n"},
                        })},
    };
    EXPECT_EQ(DumpTree(s.e / "Playlist"), expected);
}

TEST_P(PlaylistBuilderScan, ASecondScanStartsFromAnEmptyPlaylistFolder)
{
    ScanMachine s(GetParam());
    WriteMp3(s.e / "Music" / "a.mp3", {u"X", u"Y", u"Alb", u""});
    WriteOther(s.e / "Music" / "b.wav");
    WriteOther(s.e / "Playlist" / "mine.txt");
    WriteOther(s.e / "Playlist" / "Old" / "Deep" / "kept.m3u");
    WriteOther(s.e / "Playlist" / "Album" / "Gone.m3u");
    WriteOther(s.e / "Playlist" / "All.m3u");

    PlaylistBuilder first, second;
    ASSERT_EQ(first.Build(u"E:\\"), S_OK);
    ASSERT_EQ(second.Build(u"E:\\"), S_OK);

    const Tree expected = {
        {"Album", kFolder},
        {"Album/Alb.m3u", "\\Music\\a.mp3\n"},
        {"Artist", kFolder},
        {"Artist/X.m3u", "\\Music\\a.mp3\n"},
        {"Genre", kFolder},
        {"All.m3u", kHeader + "#EXTINF:-1,X - Y\n\\Music\\a.mp3\n"},
        {"Unknown.m3u", "\\Music\\b.wav\n"},
    };
    EXPECT_EQ(DumpTree(s.e / "Playlist"), expected);
}

INSTANTIATE_TEST_SUITE_P(Families, PlaylistBuilderScan, ::testing::Values(Family::Nt, Family::Windows9x), FamilyName);

TEST(PlaylistBuilder, WithoutAMusicFolderLeavesTheEmptyTree)
{
    ScanMachine s;
    PlaylistBuilder builder;
    ASSERT_EQ(builder.Build(u"E:\\"), S_OK);
    const Tree expected = {{"Album", kFolder}, {"Artist", kFolder}, {"Genre", kFolder}, {"All.m3u", kHeader}};
    EXPECT_EQ(DumpTree(s.e / "Playlist"), expected);
}

TEST(PlaylistBuilder, WalksSubfoldersAtTheirListingPlace)
{
    ScanMachine s;
    const fs::path music = s.e / "Music";
    for (const char* name : {"one.wav", "Sub/two.ogg", "Sub/Deeper/three.aac", "Sub/four.wav", "five.wav", "Empty/x.txt"})
        WriteOther(music / name);

    PlaylistBuilder builder;
    ASSERT_EQ(builder.Build(u"E:\\"), S_OK);
    // A folder given with its trailing backslash walks the same, without doubled separators.
    builder.ScanFolder(u"E:\\Music\\");

    std::string lines = WalkLines(music, "\\Music");
    const std::string unknown = TempMachine::ReadHostFile(s.e / "Playlist" / "Unknown.m3u");
    EXPECT_EQ(unknown, lines + lines);
    EXPECT_EQ(unknown.find("x.txt"), std::string::npos);
    // Nothing was tagged: All.m3u is its header alone.
    EXPECT_EQ(TempMachine::ReadHostFile(s.e / "Playlist" / "All.m3u"), kHeader);
}

TEST(PlaylistBuilder, ReportsFailureWhenAllM3uCannotBeCreatedAndWalksNothing)
{
    // The drive is full: the header of All.m3u does not fit.
    ScanMachine s(Family::Nt, 8);
    WriteOther(s.e / "Music" / "a.wav");

    PlaylistBuilder builder;
    EXPECT_EQ(builder.Build(u"E:\\"), E_FAIL);
    const Tree expected = {{"Album", kFolder}, {"Artist", kFolder}, {"Genre", kFolder}, {"All.m3u", ""}};
    EXPECT_EQ(DumpTree(s.e / "Playlist"), expected);

    EXPECT_EQ(builder.Build(nullptr), E_INVALIDARG);
    EXPECT_EQ(builder.Build(u""), E_INVALIDARG);
    EXPECT_EQ(builder.AddFile(nullptr, MediaFileInfo()), E_INVALIDARG);
}

TEST(PlaylistBuilder, WritesDoubleByteNamesOnACodePage932Machine)
{
    ScanMachine s(Family::Windows9x);
    s.UseCodePage(932, 0x411);
    // Music/日本/曲.mp3, tagged artist 日本, title 曲, album アルバム; é is not in code page 932.
    WriteMp3(s.e / "Music" / "\xE6\x97\xA5\xE6\x9C\xAC" / "\xE6\x9B\xB2.mp3",
        {u"\u65E5\u672C", u"\u66F2 \u00E9", u"\u30A2\u30EB\u30D0\u30E0", u""});

    PlaylistBuilder builder;
    ASSERT_EQ(builder.Build(u"E:\\"), S_OK);

    const std::string path = "\\Music\\\x93\xFA\x96\x7B\\\x8B\xC8.mp3\n";
    const Tree expected = {
        {"Album", kFolder},
        {"Album/\xE3\x82\xA2\xE3\x83\xAB\xE3\x83\x90\xE3\x83\xA0.m3u", path},
        {"Artist", kFolder},
        {"Artist/\xE6\x97\xA5\xE6\x9C\xAC.m3u", path},
        {"Genre", kFolder},
        {"All.m3u", kHeader + "#EXTINF:-1,\x93\xFA\x96\x7B - \x8B\xC8 ?\n" + path},
    };
    EXPECT_EQ(DumpTree(s.e / "Playlist"), expected);
}
