// Runs the built yolt-machine as a child process, as a user would.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include <sys/wait.h>

#include <nlohmann/json.hpp>

#include "platform/machine/testing/temp_machine.h"

using namespace yolt::machine;

namespace {
struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& word)
{
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class YoltMachineTool : public testing::Test {
protected:
    // Runs the tool with `words`; `environment` is put before it ("YOLT_MACHINE=… ").
    Outcome Run(const std::vector<std::string>& words, const std::string& environment = "")
    {
        const char* bin = std::getenv("YOLT_BIN");
        EXPECT_NE(bin, nullptr) << "YOLT_BIN is not set";
        std::string command = environment + " " + Quote(std::string(bin ? bin : ".") + "/yolt-machine");
        for (const auto& word : words)
            command += " " + Quote(word);
        auto out = scratch.Folder() / "out.txt";
        auto err = scratch.Folder() / "err.txt";
        command += " >" + Quote(out.string()) + " 2>" + Quote(err.string());
        int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
    }

    TempMachine scratch;  // sets YOLT_MACHINE for the children; its folder also holds their output
    std::string dir = (scratch.Folder() / "m").string();
};
}  // namespace

TEST_F(YoltMachineTool, CreatesPlugsAndShowsAMachine)
{
    auto created = Run({"create", dir, "--os", "98se"});
    ASSERT_EQ(created.exitCode, 0) << created.err;
    auto plugged = Run({"plug", "RQ310", "F", "--capacity", "30000000000"}, "YOLT_MACHINE=" + Quote(dir));
    ASSERT_EQ(plugged.exitCode, 0) << plugged.err;
    EXPECT_EQ(plugged.out, "RQ310 attached as F:\n");

    std::ofstream(std::filesystem::path(dir) / "drives" / "F" / "a.mp3") << "12345";
    auto shown = Run({"--machine", dir, "show", "--json"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    auto json = nlohmann::json::parse(shown.out);
    EXPECT_EQ(json["system"]["family"], "95");
    EXPECT_EQ(json["system"]["version"], "4.10");
    EXPECT_EQ(json["system"]["build"], 2222);
    ASSERT_EQ(json["drives"].size(), 3u);  // C:, F:, Z:
    EXPECT_EQ(json["drives"][1]["letter"], "F");
    EXPECT_EQ(json["drives"][1]["kind"], "fixed");
    EXPECT_EQ(json["drives"][1]["capacity"], 30000000000ull);
    EXPECT_EQ(json["drives"][1]["used"], 5);
    ASSERT_EQ(json["devices"].size(), 1u);
    EXPECT_EQ(json["devices"][0]["model"], "RQ310");
    EXPECT_EQ(json["devices"][0]["drive"], "F");
    EXPECT_EQ(json["devices"][0]["deviceId"], "USB\\VID_5E93&PID_1005\\0001");
    EXPECT_EQ(json["devices"][0]["vendor"], "YOLT    ");

    auto text = Run({"show"}, "YOLT_MACHINE=" + Quote(dir));
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("95 family, version 4.10"), std::string::npos) << text.out;
    auto at = text.out.find("  F:  fixed");
    ASSERT_NE(at, std::string::npos) << text.out;
    std::string line = text.out.substr(at, text.out.find('\n', at) - at);
    for (const char* part : {" 30000000000 bytes,", " 5 used", "FAT32", "RQ310"})
        EXPECT_NE(line.find(part), std::string::npos) << line;
}

TEST_F(YoltMachineTool, PlugsAtFreeLettersUnplugsAndSets)
{
    ASSERT_EQ(Run({"create", dir}).exitCode, 0);
    EXPECT_EQ(Run({"--machine", dir, "plug", "PX210"}).out, "PX210 attached as E:\n");
    EXPECT_EQ(Run({"--machine", dir, "plug", "px310", "--vid", "5e93", "--pid", "0x2000", "--status", "0x8", "--in-use"}).out,
        "PX310 attached as F:\n");
    EXPECT_EQ(Run({"--machine", dir, "unplug", "e:"}).out, "PX210 on E: detached\n");
    EXPECT_EQ(Run({"--machine", dir, "unplug"}).out, "PX310 on F: detached\n");
    auto none = Run({"--machine", dir, "unplug"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err, "yolt-machine: no device is attached\n");

    EXPECT_EQ(Run({"--machine", dir, "set", "os", "NT4"}).exitCode, 0);
    EXPECT_EQ(Run({"--machine", dir, "set", "locale", "0x0419"}).exitCode, 0);
    EXPECT_EQ(Run({"--machine", dir, "set", "codepage", "1250"}).exitCode, 0);
    auto json = nlohmann::json::parse(Run({"--machine", dir, "show", "--json"}).out);
    EXPECT_EQ(json["system"]["name"], "nt4");
    EXPECT_EQ(json["locale"]["lcid"], "0x0419");
    EXPECT_EQ(json["locale"]["ansiCodePage"], 1250);
    EXPECT_EQ(json["locale"]["localeAnsiCodePage"], "1250");
    EXPECT_EQ(json["locale"]["oemCodePage"], 866);
}

TEST_F(YoltMachineTool, RefusesBadCommandLinesWithExitCode2)
{
    ASSERT_EQ(Run({"create", dir}).exitCode, 0);
    ASSERT_EQ(Run({"--machine", dir, "plug", "PX210", "E"}).exitCode, 0);
    ASSERT_EQ(Run({"--machine", dir, "plug", "PX260", "F"}).exitCode, 0);
    std::string before = ReadFile(std::filesystem::path(dir) / "machine.json");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"create"},
        {"create", dir + "2", "--os", "os2"},
        {"plug"},
        {"plug", "ZX999"},
        {"plug", "PX210", "C"},
        {"plug", "PX210", "e:"},
        {"plug", "PX210", "Z"},
        {"plug", "PX210", "G", "--capacity", "lots"},
        {"plug", "PX210", "G", "--vid", "0x12345"},
        {"plug", "PX210", "G", "--bogus"},
        {"plug", "PX210", "G", "H"},
        {"unplug"},  // two are attached
        {"set", "os", "os2"},
        {"set", "codepage", "0"},
        {"set", "colour", "blue"},
        {"show", "extra"},
        {"--machine"},
    };
    for (const auto& words : cases) {
        std::string line;
        for (const auto& w : words)
            line += w + " ";
        SCOPED_TRACE(line);
        std::vector<std::string> command = {"--machine", dir};
        command.insert(command.end(), words.begin(), words.end());
        auto outcome = Run(command);
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_EQ(outcome.err.rfind("yolt-machine: ", 0), 0u) << outcome.err;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    }
    EXPECT_EQ(ReadFile(std::filesystem::path(dir) / "machine.json"), before);
}

