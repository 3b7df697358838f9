#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/display/session.h"
#include "platform/gdi/surface.h"
#include "platform/user/user.h"

using yolt::display::Session;

namespace {

struct Counts {
    int timer = 0;
    int close = 0;
};
Counts g_counts;

LRESULT CountingProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_TIMER)
        ++g_counts.timer;
    if (m == WM_CLOSE)
        ++g_counts.close;
    // A press anywhere drags the window, as a skinned window does.
    if (m == WM_LBUTTONDOWN) {
        PostMessageW(h, WM_NCLBUTTONDOWN, HTCAPTION, l);
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}

HWND MakeWindow(DWORD style = WS_POPUP | WS_VISIBLE, RECT r = {100, 100, 300, 200})
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = CountingProc;
    wc.lpszClassName = u"TestWindow";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    g_counts = {};
    return CreateWindowExW(0, u"TestWindow", u"Test", style, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr,
        nullptr, nullptr, nullptr);
}

}  // namespace

TEST(ModalLoops, MessageBoxKeepsTheTimerTicking)
{
    Session session;
    HWND main = MakeWindow();
    ASSERT_EQ(SetTimer(main, 1, 2000, nullptr), 1u);
    session.Wait(5000).ExpectBox(u"Working...").Answer(IDOK);
    int answer = MessageBoxW(main, u"Working...", u"YOLT Utility", MB_OKCANCEL | MB_ICONINFORMATION);
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(g_counts.timer, 2) << "ticks at 2000 and 4000 ms while the box was up";
    EXPECT_TRUE(session.Failures().empty()) << session.Failures().front();
    EXPECT_TRUE(IsWindowEnabled(main)) << "the owner is enabled again";
    ASSERT_EQ(session.Boxes().size(), 1u);
    EXPECT_EQ(session.Boxes()[0].owner, main);
    EXPECT_EQ(session.Boxes()[0].caption, u"YOLT Utility");
}

TEST(ModalLoops, EscapeAnswersCancelOrOkAndIsIgnoredByYesNo)
{
    struct Case {
        UINT type;
        int expected;
    } cases[] = {{MB_OKCANCEL, IDCANCEL}, {MB_OK, IDOK}, {MB_YESNOCANCEL, IDCANCEL}};
    for (const Case& c : cases) {
        Session session;
        session.Key(VK_ESCAPE);
        EXPECT_EQ(MessageBoxA(nullptr, "Question", nullptr, c.type), c.expected) << c.type;
    }
    Session session;
    // Escape does nothing on a Yes/No box; the end of the steps then answers No.
    session.Key(VK_ESCAPE).Then([] { EXPECT_TRUE(yolt::user::OpenMessageBox().has_value()); });
    EXPECT_EQ(MessageBoxA(nullptr, "Sure?", "T", MB_YESNO), IDNO);
    EXPECT_EQ(session.Boxes()[0].caption, u"T");
}

TEST(ModalLoops, WrongExpectationIsReportedWithWhatWasFound)
{
    Session session;
    session.ExpectBox(u"Other").Answer(IDOK);
    MessageBoxA(nullptr, "Actual\ntext", "C", MB_OK);
    ASSERT_EQ(session.Failures().size(), 1u);
    EXPECT_NE(session.Failures()[0].find("says \"Actual\\ntext\""), std::string::npos) << session.Failures()[0];
}

TEST(MoveLoop, WindowFollowsThePointerUntilRelease)
{
    Session session;
    HWND main = MakeWindow();
    session.Press(10, 10).Move(60, 30).Move(110, 50).Release(110, 50).Move(300, 300);
    session.Run();
    RECT r;
    GetWindowRect(main, &r);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 140);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(GetCapture(), nullptr);

    // A click (the button is up again before the move begins) moves nothing.
    session.Click(5, 5).Run();
    GetWindowRect(main, &r);
    EXPECT_EQ(r.left, 200);
}

