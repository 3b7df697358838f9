#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "mediascan/fs.h"
#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/files.h"
#include "platform/kernel/paths.h"
#include "platform/kernel/tests/temp_machine.h"
#include "shared/platform_record.h"

namespace fs = std::filesystem;
using yolt::testing::TempMachine;

namespace {

// Runs each test on a temporary machine with drive E:, once per family: NT (wide calls) and the
// 95 family (narrow calls).
class FsLayer : public ::testing::TestWithParam<DWORD> {
protected:
    void SetUp() override
    {
        e = m.AddDrive('E', 1 << 20);
        g_osVersionRecord.platformId = GetParam();
        ResetConversionCodePageRule();
    }
    void TearDown() override { g_osVersionRecord = OsVersionRecord(); }

    static void MakeReadOnly(const fs::path& path)
    {
        fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
            fs::perm_options::remove);
    }

    TempMachine m;
    fs::path e;
};

std::string FamilyName(const ::testing::TestParamInfo<DWORD>& info)
{
    return info.param == 2 ? "Wide" : "Narrow";
}

}  // namespace

TEST_P(FsLayer, ClearFolderEmptiesANestedTreeWithReadOnlyEntriesAndKeepsTheTop)
{
    TempMachine::WriteHostFile(e / "Playlist" / "all.m3u", "a");
    TempMachine::WriteHostFile(e / "Playlist" / "Album" / "x.m3u", "b");
    TempMachine::WriteHostFile(e / "Playlist" / "Artist" / "Deep" / "y.m3u", "c");
    MakeReadOnly(e / "Playlist" / "all.m3u");
    MakeReadOnly(e / "Playlist" / "Artist" / "Deep" / "y.m3u");
    MakeReadOnly(e / "Playlist" / "Artist" / "Deep");
    MakeReadOnly(e / "Playlist" / "Artist");

    FsClearFolder(u"E:\\Playlist");

    ASSERT_TRUE(fs::is_directory(e / "Playlist"));
    EXPECT_TRUE(fs::is_empty(e / "Playlist"));
}

TEST_P(FsLayer, ClearFolderKeepsAFileThatCannotBeDeletedWithItsFolderAndGoesOn)
{
    TempMachine::WriteHostFile(e / "Playlist" / "Keep" / "locked.m3u", "l");
    TempMachine::WriteHostFile(e / "Playlist" / "Keep" / "other.m3u", "o");
    TempMachine::WriteHostFile(e / "Playlist" / "Gone" / "x.m3u", "x");
    TempMachine::WriteHostFile(e / "Playlist" / "top.m3u", "t");
    HANDLE held = FsOpenFile(u"E:\\Playlist\\Keep\\locked.m3u");
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    FsClearFolder(u"E:\\Playlist");
    CloseHandle(held);

    EXPECT_TRUE(fs::exists(e / "Playlist" / "Keep" / "locked.m3u"));
    EXPECT_FALSE(fs::exists(e / "Playlist" / "Keep" / "other.m3u"));
    EXPECT_FALSE(fs::exists(e / "Playlist" / "Gone"));
    EXPECT_FALSE(fs::exists(e / "Playlist" / "top.m3u"));
}

TEST_P(FsLayer, ClearingAMissingFolderDoesNothing)
{
    FsClearFolder(u"E:\\Playlist");
    FsClearFolder(u"E:\\None\\Deeper");
    EXPECT_TRUE(fs::is_empty(e));
}