TEST_F(YoltMachineTool, ReportsAMalformedMachineWithFileAndLine)
{
    ASSERT_EQ(Run({"create", dir}).exitCode, 0);
    auto file = std::filesystem::path(dir) / "machine.json";
    const std::string broken = "{\n  \"system\": \"xp\",\n  \"drives\": [\n    {\"letter\": \"C\",}\n  ]\n}\n";
    std::ofstream(file) << broken;

    for (const auto& words : std::vector<std::vector<std::string>>{{"show"}, {"plug", "PX210"}, {"set", "os", "98"}}) {
        std::vector<std::string> command = {"--machine", dir};
        command.insert(command.end(), words.begin(), words.end());
        auto outcome = Run(command);
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.err.rfind("yolt-machine: " + file.string() + ":4: not valid JSON", 0), 0u) << outcome.err;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    }
    EXPECT_EQ(ReadFile(file), broken);

    auto existing = Run({"create", dir});
    EXPECT_EQ(existing.exitCode, 1);
    EXPECT_NE(existing.err.find("a machine exists here already"), std::string::npos);
    EXPECT_EQ(Run({"show"}, "YOLT_MACHINE=" + Quote(dir + "/none")).exitCode, 1);
}

TEST_F(YoltMachineTool, HelpForEveryCommand)
{
    for (const char* command : {"create", "show", "plug", "unplug", "set"}) {
        SCOPED_TRACE(command);
        auto outcome = Run({command, "--help"});
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_EQ(outcome.out.rfind(std::string("Usage: yolt-machine [--machine DIR] ") + command, 0), 0u) << outcome.out;
    }
    auto general = Run({"--help"});
    EXPECT_EQ(general.exitCode, 0);
    EXPECT_NE(general.out.find("PX210"), std::string::npos);
}

TEST_F(YoltMachineTool, ARunningProgramSeesPlugAndUnplugAtItsNextCall)
{
    Machine& running = CurrentMachine();  // the scratch machine, named by YOLT_MACHINE for the tool
    ASSERT_FALSE(running.FindDrive('E'));
    ASSERT_EQ(Run({"plug", "PX260"}).exitCode, 0);
    ASSERT_TRUE(running.FindDrive('E'));
    EXPECT_EQ(running.StorageIdentityOf('E')->product, "PX260           ");
    ASSERT_EQ(Run({"unplug", "E"}).exitCode, 0);
    EXPECT_FALSE(running.FindDrive('E'));
    EXPECT_TRUE(running.UsbDevices().empty());
}
