#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/gdi/surface.h"
#include "tests/e2e/run.h"

// The utility in a real window: under a virtual X display through the SDL2 presentation, with a
// player attached, photographed, then closed with a click on its close button.
TEST(UtilityWindow, ShowsThePlayerAndClosesFromItsButton)
{
    if (std::system("command -v xvfb-run >/dev/null && command -v xdotool >/dev/null") != 0)
        GTEST_SKIP() << "xvfb-run or xdotool is not installed";
    e2e::Machine machine("xp");
    machine.Register();
    machine.Run("yolt-machine", "set clock real");
    machine.Run("yolt-machine", "plug PX210 E");
    const std::filesystem::path out = machine.Folder() / "session";
    std::filesystem::create_directories(out);
    std::ofstream(out / "session.sh") << R"SH(#!/bin/sh
out="$1"; utility="$2"; shot="$3"
"$utility" > "$out/stdout.txt" 2>&1 &
pid=$!
n=0
until [ "$(xdotool search --onlyvisible --name 'YOLT' 2>/dev/null | wc -l)" -ge 1 ]; do
  n=$((n+1)); [ $n -gt 200 ] && { echo "no window"; kill $pid; exit 1; }; sleep 0.05
done
sleep 3
window=$(xdotool search --onlyvisible --name 'YOLT' | head -1)
xdotool getwindowgeometry --shell "$window" > "$out/geometry.txt"
. "$out/geometry.txt"
"$shot" "$out/shown.png"
xdotool mousemove $((X+465)) $((Y+27)) click 1
n=0
while kill -0 $pid 2>/dev/null; do n=$((n+1)); [ $n -gt 200 ] && { echo "still running"; kill $pid; exit 1; }; sleep 0.05; done
wait $pid
echo "utility-exit $?"
)SH";
    // The desktop libraries (X11, D-Bus) keep allocations until the process ends; leaks are
    // checked by the headless runs instead.
    std::string command = "YOLT_MACHINE='" + machine.Folder().string() + "' ASAN_OPTIONS=detect_leaks=0 env -u YOLT_DISPLAY xvfb-run -a -s " +
        "'-screen 0 1024x768x24 -br' sh '" + (out / "session.sh").string() + "' '" + out.string() + "' '" +
        (e2e::Bin() / "YoltUtility").string() + "' '" + (e2e::Bin() / "screen_shot").string() + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string printed;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe))
        printed += buffer;
    pclose(pipe);
    ASSERT_NE(printed.find("utility-exit 0"), std::string::npos) << printed;

    std::map<std::string, int> geometry;
    std::ifstream in(out / "geometry.txt");
    for (std::string line; std::getline(in, line);)
        if (auto eq = line.find('='); eq != std::string::npos)
            geometry[line.substr(0, eq)] = std::atoi(line.c_str() + eq + 1);
    EXPECT_EQ(geometry["WIDTH"], 496);
    EXPECT_EQ(geometry["HEIGHT"], 378);

    yolt::gdi::Surface shown;
    ASSERT_TRUE(yolt::gdi::LoadPng(out / "shown.png", shown));
    EXPECT_EQ(shown.width, 1024);
    EXPECT_EQ(shown.height, 768);
    const int x = geometry["X"], y = geometry["Y"];
    // The metal face is light grey; the LED band is dark with orange letters.
    EXPECT_GT(shown.At(x + 250, y + 180) & 0xFF, 0x80u);
    EXPECT_LT(shown.At(x + 100, y + 85) & 0xFF, 0x40u);
    unsigned orange = 0;
    for (int dx = 150; dx < 350; ++dx)
        for (int dy = 85; dy < 130; ++dy) {
            uint32_t p = shown.At(x + dx, y + dy);
            orange += ((p >> 16) & 0xFF) > 0xC0 && ((p >> 8) & 0xFF) > 0x60 && (p & 0xFF) < 0x60;
        }
    EXPECT_GT(orange, 100u) << "the display spells the model in orange";
}
