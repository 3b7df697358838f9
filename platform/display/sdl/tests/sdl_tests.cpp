// The SDL2 presentation, run in real processes: the demo program without a display, and under a
// virtual X display driven from outside with xdotool and photographed with screen_shot.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/gdi/surface.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kButtonFace = 0xD4D0C8;

struct Outcome {
    int exitCode = -1;
    std::string out;
};

Outcome RunShell(const std::string& command)
{
    Outcome outcome;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return outcome;
    std::array<char, 512> buffer;
    while (std::fgets(buffer.data(), int(buffer.size()), pipe))
        outcome.out += buffer.data();
    const int status = ::pclose(pipe);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

bool HaveProgram(const std::string& name)
{
    return RunShell("command -v " + name + " >/dev/null 2>&1").exitCode == 0;
}

std::string Bin(const std::string& program)
{
    return std::string(std::getenv("YOLT_BIN")) + "/" + program;
}

// A temporary folder with a machine on the real clock, removed unless the test failed.
class DemoFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("sdl_demo_" + std::to_string(::getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "machine");
        std::ofstream(m_dir / "machine" / "machine.json") << "{ \"clock\": \"real\" }\n";
    }
    void TearDown() override
    {
        if (HasFailure())
            std::printf("kept for inspection: %s\n", m_dir.c_str());
        else
            fs::remove_all(m_dir);
    }
    std::string MachineVariable() const { return "YOLT_MACHINE='" + (m_dir / "machine").string() + "'"; }

    fs::path m_dir;
};

std::map<std::string, int> ReadGeometry(const fs::path& file)
{
    // xdotool getwindowgeometry --shell: WINDOW=…, X=…, Y=…, WIDTH=…, HEIGHT=…
    std::map<std::string, int> values;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line))
        if (auto eq = line.find('='); eq != std::string::npos)
            values[line.substr(0, eq)] = std::atoi(line.c_str() + eq + 1);
    return values;
}

}  // namespace

using SdlWithoutDisplay = DemoFolder;

TEST_F(SdlWithoutDisplay, SaysSoInOneLineAndExitsWithCode5)
{
    struct Case {
        const char* name;
        const char* environment;
        const char* expected;
    };
    const Case cases[] = {
        {"no display at all", "", "no display found; set YOLT_DISPLAY=headless"},
        {"sdl chosen by name", "YOLT_DISPLAY=sdl", "no display found; set YOLT_DISPLAY=headless"},
        {"SDL's dummy driver", "SDL_VIDEODRIVER=dummy", "no display found; set YOLT_DISPLAY=headless"},
        {"SDL's offscreen driver", "SDL_VIDEODRIVER=offscreen", "no display found; set YOLT_DISPLAY=headless"},
        {"an unknown presentation", "YOLT_DISPLAY=vga", "YOLT_DISPLAY=vga is not known"},
    };
    for (const Case& c : cases) {
        Outcome o = RunShell("env -u DISPLAY -u WAYLAND_DISPLAY -u YOLT_DISPLAY " + MachineVariable() + " " +
            c.environment + " '" + Bin("framework_demo") + "' 2>&1");
        EXPECT_EQ(o.exitCode, 5) << c.name << ": " << o.out;
        EXPECT_NE(o.out.find(c.expected), std::string::npos) << c.name << ": " << o.out;
        EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 1) << c.name << ": " << o.out;
    }
    Outcome o = RunShell("env -u DISPLAY -u WAYLAND_DISPLAY -u YOLT_DISPLAY '" + Bin("framework_demo") + "' 2>&1");
    EXPECT_NE(o.out.find("or run under a virtual display with xvfb-run"), std::string::npos) << o.out;
}

using SdlUnderXvfb = DemoFolder;

// The demo's window is shown, photographed, clicked (its message box opens and is answered
// with Enter), its system menu is opened with Alt+Space and closed with Escape, and Escape
// ends it: every step is driven from outside through the X server, as a user would.
TEST_F(SdlUnderXvfb, ShowsWindowsAndTakesPointerAndKeys)
{
    if (!HaveProgram("xvfb-run") || !HaveProgram("xdotool"))
        GTEST_SKIP() << "xvfb-run or xdotool is not installed";
    const fs::path script = m_dir / "session.sh";
    std::ofstream(script) << R"(#!/bin/sh
out="$1"; demo="$2"; shot="$3"
fail() { echo "step failed: $1"; kill $pid 2>/dev/null; exit 1; }
# Waits (up to ten seconds) until COMMAND succeeds.
until_true() { n=0; until sh -c "$1" >/dev/null 2>&1; do n=$((n+1)); [ $n -gt 200 ] && return 1; sleep 0.05; done; }
count() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l; }

