#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int exitCode = -1;
    std::string out;
};

// Runs the demo program on a fresh machine with a virtual clock, headless, with a script.
class ScriptedDemo : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("scripted_demo_" + std::to_string(::getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir / "machine");
        std::ofstream(m_dir / "machine" / "machine.json") << "{ \"clock\": \"virtual\" }\n";
    }
    void TearDown() override
    {
        if (!HasFailure())
            fs::remove_all(m_dir);
    }

    Outcome Run(const std::string& script, const std::string& arguments = "")
    {
        std::ofstream(m_dir / "script.txt") << script;
        std::string command = "YOLT_DISPLAY=headless YOLT_SCRIPT='" + (m_dir / "script.txt").string() +
            "' YOLT_MACHINE='" + (m_dir / "machine").string() + "' '" + std::string(std::getenv("YOLT_BIN")) +
            "/framework_demo' " + arguments + " 2>&1";
        Outcome outcome;
        FILE* pipe = ::popen(command.c_str(), "r");
        std::array<char, 512> buffer;
        while (std::fgets(buffer.data(), int(buffer.size()), pipe))
            outcome.out += buffer.data();
        int status = ::pclose(pipe);
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return outcome;
    }

    fs::path m_dir;
};

}  // namespace

TEST_F(ScriptedDemo, PrintsMessageBoxesAndTicksOnVirtualTime)
{
    Outcome o = Run("# ticks at 2000 and 4000\nwait 4500\nclick 10 10\nexpect-box \"Ticks: 2\"\nanswer OK\nkey ESCAPE\n");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_EQ(o.out,
        "message-box caption=\"Demo\" text=\"Ticks: 2\" icon=INFORMATION buttons=OK\n"
        "dialog-result 2 ticks=2\n");
}

TEST_F(ScriptedDemo, WrongExpectationEndsWithCode4AndSaysWhatWasFound)
{
    Outcome o = Run("click 10 10\nexpect-box \"Ticks: 5\"\nanswer OK\n");
    EXPECT_EQ(o.exitCode, 4) << o.out;
    EXPECT_NE(o.out.find("message-box caption=\"Demo\" text=\"Ticks: 0\""), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("line 2: expect-box \"Ticks: 5\": the open message box says \"Ticks: 0\""), std::string::npos)
        << o.out;
}

TEST_F(ScriptedDemo, CommandLineQuestionAndTheCloseAtTheEnd)
{
    // No answer in the script: at its end the box is answered as a close would (Cancel).
    Outcome o = Run("", "Z:\\\\tmp\\\\a.kvu");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_EQ(o.out, "message-box caption=\"Demo\" text=\"Install from:\\nZ:\\\\tmp\\\\a.kvu ?\" icon=QUESTION "
                     "buttons=YESNOCANCEL\n");
    o = Run("answer YES\nwait 2000\n", "x.kvu");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_NE(o.out.find("dialog-result 2 ticks=1"), std::string::npos) << o.out;
}

TEST_F(ScriptedDemo, BadScriptsAreRefusedWithTheirLine)
{
    Outcome o = Run("wait 10\nfly 1 2\n");
    EXPECT_EQ(o.exitCode, 4);
    EXPECT_NE(o.out.find("line 2: unknown step 'fly'"), std::string::npos) << o.out;
    o = Run("answer MAYBE\n");
    EXPECT_EQ(o.exitCode, 4);
    EXPECT_NE(o.out.find("line 1: answer expects OK"), std::string::npos) << o.out;
}
