// kvu-pack as a user runs it: exit codes, member names, and the cabinet read back by gcab.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string output;  // standard output and error together
};

Outcome Shell(const std::string& command)
{
    Outcome outcome{-1, {}};
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return outcome;
    std::array<char, 512> buffer;
    while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
        outcome.output.append(buffer.data(), n);
    int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

class KvuPack : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() /
            ("yolt-kvupack-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "tree" / "Music" / "Live");
        Write(root / "tree" / "SYSTEM.BIN", "firmware");
        Write(root / "tree" / "Music" / "intro.mp3", std::string(50000, 'm'));
        Write(root / "tree" / "Music" / "Live" / "a.mp3", "live");
        Write(root / "VERSION.TXT", "1.2");
        const char* bin = std::getenv("YOLT_BIN");
        tool = std::string(bin ? bin : ".") + "/kvu-pack";
    }
    void TearDown() override
    {
        if (!HasFailure())
            fs::remove_all(root);
    }
    static void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    Outcome Pack(const std::string& args) { return Shell(tool + " " + args); }

    fs::path root;
    std::string tool;
};

TEST_F(KvuPack, NamesMembersRelativeToEachInputWithBackslashes)
{
    for (const char* compression : {"none", "mszip"}) {
        SCOPED_TRACE(compression);
        std::string out = (root / "p.kvu").string();
        Outcome packed = Pack(out + " --compress " + compression + " " + (root / "tree").string() + " " +
            (root / "VERSION.TXT").string());
        ASSERT_EQ(packed.status, 0) << packed.output;
        Outcome listed = Shell("gcab -t " + out);
        ASSERT_EQ(listed.status, 0) << listed.output;
        EXPECT_EQ(listed.output, "Music\\Live\\a.mp3\nMusic\\intro.mp3\nSYSTEM.BIN\nVERSION.TXT\n");

        fs::create_directories(root / "out");
        ASSERT_EQ(Shell("gcab -x -C " + (root / "out").string() + " " + out).status, 0);
        std::ifstream extracted(root / "out" / "Music" / "intro.mp3", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(extracted), {}), std::string(50000, 'm'));
        fs::remove_all(root / "out");
    }
}

TEST_F(KvuPack, ExitStatusAndMessages)
{
    std::string out = (root / "p.kvu").string();
    std::string tree = (root / "tree").string();
    const struct {
        std::string args;
        int status;
        const char* message;  // part of what it prints
    } cases[] = {
        {"--help", 0, "usage: kvu-pack OUTPUT.kvu"},
        {"", 2, "no output file given"},
        {out, 2, "no input files given"},
        {out + " --compress lzx " + tree, 2, "unknown compression \"lzx\""},
        {out + " " + tree + " --compress", 2, "--compress needs a value"},
        {out + " --fast " + tree, 2, "unknown option \"--fast\""},
        {out + " " + (root / "absent").string(), 1, "no such file or folder"},
        {out + " " + tree + " " + (root / "tree" / "SYSTEM.BIN").string(), 1, "already in the package"},
        {(root / "no-folder" / "p.kvu").string() + " " + tree, 1, "no-folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        Outcome outcome = Pack(c.args);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_NE(outcome.output.find(c.message), std::string::npos) << outcome.output;
    }
    EXPECT_FALSE(fs::exists(root / "p.kvu"));  // no failed run left an output behind
}

}  // namespace