TEST_P(FsLayer, CreateAndOpenFollowTheirDispositions)
{
    EXPECT_NE(FsCreateDirectory(u"E:\\Playlist"), 0);
    EXPECT_EQ(FsCreateDirectory(u"E:\\Playlist"), 0);
    EXPECT_EQ(FsGetFileAttributes(u"E:\\Playlist") & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));

    TempMachine::WriteHostFile(e / "Playlist" / "kept.m3u", "content");
    TempMachine::WriteHostFile(e / "Playlist" / "cut.m3u", "content");
    HANDLE kept = FsOpenFile(u"E:\\Playlist\\kept.m3u");
    HANDLE cut = FsCreateFile(u"E:\\Playlist\\cut.m3u");
    HANDLE fresh = FsOpenFile(u"E:\\Playlist\\new.m3u");
    ASSERT_NE(kept, INVALID_HANDLE_VALUE);
    ASSERT_NE(cut, INVALID_HANDLE_VALUE);
    ASSERT_NE(fresh, INVALID_HANDLE_VALUE);
    // No sharing: a second open of the same file is refused while the first is held.
    EXPECT_EQ(FsOpenFile(u"E:\\Playlist\\kept.m3u"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(kept);
    CloseHandle(cut);
    CloseHandle(fresh);
    EXPECT_EQ(TempMachine::ReadHostFile(e / "Playlist" / "kept.m3u"), "content");
    EXPECT_EQ(fs::file_size(e / "Playlist" / "cut.m3u"), 0u);
    EXPECT_EQ(fs::file_size(e / "Playlist" / "new.m3u"), 0u);

    EXPECT_NE(FsDeleteFile(u"E:\\Playlist\\new.m3u"), 0);
    EXPECT_EQ(FsDeleteFile(u"E:\\Playlist\\new.m3u"), 0);
    EXPECT_EQ(FsRemoveDirectory(u"E:\\Playlist"), 0);
}

TEST_P(FsLayer, FreeSpaceAndListingsPassThroughEitherFamily)
{
    TempMachine::WriteHostFile(e / "Music" / "caf\xC3\xA9.mp3", std::string(100, 'x'));
    ULONGLONG available = 0, total = 0, free = 0;
    ASSERT_NE(FsGetDiskFreeSpace(u"E:\\", &available, &total, &free), 0);
    EXPECT_EQ(total, 1u << 20);
    EXPECT_EQ(free, (1u << 20) - 100);
    EXPECT_EQ(available, free);
    EXPECT_NE(FsGetDiskFreeSpace(u"E:\\Music", nullptr, &total, nullptr), 0);
    EXPECT_EQ(FsGetDiskFreeSpace(u"Q:\\", &available, &total, &free), 0);

    FsFindEntry entry;
    HANDLE find = FsFindFirst(u"E:\\Music\\*.mp3", &entry);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::u16string(entry.name), u"caf\u00E9.mp3");
    EXPECT_EQ(entry.attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(FsFindNext(find, &entry), 0);
    FsFindClose(find);
}

TEST_P(FsLayer, NullPathsFailWithoutASystemCall)
{
    EXPECT_EQ(FsCreateDirectory(nullptr), 0);
    EXPECT_EQ(FsCreateFile(nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FsOpenFile(nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FsDeleteFile(nullptr), 0);
    EXPECT_EQ(FsGetFileAttributes(nullptr), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(FsSetFileAttributes(nullptr, 0), 0);
    EXPECT_EQ(FsRemoveDirectory(nullptr), 0);
    EXPECT_EQ(FsRemoveDirectoryForce(nullptr), 0);
    EXPECT_EQ(FsGetDiskFreeSpace(nullptr, nullptr, nullptr, nullptr), 0);
}

INSTANTIATE_TEST_SUITE_P(Families, FsLayer, ::testing::Values(2u, 1u), FamilyName);

TEST(FsNarrow, ReplacesUnrepresentableCharactersByTheDefaultCharacter)
{
    TempMachine m;
    auto e = m.AddDrive('E');
    g_osVersionRecord.platformId = 1;
    ResetConversionCodePageRule();

    // On the host root '?' is a valid name character, so the replaced name shows as it is made.
    std::u16string hostPath = yolt::WindowsPathFromHost(m.root) + u"\\a\u0416b.txt";
    HANDLE file = FsCreateFile(hostPath.c_str());
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_TRUE(fs::exists(m.root / "a?b.txt"));

    // On a FAT drive the replaced name is invalid, so the operation fails where the wide one works.
    EXPECT_EQ(FsCreateFile(u"E:\\a\u0416b.txt"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    g_osVersionRecord.platformId = 2;
    file = FsCreateFile(u"E:\\a\u0416b.txt");
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_TRUE(fs::exists(e / "a\xD0\x96" "b.txt"));
    g_osVersionRecord = OsVersionRecord();
}
