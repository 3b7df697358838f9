// The cabinet iterator on cabinets written by gcab and by kvu-pack, extracting onto a simulated
// drive through the file layer.
#include "platform/setup/cabinet.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/files.h"
#include "platform/kernel/modules.h"
#include "platform/kernel/paths.h"
#include "platform/machine/machine.h"

namespace {

namespace fs = std::filesystem;

constexpr DWORD kCancelled = 1223;  // ERROR_CANCELLED

std::string ReadHostFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteHostFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string RandomBytes(size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (auto& b : bytes)
        b = static_cast<char>(random() % 7 == 0 ? random() : 'a' + random() % 3);  // compressible, not trivial
    return bytes;
}

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// What the callback saw, and how it answers.
struct Session {
    std::vector<UINT> notifications;
    std::vector<std::string> offered;    // NameInCabinet of each member offered
    std::vector<DWORD> offeredSizes;
    std::vector<std::pair<std::string, UINT>> extracted;  // target and Win32Error
    std::string targetRoot = "E:\\";
    // Answers to FILEINCABINET by member name; FILEOP_DOIT when it gives nothing.
    std::function<UINT(FILE_IN_CABINET_INFO_A&)> decide;
    UINT extractedAnswer = NO_ERROR;
};

// Creates the folders a member name implies below the root, as an installer would, and asks
// for the member at root + name.
UINT Callback(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR)
{
    auto* session = static_cast<Session*>(context);
    session->notifications.push_back(notification);
    if (notification == SPFILENOTIFY_FILEEXTRACTED) {
        auto* paths = reinterpret_cast<FILEPATHS_A*>(param1);
        session->extracted.emplace_back(paths->Target, paths->Win32Error);
        return session->extractedAnswer;
    }
    if (notification != SPFILENOTIFY_FILEINCABINET)
        return NO_ERROR;
    auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1);
    session->offered.emplace_back(info->NameInCabinet);
    session->offeredSizes.push_back(info->FileSize);
    std::string name = info->NameInCabinet;
    for (size_t cut = name.find('\\'); cut != std::string::npos; cut = name.find('\\', cut + 1))
        CreateDirectoryA((session->targetRoot + name.substr(0, cut)).c_str(), nullptr);
    std::snprintf(info->FullTargetName, MAX_PATH, "%s%s", session->targetRoot.c_str(), name.c_str());
    return session->decide ? session->decide(*info) : FILEOP_DOIT;
}

class CabinetIterator : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() /
            ("yolt-cabinet-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "drive-e");
        fs::create_directories(root / "source");
        machine = std::make_shared<yolt::machine::MemoryMachine>();
        yolt::machine::Drive e;
        e.letter = 'E';
        e.kind = yolt::machine::DriveKind::Removable;
        e.capacity = 64ull * 1024 * 1024;
        e.folder = root / "drive-e";
        machine->drives.push_back(e);
        yolt::machine::SetCurrentMachine(machine);

        files = {
            {"SYSTEM.BIN", RandomBytes(70000, 1)},
            {"Music/intro.mp3", RandomBytes(150000, 2)},
            {"Music/Sub/deep.dat", RandomBytes(3000, 3)},
            {"README.TXT", ""},
        };
        for (const auto& [name, bytes] : files)
            WriteHostFile(root / "source" / name, bytes);
    }
    void TearDown() override
    {
        yolt::machine::SetCurrentMachine(nullptr);
        if (!HasFailure())
            fs::remove_all(root);
    }

    static std::string Tool(const std::string& name)
    {
        const char* bin = std::getenv("YOLT_BIN");
        return name == "gcab" ? "gcab" : std::string(bin ? bin : ".") + "/" + name;
    }
    static int Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

    // The cabinet's Windows path, on the host root drive.
    std::string WindowsPath(const fs::path& host) { return Narrow(yolt::WindowsPathFromHost(host)); }

    BOOL Iterate(const std::string& cabinet, Session& session)
    {
        SetLastError(0);
        return SetupIterateCabinetA(cabinet.c_str(), 0, Callback, &session);
    }

    void ExpectExtractedByteForByte()
    {
        for (const auto& [name, bytes] : files)
            EXPECT_EQ(ReadHostFile(root / "drive-e" / name), bytes) << name;
    }

    fs::path root;
    std::shared_ptr<yolt::machine::MemoryMachine> machine;
    std::vector<std::pair<std::string, std::string>> files;
};

