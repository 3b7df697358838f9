#include "mediascan/playlist_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/kernel/files.h"
#include "scan_machine.h"

using scan_testing::Family;
using scan_testing::ScanMachine;
using yolt::testing::TempMachine;

namespace {

// Opens `path` with the given flags, appends one entry and closes; the Append result.
bool AppendOne(const char16_t* path, bool extended, const PlaylistEntry& entry)
{
    PlaylistFile file;
    if (!file.Open(path, false, extended))
        return false;
    bool appended = file.Append(entry);
    file.Close();
    return appended;
}

}  // namespace

TEST(PlaylistFile, WritesTheExtendedAndPlainFormsByteForByte)
{
    ScanMachine s;
    PlaylistFile all, plain;
    ASSERT_TRUE(all.Open(u"E:\\All.m3u", true, true));
    ASSERT_TRUE(plain.Open(u"E:\\Plain.m3u", true, false));
    EXPECT_TRUE(all.Append({u"X - Y", u"\\Music\\a.mp3"}));
    EXPECT_TRUE(all.Append({u"", u"\\Music\\b.mp3"}));
    EXPECT_TRUE(plain.Append({u"X - Y", u"\\Music\\a.mp3"}));
    all.Close();
    plain.Close();

    EXPECT_EQ(TempMachine::ReadHostFile(s.e / "All.m3u"),
        "#EXTM3U\n#EXTINF:-1,X - Y\n\\Music\\a.mp3\n#EXTINF:-1,\n\\Music\\b.mp3\n");
    EXPECT_EQ(TempMachine::ReadHostFile(s.e / "Plain.m3u"), "\\Music\\a.mp3\n");
}

TEST(PlaylistFile, OpeningForAppendCreatesWithoutHeaderAndKeepsExistingContent)
{
    ScanMachine s;
    TempMachine::WriteHostFile(s.e / "Old.m3u", "\\Music\\first.mp3\n");

    EXPECT_TRUE(AppendOne(u"E:\\New.m3u", true, {u"T", u"\\Music\\n.mp3"}));
    EXPECT_TRUE(AppendOne(u"E:\\Old.m3u", false, {u"", u"\\Music\\second.mp3"}));
    PlaylistFile created;
    ASSERT_TRUE(created.Open(u"E:\\Empty.m3u", false, true));
    created.Close();

    EXPECT_EQ(TempMachine::ReadHostFile(s.e / "New.m3u"), "#EXTINF:-1,T\n\\Music\\n.mp3\n");
    EXPECT_EQ(TempMachine::ReadHostFile(s.e / "Old.m3u"), "\\Music\\first.mp3\n\\Music\\second.mp3\n");
    EXPECT_EQ(TempMachine::ReadHostFile(s.e / "Empty.m3u"), "");
    // A missing folder cannot hold a playlist.
    PlaylistFile missing;
    EXPECT_FALSE(missing.Open(u"E:\\None\\x.m3u", false, false));
    EXPECT_FALSE(missing.Append({u"", u"\\Music\\x.mp3"}));
}

TEST(PlaylistFile, ConvertsTextInTheConversionCodePage)
{
    ScanMachine s;
    EXPECT_TRUE(AppendOne(u"E:\\Latin.m3u", true, {u"Caf\u00E9 \u65E5", u"\\Music\\\u0416.mp3"}));
    EXPECT_EQ(TempMachine::ReadHostFile(s.e / "Latin.m3u"), "#EXTINF:-1,Caf\xE9 ?\n\\Music\\?.mp3\n");
}

TEST(PlaylistFile, WritesDoubleByteTextAndLongPathsWholeOnACodePage932Machine)
{
    ScanMachine s(Family::Windows9x);
    s.UseCodePage(932, 0x411);
    // Past the 518 bytes that a fixed line buffer would have held.
    std::u16string folder(300, u'\u66F2');
    std::string folderBytes;
    for (int i = 0; i < 300; ++i)
        folderBytes += "\x8B\xC8";

    EXPECT_TRUE(AppendOne(u"E:\\\u65E5\u672C.m3u", false, {u"", u"\\Music\\" + folder + u"\\\u65E5.mp3"}));
    EXPECT_TRUE(AppendOne(u"E:\\All.m3u", true, {u"\u65E5\u672C - \u00E9", u"\\Music\\a.mp3"}));

    EXPECT_EQ(TempMachine::ReadHostFile(s.e / "\xE6\x97\xA5\xE6\x9C\xAC.m3u"),
        "\\Music\\" + folderBytes + "\\\x93\xFA.mp3\n");
    EXPECT_EQ(TempMachine::ReadHostFile(s.e / "All.m3u"), "#EXTINF:-1,\x93\xFA\x96\x7B - ?\n\\Music\\a.mp3\n");
}

TEST(PlaylistFile, AShortWriteLeavesNoPartialLineAndFails)
{
    // 64 bytes of room: the existing 18 bytes and a header fit, a long entry does not.
    ScanMachine s(Family::Nt, 64);
    TempMachine::WriteHostFile(s.e / "Old.m3u", "\\Music\\first.mp3\n");

    EXPECT_FALSE(AppendOne(u"E:\\Old.m3u", false, {u"", u"\\Music\\" + std::u16string(60, u'x') + u".mp3"}));
    EXPECT_EQ(TempMachine::ReadHostFile(s.e / "Old.m3u"), "\\Music\\first.mp3\n");
    EXPECT_TRUE(AppendOne(u"E:\\Old.m3u", false, {u"", u"\\Music\\b.mp3"}));
    EXPECT_EQ(TempMachine::ReadHostFile(s.e / "Old.m3u"), "\\Music\\first.mp3\n\\Music\\b.mp3\n");
}

TEST(PlaylistFile, AHeaderThatDoesNotFitFailsTheOpenAndLeavesTheFileEmpty)
{
    ScanMachine s(Family::Nt, 4);
    PlaylistFile all;
    EXPECT_FALSE(all.Open(u"E:\\All.m3u", true, true));
    all.Close();
    EXPECT_EQ(TempMachine::ReadHostFile(s.e / "All.m3u"), "");
}