TEST(SystemMenu, AltSpaceOpensItAndCloseEndsTheWindow)
{
    Session session;
    HWND main = MakeWindow();
    static std::vector<WPARAM> commands;
    commands.clear();
    HHOOK hook = SetWindowsHookExA(
        WH_CBT,
        [](int code, WPARAM w, LPARAM l) -> LRESULT {
            if (code == HCBT_SYSCOMMAND)
                commands.push_back(w);
            return 0;
        },
        nullptr, GetCurrentThreadId());
    AppendMenuA(GetSystemMenu(main, FALSE), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(GetSystemMenu(main, FALSE), MF_STRING, 16, "&About YOLT Utility...");
    session.Key(VK_SPACE, true)
        .Then([] {
            auto menu = yolt::user::OpenMenu();
            ASSERT_TRUE(menu.has_value());
            EXPECT_EQ(menu->items.back(), u"About YOLT Utility...");
        })
        .ChooseMenu(u"Close");
    session.Run();
    EXPECT_EQ(g_counts.close, 1);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(commands, (std::vector<WPARAM>{SC_KEYMENU, SC_CLOSE}));
    UnhookWindowsHookEx(hook);
}

TEST(Windows, GeometryTextStylesAndBadHandles)
{
    Session session;
    HWND w = MakeWindow(WS_POPUP | WS_CAPTION | WS_VISIBLE, {50, 60, 250, 160});
    char cls[64];
    EXPECT_EQ(GetClassNameA(w, cls, sizeof cls), 10);
    EXPECT_STREQ(cls, "TestWindow");
    EXPECT_EQ(DWORD(GetWindowLongA(w, GWL_STYLE)) & WS_CAPTION, DWORD(WS_CAPTION));

    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 200 - 6);
    EXPECT_EQ(client.bottom, 100 - 6 - 18);
    POINT p{0, 0};
    ClientToScreen(w, &p);
    EXPECT_EQ(p.x, 53);
    EXPECT_EQ(p.y, 81);

    SetWindowTextA(w, "Caf\xE9");
    WCHAR wide[16];
    GetWindowTextW(w, wide, 16);
    EXPECT_EQ(std::u16string(wide), u"Caf\u00E9") << "narrow text is in the ANSI code page";
    char small[3];
    EXPECT_EQ(GetWindowTextA(w, small, 3), 2);
    EXPECT_STREQ(small, "Ca");

    SetWindowPos(w, HWND_TOP, 0, 0, 300, 120, SWP_NOMOVE | SWP_NOOWNERZORDER);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.right - r.left, 300);
    ShowWindow(w, SW_SHOWMINIMIZED);
    EXPECT_TRUE(IsIconic(w));

    SetLastError(0);
    HWND bad = reinterpret_cast<HWND>(0x999);
    EXPECT_FALSE(GetWindowRect(bad, &r));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
}

namespace {
HBITMAP g_picture;

LRESULT PictureProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m != WM_PAINT)
        return DefWindowProcW(h, m, w, l);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, g_picture);
    BitBlt(dc, 10, 10, 40, 30, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    SetTextColor(dc, RGB(64, 64, 64));
    int mode = SetBkMode(dc, TRANSPARENT);
    RECT text{60, 40, 190, 60};
    DrawTextA(dc, "v.1, 0, 1, 4", -1, &text, DT_RIGHT);
    SetBkMode(dc, mode);
    EndPaint(h, &ps);
    return 0;
}
}  // namespace

TEST(Snapshot, PngHoldsTheBlittedBitmapAndTheText)
{
    Session session;
    std::vector<uint32_t> orange(40 * 30, 0xFF8000);
    g_picture = CreateBitmap(40, 30, 1, 32, orange.data());
    WNDCLASSW wc{};
    wc.lpfnWndProc = PictureProc;
    wc.lpszClassName = u"Picture";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, u"Picture", u"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 70, nullptr, nullptr, nullptr, nullptr);
    auto dir = std::filesystem::temp_directory_path() / ("ui_snapshot_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    session.Snapshot(dir / "window.png").Run();
    ASSERT_TRUE(session.Failures().empty()) << session.Failures()[0];
    yolt::gdi::Surface png;
    ASSERT_TRUE(yolt::gdi::LoadPng(dir / "window.png", png));
    EXPECT_EQ(png.width, 200);
    EXPECT_EQ(png.height, 70);
    EXPECT_EQ(png.At(10, 10), 0xFF8000u);
    EXPECT_EQ(png.At(49, 39), 0xFF8000u);
    EXPECT_EQ(png.At(50, 40), 0xFFFFFFu) << "outside the blit the class background shows";
    EXPECT_EQ(png.At(9, 9), 0xFFFFFFu);
    int ink = 0, rightmost = 0;
    for (int y = 40; y < 60; ++y)
        for (int x = 60; x < 200; ++x)
            if (png.At(x, y) != 0xFFFFFFu) {
                ++ink;
                rightmost = std::max(rightmost, x);
            }
    EXPECT_GT(ink, 40);
    EXPECT_GE(rightmost, 184) << "right-aligned against 190";
    EXPECT_LT(rightmost, 190);
    DestroyWindow(w);
    DeleteObject(g_picture);
    if (!::testing::Test::HasFailure())
        std::filesystem::remove_all(dir);
}
