#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/display/session.h"
#include "platform/user/user.h"

using yolt::display::Session;
using yolt::user::DialogItemTemplate;
using yolt::user::DialogTemplate;

namespace {

DialogTemplate SmallDialog(int defaultId = IDOK)
{
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE;
    t.cx = 160;
    t.cy = 60;
    t.caption = u"Dialog";
    t.fontName = u"MS Sans Serif";
    t.pointSize = 8;
    t.items.push_back({u"Edit", u"", 100, WS_TABSTOP | WS_BORDER | WS_VISIBLE, 0, 10, 10, 80, 12});
    t.items.push_back({u"Button", u"OK", defaultId, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, 100, 10, 50, 14});
    t.items.push_back({u"Button", u"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, 100, 30, 50, 14});
    return t;
}

INT_PTR EndOnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

std::vector<std::string> g_events;

std::string ClassOf(HWND h)
{
    char name[64] = "?";
    GetClassNameA(h, name, sizeof name);
    return name;
}

LRESULT Recorder(int code, WPARAM wParam, LPARAM lParam)
{
    switch (code) {
    case HCBT_CREATEWND: {
        auto* cbt = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        g_events.push_back(std::string("create ") + cbt->lpcs->lpszClass);
        break;
    }
    case HCBT_ACTIVATE: g_events.push_back("activate " + ClassOf(reinterpret_cast<HWND>(wParam))); break;
    case HCBT_SETFOCUS: g_events.push_back("focus " + (wParam ? ClassOf(reinterpret_cast<HWND>(wParam)) : "none")); break;
    case HCBT_DESTROYWND: g_events.push_back("destroy " + ClassOf(reinterpret_cast<HWND>(wParam))); break;
    case HCBT_KEYSKIPPED: g_events.push_back("key " + std::to_string(wParam)); break;
    }
    return 0;
}

}  // namespace

TEST(Hooks, CbtOrderForADialogsCreationActivationAndDestruction)
{
    Session session;
    g_events.clear();
    HHOOK hook = SetWindowsHookExA(WH_CBT, Recorder, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    session.Key(VK_ESCAPE);
    EXPECT_EQ(yolt::user::DialogBoxFromTemplate(nullptr, SmallDialog(), nullptr, EndOnCommand, 0), IDCANCEL);
    EXPECT_TRUE(UnhookWindowsHookEx(hook));
    EXPECT_EQ(g_events, (std::vector<std::string>{"create #32770", "create Edit", "create Button", "create Button",
                            "activate #32770", "focus Edit", "key 27", "focus none", "destroy #32770"}));
    EXPECT_FALSE(UnhookWindowsHookEx(hook));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HOOK_HANDLE));
}

TEST(Hooks, ChainCallsNewestFirstAndAHookMayRemoveItself)
{
    Session session;
    static std::vector<int> calls;
    static HHOOK first, second;
    calls.clear();
    first = SetWindowsHookExA(WH_CBT, [](int c, WPARAM w, LPARAM l) -> LRESULT {
        calls.push_back(1);
        return CallNextHookEx(first, c, w, l);
    }, nullptr, 0 + GetCurrentThreadId());
    second = SetWindowsHookExA(WH_CBT, [](int c, WPARAM w, LPARAM l) -> LRESULT {
        calls.push_back(2);
        if (c == HCBT_DESTROYWND)
            UnhookWindowsHookEx(second);
        return CallNextHookEx(second, c, w, l);
    }, nullptr, GetCurrentThreadId());
    HWND w = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(w);
    HWND again = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(calls, (std::vector<int>{2, 1, 2, 1, 1}));
    DestroyWindow(again);
    UnhookWindowsHookEx(first);
    EXPECT_EQ(SetWindowsHookExA(WH_CBT, Recorder, nullptr, GetCurrentThreadId() + 1), nullptr);
}

TEST(DialogManager, EnterAndEscapeEndTheDialog)
{
    struct Case {
        UINT key;
        int defaultId;
        INT_PTR expected;
    } cases[] = {{VK_RETURN, IDOK, IDOK}, {VK_ESCAPE, IDOK, IDCANCEL}, {VK_RETURN, 42, 42}};
    for (const Case& c : cases) {
        Session session;
        session.Key(c.key);
        EXPECT_EQ(yolt::user::DialogBoxFromTemplate(nullptr, SmallDialog(c.defaultId), nullptr, EndOnCommand, 0),
            c.expected)
            << c.key;
    }
}

TEST(DialogManager, TemplatesByNumberUseDialogUnitsOfTheirFont)
{
    Session session;
    HINSTANCE module = reinterpret_cast<HINSTANCE>(0x1000);
    yolt::user::RegisterDialogTemplate(module, 102, SmallDialog());
    static RECT client, mapped;
    session.Then([] {
        HWND dialog = GetActiveWindow();
        GetClientRect(dialog, &client);
        mapped = {0, 0, 160, 60};
        MapDialogRect(dialog, &mapped);
        EndDialog(dialog, 7);
    });
    EXPECT_EQ(DialogBoxParamA(module, MAKEINTRESOURCEA(102), nullptr, EndOnCommand, 0), 7);
    EXPECT_EQ(client.right, mapped.right);
    EXPECT_EQ(client.bottom, mapped.bottom);
    EXPECT_GT(client.right, 160) << "a dialog unit is wider than a pixel at 8 points";
    EXPECT_EQ(DialogBoxParamA(module, MAKEINTRESOURCEA(999), nullptr, EndOnCommand, 0), -1);
}

TEST(DialogManager, EndDialogInInitDialogNeverShowsTheWindow)
{
    Session session;
    static bool shown;
    shown = false;
    auto proc = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            EndDialog(dialog, IDOK);
            return FALSE;
        }
        if (message == WM_SHOWWINDOW)
            shown = true;
        return FALSE;
    };
    EXPECT_EQ(yolt::user::DialogBoxFromTemplate(nullptr, SmallDialog(), nullptr, proc, 0), IDOK);
    EXPECT_FALSE(shown);
}