TEST_F(CabinetIterator, ExtractsCabinetsOfBothWritersByteForByte)
{
    const std::string inputs = "SYSTEM.BIN Music/intro.mp3 Music/Sub/deep.dat README.TXT";
    const std::pair<const char*, std::string> writers[] = {
        {"gcab stored", "cd " + (root / "source").string() + " && gcab -c " + (root / "p.cab").string() + " " + inputs},
        {"gcab mszip", "cd " + (root / "source").string() + " && gcab -c -z " + (root / "p.cab").string() + " " + inputs},
        {"kvu-pack none", Tool("kvu-pack") + " " + (root / "p.cab").string() + " " + (root / "source").string()},
        {"kvu-pack mszip",
            Tool("kvu-pack") + " " + (root / "p.cab").string() + " --compress mszip " + (root / "source").string()},
    };
    for (const auto& [label, command] : writers) {
        SCOPED_TRACE(label);
        fs::remove_all(root / "drive-e");
        fs::create_directories(root / "drive-e");
        ASSERT_EQ(Run(command), 0) << command;

        Session session;
        ASSERT_TRUE(Iterate(WindowsPath(root / "p.cab"), session)) << GetLastError();
        ExpectExtractedByteForByte();
        ASSERT_FALSE(session.notifications.empty());
        EXPECT_EQ(session.notifications.front(), static_cast<UINT>(SPFILENOTIFY_CABINETINFO));
        std::vector<std::string> expectedNames;
        for (const auto& [name, bytes] : files) {
            std::string stored = name;
            std::replace(stored.begin(), stored.end(), '/', '\\');
            expectedNames.push_back(stored);
        }
        // gcab keeps the order of its command line; kvu-pack stores a folder in name order.
        if (std::string(label).rfind("kvu-pack", 0) == 0)
            std::sort(expectedNames.begin(), expectedNames.end());
        EXPECT_EQ(session.offered, expectedNames);
        for (size_t i = 0; i < session.extracted.size(); ++i)
            EXPECT_EQ(session.extracted[i].second, static_cast<UINT>(NO_ERROR)) << session.extracted[i].first;
        EXPECT_EQ(session.extracted.size(), files.size());
    }
}

TEST_F(CabinetIterator, CabinetWithoutMembersSucceedsAndWritesNothing)
{
    fs::create_directories(root / "empty");
    ASSERT_EQ(Run(Tool("kvu-pack") + " " + (root / "e.kvu").string() + " " + (root / "empty").string()), 0);
    Session session;
    EXPECT_TRUE(Iterate(WindowsPath(root / "e.kvu"), session)) << GetLastError();
    EXPECT_TRUE(session.offered.empty());
    EXPECT_TRUE(fs::is_empty(root / "drive-e"));
}

TEST_F(CabinetIterator, FailsWithTheLastErrorSet)
{
    WriteHostFile(root / "text.kvu", std::string(5000, 'x'));
    WriteHostFile(root / "short.kvu", "MSCF");
    const std::pair<std::string, DWORD> cases[] = {
        {WindowsPath(root / "missing.kvu"), ERROR_FILE_NOT_FOUND},
        {WindowsPath(root / "no-folder" / "missing.kvu"), ERROR_PATH_NOT_FOUND},
        {WindowsPath(root / "text.kvu"), ERROR_INVALID_DATA},
        {WindowsPath(root / "short.kvu"), ERROR_INVALID_DATA},
    };
    for (const auto& [path, error] : cases) {
        SCOPED_TRACE(path);
        Session session;
        EXPECT_FALSE(Iterate(path, session));
        EXPECT_EQ(GetLastError(), error);
        EXPECT_TRUE(session.offered.empty());
    }
    Session session;
    SetLastError(0);
    EXPECT_FALSE(SetupIterateCabinetA(WindowsPath(root / "text.kvu").c_str(), 1, Callback, &session));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(CabinetIterator, DamagedDataFailsAndLeavesNoPartialFile)
{
    ASSERT_EQ(Run("cd " + (root / "source").string() + " && gcab -c -z " + (root / "p.cab").string() + " Music/intro.mp3"), 0);
    std::string bytes = ReadHostFile(root / "p.cab");
    bytes[bytes.size() / 2] ^= 0x55;
    WriteHostFile(root / "p.cab", bytes);

    Session session;
    EXPECT_FALSE(Iterate(WindowsPath(root / "p.cab"), session));
    DWORD error = GetLastError();
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_CRC));
    ASSERT_EQ(session.extracted.size(), 1u);
    EXPECT_EQ(session.extracted[0].second, error);
    EXPECT_FALSE(fs::exists(root / "drive-e" / "Music" / "intro.mp3"));
}