"$demo" > "$out/stdout.txt" 2> "$out/stderr.txt" &
pid=$!
until_true "[ \$(xdotool search --onlyvisible --name '^Demo\$' | wc -l) -ge 1 ]" || fail "the window shows"
main=$(xdotool search --onlyvisible --name '^Demo$' | head -1)
xdotool getwindowgeometry --shell "$main" > "$out/main.txt"
. "$out/main.txt"
"$shot" "$out/shown.png" "$((X+20)),$((Y+20))=d4d0c8" || fail "the window's face is drawn"

xdotool mousemove $((X+10)) $((Y+10)) click 1
until_true "[ \$(xdotool search --onlyvisible --name '^Demo\$' | wc -l) -ge 2 ]" || fail "a click opens the message box"
box=$(xdotool search --onlyvisible --name '^Demo$' | grep -v "^$main\$" | head -1)
xdotool getwindowgeometry --shell "$box" > "$out/box.txt"
. "$out/box.txt"
"$shot" "$out/box.png" "$((X+4)),$((Y+4))=d4d0c8" || fail "the message box is drawn"
xdotool key Return
until_true "[ \$(xdotool search --onlyvisible --name '^Demo\$' | wc -l) -eq 1 ]" || fail "Enter answers the message box"

xdotool key alt+space
until_true "[ \$(xdotool search --onlyvisible --name '^Menu\$' | wc -l) -eq 1 ]" || fail "Alt+Space opens the system menu"
menu=$(xdotool search --onlyvisible --name '^Menu$' | head -1)
xdotool getwindowgeometry --shell "$menu" > "$out/menu.txt"
. "$out/menu.txt"
"$shot" "$out/menu.png" "$((X+1)),$((Y+1))=d4d0c8" || fail "the system menu is drawn"
xdotool key Escape
until_true "[ \$(xdotool search --onlyvisible --name '^Menu\$' | wc -l) -eq 0 ]" || fail "Escape closes the menu"

xdotool key Escape
n=0
while kill -0 $pid 2>/dev/null; do n=$((n+1)); [ $n -gt 200 ] && fail "Escape ends the demo"; sleep 0.05; done
wait $pid
echo "demo-exit $?"
)";
    // The desktop libraries (X11, D-Bus) keep allocations until the process ends; leaks are
    // checked by the headless runs instead.
    Outcome o = RunShell("cd '" + m_dir.string() + "' && " + MachineVariable() +
        " ASAN_OPTIONS=detect_leaks=0 env -u YOLT_DISPLAY xvfb-run -a -s '-screen 0 1024x768x24 -br' sh '" + script.string() + "' '" +
        m_dir.string() + "' '" + Bin("framework_demo") + "' '" + Bin("screen_shot") + "' 2>&1");
    ASSERT_EQ(o.exitCode, 0) << o.out;
    EXPECT_NE(o.out.find("demo-exit 0"), std::string::npos) << o.out;
    std::stringstream printed;
    printed << std::ifstream(m_dir / "stdout.txt").rdbuf();
    EXPECT_EQ(printed.str().rfind("dialog-result 2 ticks=", 0), 0u) << printed.str();

    yolt::gdi::Surface shown;
    ASSERT_TRUE(yolt::gdi::LoadPng(m_dir / "shown.png", shown));
    EXPECT_EQ(shown.width, 1024);
    EXPECT_EQ(shown.height, 768);
    auto main = ReadGeometry(m_dir / "main.txt");
    const int x = main["X"], y = main["Y"], w = main["WIDTH"], h = main["HEIGHT"];
    ASSERT_GT(w, 40);
    ASSERT_GT(h, 40);
    // The borderless window shows its face to its very corners, and nothing around it.
    EXPECT_EQ(shown.At(x, y), kButtonFace);
    EXPECT_EQ(shown.At(x + w - 1, y + h - 1), kButtonFace);
    EXPECT_EQ(shown.At(x + w / 2, y + h / 2), kButtonFace);
    EXPECT_EQ(shown.At(x + w + 5 < 1024 ? x + w + 5 : x - 5, y + h / 2), 0u);

    yolt::gdi::Surface box;
    ASSERT_TRUE(yolt::gdi::LoadPng(m_dir / "box.png", box));
    auto boxPlace = ReadGeometry(m_dir / "box.txt");
    EXPECT_EQ(box.At(boxPlace["X"] + 4, boxPlace["Y"] + 4), kButtonFace);
}
