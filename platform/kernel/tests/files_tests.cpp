#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/kernel/files.h"
#include "platform/kernel/paths.h"
#include "platform/kernel/tests/temp_machine.h"

using yolt::testing::TempMachine;

namespace {

HANDLE Open(const char16_t* path, DWORD access, DWORD share, DWORD disposition)
{
    return CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::vector<std::string> List(const char16_t* pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(yolt::Utf8FromWide(data.cFileName));
    while (FindNextFileW(find, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    FindClose(find);
    return names;
}

}  // namespace

TEST(Paths, MapsDrivesCaseInsensitivelyAndRefusesEscapes)
{
    TempMachine m;
    auto e = m.AddDrive('E');
    TempMachine::WriteHostFile(e / "Music" / "Song.MP3", "x");

    DWORD error = 0;
    auto mapped = yolt::MapWindowsPath(u"e:/MUSIC\\song.mp3", error);
    ASSERT_TRUE(mapped);
    EXPECT_EQ(mapped->host, e / "Music" / "Song.MP3");
    EXPECT_EQ(mapped->drive, 'E');

    // "E:a" starts at the root, "." and ".." apply, a missing tail keeps its given case.
    mapped = yolt::MapWindowsPath(u"E:music\\.\\x\\..\\New", error);
    ASSERT_TRUE(mapped);
    EXPECT_EQ(mapped->host, e / "Music" / "New");

    EXPECT_FALSE(yolt::MapWindowsPath(u"E:\\..\\secret", error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(yolt::MapWindowsPath(u"Q:\\a", error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    EXPECT_EQ(yolt::WindowsPathFromHost(e / "Music" / "Song.MP3"), u"E:\\Music\\Song.MP3");
    EXPECT_EQ(yolt::WindowsPathFromHost("/usr/lib"), u"Z:\\usr\\lib");
}

TEST(Files, OpensExistingNamesWithoutRegardToCase)
{
    TempMachine m;
    auto e = m.AddDrive('E');
    TempMachine::WriteHostFile(e / "Music" / "Song.MP3", "tune");

    HANDLE file = Open(u"E:\\MUSIC\\song.mp3", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char buffer[8] = {};
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "tune");
    CloseHandle(file);

    // Creating under another case writes the existing file rather than a second one.
    file = Open(u"e:\\music\\SONG.mp3", GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(file);
    EXPECT_EQ(List(u"E:\\Music\\*"), (std::vector<std::string>{".", "..", "Song.MP3"}));
    EXPECT_EQ(TempMachine::ReadHostFile(e / "Music" / "Song.MP3"), "");
}

TEST(Files, ReportsBadNamesAndMissingPathsAsWindowsDoes)
{
    TempMachine m;
    auto e = m.AddDrive('E');
    std::filesystem::create_directories(e / "Music");
    struct Case {
        const char16_t* path;
        DWORD error;
    } cases[] = {
        {u"E:\\Music\\a?b.mp3", ERROR_INVALID_NAME},
        {u"E:\\Music\\a*b.mp3", ERROR_INVALID_NAME},
        {u"E:\\Mu|sic\\a.mp3", ERROR_INVALID_NAME},
        {u"E:\\Music\\a\x01.mp3", ERROR_INVALID_NAME},
        {u"E:\\Music\\none.mp3", ERROR_FILE_NOT_FOUND},
        {u"E:\\Nowhere\\none.mp3", ERROR_PATH_NOT_FOUND},
        {u"Q:\\none.mp3", ERROR_PATH_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(yolt::Utf8FromWide(c.path));
        SetLastError(0);
        EXPECT_EQ(Open(c.path, GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(GetFileAttributesW(c.path), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(GetLastError(), c.error);
    }
}

TEST(Files, DispositionsCreateKeepOrTruncate)
{
    TempMachine m;
    auto e = m.AddDrive('E');
    TempMachine::WriteHostFile(e / "a.txt", "hello");

    EXPECT_EQ(Open(u"E:\\a.txt", GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));

    HANDLE file = Open(u"E:\\a.txt", GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(GetFileSize(file, nullptr), 5u);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_END), 5u);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, " you", 4, &written, nullptr));
    EXPECT_EQ(SetFilePointer(file, -3, nullptr, FILE_CURRENT), 6u);
    EXPECT_TRUE(SetEndOfFile(file));
    EXPECT_EQ(SetFilePointer(file, -10, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    CloseHandle(file);
    EXPECT_EQ(TempMachine::ReadHostFile(e / "a.txt"), "hello ");

    file = Open(u"E:\\a.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(file, nullptr), 0u);
    CloseHandle(file);

    file = Open(u"E:\\new.txt", GENERIC_WRITE, 0, OPEN_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), 0u);
    CloseHandle(file);
    EXPECT_TRUE(std::filesystem::exists(e / "new.txt"));
}

TEST(Files, FileOpenedWithoutSharingRefusesOtherOpensUntilClosed)
{
    TempMachine m;
    auto e = m.AddDrive('E');
    TempMachine::WriteHostFile(e / "a.txt", "x");

    HANDLE held = Open(u"E:\\a.txt", GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(u"E:\\A.TXT", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING),
        INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(DeleteFileW(u"E:\\a.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(CloseHandle(held));

    // Two readers that share reading get along; a writer then does not.
    HANDLE r1 = Open(u"E:\\a.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    HANDLE r2 = Open(u"E:\\a.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_NE(r1, INVALID_HANDLE_VALUE);
    EXPECT_NE(r2, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(u"E:\\a.txt", GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    CloseHandle(r1);
    CloseHandle(r2);
    EXPECT_TRUE(DeleteFileW(u"E:\\a.txt"));
}

TEST(Files, ReadOnlyAttributeIsEnforcedByThePlatform)
{
    TempMachine m;
    auto e = m.AddDrive('E');
    TempMachine::WriteHostFile(e / "Dir" / "a.txt", "x");

    ASSERT_TRUE(SetFileAttributesW(u"E:\\Dir\\a.txt", FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetFileAttributesW(u"E:\\Dir\\a.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_FALSE(DeleteFileW(u"E:\\Dir\\a.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Open(u"E:\\Dir\\a.txt", GENERIC_WRITE, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    HANDLE reader = Open(u"E:\\Dir\\a.txt", GENERIC_READ, 0, OPEN_EXISTING);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);

    ASSERT_TRUE(SetFileAttributesW(u"E:\\Dir\\a.txt", FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileW(u"E:\\Dir\\a.txt"));

    ASSERT_TRUE(SetFileAttributesW(u"E:\\Dir", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(RemoveDirectoryW(u"E:\\Dir"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ASSERT_TRUE(SetFileAttributesW(u"E:\\Dir", FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(RemoveDirectoryW(u"E:\\Dir"));
}

TEST(Files, FoldersReportExistingNonEmptyAndMissing)
{
    TempMachine m;
    auto e = m.AddDrive('E');
    TempMachine::WriteHostFile(e / "Full" / "a.txt", "x");

    EXPECT_FALSE(CreateDirectoryW(u"E:\\full", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryW(u"E:\\None\\Sub", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(RemoveDirectoryW(u"E:\\Full"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
    EXPECT_FALSE(RemoveDirectoryW(u"E:\\None"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFileW(u"E:\\Full"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    EXPECT_TRUE(CreateDirectoryW(u"E:\\New", nullptr));
    EXPECT_EQ(GetFileAttributesW(u"E:\\new"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(RemoveDirectoryW(u"E:\\NEW"));
    EXPECT_FALSE(std::filesystem::exists(e / "New"));
}

TEST(Files, ListingsDeliverDotsBelowTheRootAndMatchPatterns)
{
    TempMachine m;
    auto e = m.AddDrive('E');
    TempMachine::WriteHostFile(e / "Music" / "One.MP3", "1");
    TempMachine::WriteHostFile(e / "Music" / "two.wma", "2");

    auto root = List(u"E:\\*");
    EXPECT_EQ(root, std::vector<std::string>{"Music"});
    auto music = List(u"e:\\music\\*.*");
    ASSERT_EQ(music.size(), 4u);
    EXPECT_EQ(music[0], ".");
    EXPECT_EQ(music[1], "..");
    EXPECT_EQ(List(u"E:\\Music\\*.mp3"), std::vector<std::string>{"One.MP3"});

    WIN32_FIND_DATAA data;
    EXPECT_EQ(FindFirstFileA("E:\\Music\\*.ogg", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindFirstFileA("E:\\None\\*", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(Files, BadHandlesAreRefusedNotFollowed)
{
    TempMachine m;
    m.AddDrive('E');
    char buffer[4];
    DWORD count = 7;
    HANDLE bogus = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x12345678));
    for (HANDLE h : {INVALID_HANDLE_VALUE, static_cast<HANDLE>(nullptr), bogus}) {
        EXPECT_FALSE(ReadFile(h, buffer, sizeof buffer, &count, nullptr));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        EXPECT_EQ(count, 0u);
        EXPECT_FALSE(WriteFile(h, buffer, sizeof buffer, &count, nullptr));
        EXPECT_EQ(GetFileSize(h, nullptr), INVALID_FILE_SIZE);
        EXPECT_FALSE(CloseHandle(h));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
    HANDLE file = Open(u"E:\\a.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
    WIN32_FIND_DATAW data;
    EXPECT_FALSE(FindNextFileW(file, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
}

TEST(Files, NarrowCallsConvertThroughTheAnsiCodePage)
{
    TempMachine m;
    auto e = m.AddDrive('E');
    HANDLE file = CreateFileA("E:\\caf\xE9.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_TRUE(std::filesystem::exists(e / "caf\xC3\xA9.txt"));

    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA("E:\\*.txt", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "caf\xE9.txt");
    FindClose(find);
    EXPECT_TRUE(DeleteFileA("E:\\CAF\xC9.TXT"));
}

TEST(Files, FullDriveWritesWhatFitsThenReportsDiskFull)
{
    TempMachine m;
    auto e = m.AddDrive('E', 100);
    TempMachine::WriteHostFile(e / "old.bin", std::string(30, 'o'));

    HANDLE file = Open(u"E:\\new.bin", GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string data(50, 'n');
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, data.data(), 50, &written, nullptr));
    EXPECT_EQ(written, 50u);
    EXPECT_FALSE(WriteFile(file, data.data(), 50, &written, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(written, 20u);
    EXPECT_FALSE(WriteFile(file, data.data(), 1, &written, nullptr));
    EXPECT_EQ(written, 0u);

    // Rewriting bytes that exist needs no room; freeing space makes room again.
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    EXPECT_TRUE(WriteFile(file, data.data(), 50, &written, nullptr));
    EXPECT_TRUE(DeleteFileW(u"E:\\old.bin"));
    SetFilePointer(file, 0, nullptr, FILE_END);
    EXPECT_TRUE(WriteFile(file, data.data(), 30, &written, nullptr));
    CloseHandle(file);
    EXPECT_EQ(std::filesystem::file_size(e / "new.bin"), 100u);
}