TEST_F(CabinetIterator, SkipAndAbortAnswers)
{
    ASSERT_EQ(Run(Tool("kvu-pack") + " " + (root / "p.kvu").string() + " " + (root / "source").string()), 0);

    Session skipping;
    skipping.decide = [](FILE_IN_CABINET_INFO_A& info) {
        return std::string(info.NameInCabinet).find("Music") == 0 ? FILEOP_SKIP : FILEOP_DOIT;
    };
    EXPECT_TRUE(Iterate(WindowsPath(root / "p.kvu"), skipping));
    EXPECT_EQ(skipping.offered.size(), files.size());
    EXPECT_EQ(skipping.extracted.size(), 2u);
    EXPECT_TRUE(fs::exists(root / "drive-e" / "SYSTEM.BIN"));
    EXPECT_FALSE(fs::exists(root / "drive-e" / "Music" / "intro.mp3"));

    Session aborting;
    aborting.decide = [](FILE_IN_CABINET_INFO_A& info) {
        info.Win32Error = kCancelled;
        return FILEOP_ABORT;
    };
    EXPECT_FALSE(Iterate(WindowsPath(root / "p.kvu"), aborting));
    EXPECT_EQ(GetLastError(), kCancelled);
    EXPECT_EQ(aborting.offered.size(), 1u);
}

TEST_F(CabinetIterator, WriteFailuresAreReportedAndTheCallbackDecides)
{
    ASSERT_EQ(Run(Tool("kvu-pack") + " " + (root / "p.kvu").string() + " " + (root / "source").string()), 0);

    // Targets in a folder that does not exist: each failure is reported, the walk goes on.
    Session carryOn;
    carryOn.decide = [](FILE_IN_CABINET_INFO_A& info) {
        if (std::string(info.NameInCabinet) == "SYSTEM.BIN")
            std::snprintf(info.FullTargetName, MAX_PATH, "E:\\NoSuchFolder\\SYSTEM.BIN");
        return FILEOP_DOIT;
    };
    EXPECT_TRUE(Iterate(WindowsPath(root / "p.kvu"), carryOn)) << GetLastError();
    ASSERT_EQ(carryOn.extracted.size(), files.size());
    for (const auto& [target, error] : carryOn.extracted)
        EXPECT_EQ(error, target == "E:\\NoSuchFolder\\SYSTEM.BIN" ? static_cast<UINT>(ERROR_PATH_NOT_FOUND) : 0u) << target;
    EXPECT_TRUE(fs::exists(root / "drive-e" / "README.TXT"));

    // A full drive: the partly written member is removed; the callback's error ends the walk.
    fs::remove_all(root / "drive-e");
    fs::create_directories(root / "drive-e");
    machine->drives[0].capacity = 100000;
    Session stopping;
    stopping.extractedAnswer = ERROR_DISK_FULL;
    stopping.decide = [](FILE_IN_CABINET_INFO_A& info) {
        return std::string(info.NameInCabinet) == "Music\\intro.mp3" ? FILEOP_DOIT : FILEOP_SKIP;
    };
    EXPECT_FALSE(Iterate(WindowsPath(root / "p.kvu"), stopping));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    ASSERT_EQ(stopping.extracted.size(), 1u);
    EXPECT_EQ(stopping.extracted[0].second, static_cast<UINT>(ERROR_DISK_FULL));
    EXPECT_FALSE(fs::exists(root / "drive-e" / "Music" / "intro.mp3"));
}

TEST_F(CabinetIterator, Utf8NamesArriveInTheAnsiCodePage)
{
    WriteHostFile(root / "accents" / "\xC3\xA9t\xC3\xA9.txt", "summer");
    ASSERT_EQ(Run(Tool("kvu-pack") + " " + (root / "a.kvu").string() + " " + (root / "accents").string()), 0);
    Session session;
    ASSERT_TRUE(Iterate(WindowsPath(root / "a.kvu"), session)) << GetLastError();
    ASSERT_EQ(session.offered.size(), 1u);
    EXPECT_EQ(session.offered[0], "\xE9t\xE9.txt");  // code page 1252
    EXPECT_EQ(session.offeredSizes[0], 6u);
}

TEST_F(CabinetIterator, IsExportedBySetupApiModule)
{
    HMODULE module = LoadLibraryA("SETUPAPI.DLL");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, "SetupIterateCabinetA")),
        reinterpret_cast<void*>(&SetupIterateCabinetA));
    FreeLibrary(module);
}

}  // namespace
