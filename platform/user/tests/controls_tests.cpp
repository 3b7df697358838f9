#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/display/session.h"
#include "platform/user/user.h"

using yolt::display::Session;

namespace {

std::vector<std::pair<int, int>> g_commands;  // (id, code)

LRESULT ParentProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_COMMAND)
        g_commands.push_back({LOWORD(w), HIWORD(w)});
    return DefWindowProcW(h, m, w, l);
}

HWND Parent()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = ParentProc;
    wc.lpszClassName = u"ControlParent";
    RegisterClassW(&wc);
    g_commands.clear();
    return CreateWindowExW(0, u"ControlParent", u"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr,
        nullptr);
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int id, int y = 0)
{
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, y, 100, 20, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

}  // namespace

TEST(ComboBox, ListMessagesAnswerAsTheDialogDriverExpects)
{
    Session session;
    HWND combo = Child(Parent(), "ComboBox", "", CBS_DROPDOWNLIST, 5);
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    for (const char* fs : {"FAT", "FAT32", "NTFS"})
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fs));
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
    struct Case {
        WPARAM start;
        const char* text;
        LRESULT expected;
    } cases[] = {{0, "FAT32", 1}, {0, "fat", 0}, {WPARAM(-1), "NTFS", 2}, {0, "FAT1", CB_ERR}, {2, "FAT", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(SendMessageA(combo, CB_FINDSTRINGEXACT, c.start, reinterpret_cast<LPARAM>(c.text)), c.expected)
            << c.text << " after " << LONG(c.start);
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
    char text[16];
    EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text)), 4);
    EXPECT_STREQ(text, "NTFS");
    GetWindowTextA(combo, text, sizeof text);
    EXPECT_STREQ(text, "FAT32");
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 7, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(text)), CB_ERR);
}

TEST(Button, ClicksCheckAndNotifyByType)
{
    Session session;
    HWND parent = Parent();
    struct Case {
        DWORD type;
        LRESULT checkAfterClick;
        bool checkLike;  // style AND 6 is not 0
    } cases[] = {{BS_PUSHBUTTON, BST_UNCHECKED, false}, {BS_DEFPUSHBUTTON, BST_UNCHECKED, false},
        {BS_CHECKBOX, BST_UNCHECKED, true}, {BS_AUTOCHECKBOX, BST_CHECKED, true},
        {BS_RADIOBUTTON, BST_UNCHECKED, true}, {BS_AUTORADIOBUTTON, BST_CHECKED, false},
        {BS_GROUPBOX, BST_UNCHECKED, true}, {BS_AUTO3STATE, BST_CHECKED, true}};
    int id = 10;
    for (const Case& c : cases) {
        HWND b = Child(parent, "Button", "Quick Format", c.type | WS_GROUP, ++id);
        g_commands.clear();
        SendMessageA(b, BM_CLICK, 0, 0);
        EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), c.checkAfterClick) << c.type;
        EXPECT_EQ((GetWindowLongA(b, GWL_STYLE) & 6) != 0, c.checkLike) << c.type;
        EXPECT_EQ(g_commands, (std::vector<std::pair<int, int>>{{id, BN_CLICKED}}));
    }
}

TEST(Button, AutoRadioButtonsOfAGroupExcludeEachOther)
{
    Session session;
    HWND parent = Parent();
    HWND a = Child(parent, "Button", "A", BS_AUTORADIOBUTTON | WS_GROUP, 1, 0);
    HWND b = Child(parent, "Button", "B", BS_AUTORADIOBUTTON, 2, 30);
    HWND other = Child(parent, "Button", "C", BS_AUTORADIOBUTTON | WS_GROUP, 3, 60);
    SendMessageA(other, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(a, BM_CLICK, 0, 0);
    SendMessageA(b, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(other, BM_GETCHECK, 0, 0), BST_CHECKED) << "another group is left alone";
}

TEST(Button, MouseClickOnAnEnabledButtonOnly)
{
    Session session;
    HWND parent = Parent();
    HWND b = Child(parent, "Button", "Start", BS_PUSHBUTTON | WS_TABSTOP, 9, 50);
    session.Presentation().SetMainWindow(parent);
    session.Click(20, 55).Run();
    EXPECT_EQ(g_commands, (std::vector<std::pair<int, int>>{{9, BN_CLICKED}}));
    EXPECT_FALSE(EnableWindow(b, FALSE));
    EXPECT_FALSE(IsWindowEnabled(b));
    g_commands.clear();
    session.Click(20, 55).Run();
    EXPECT_TRUE(g_commands.empty());
    EXPECT_TRUE(EnableWindow(b, TRUE)) << "it was disabled";
}

TEST(Edit, LimitHoldsTypingButNotProgramText)
{
    Session session;
    HWND parent = Parent();
    HWND edit = Child(parent, "Edit", "", WS_BORDER | WS_TABSTOP, 4);
    SendMessageA(edit, EM_LIMITTEXT, 3, 0);
    SetFocus(edit);
    for (UINT key : {'A', 'B', 'C', 'D'})
        session.Key(key);
    session.Run();
    char text[32];
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "abc");
    EXPECT_EQ(std::count(g_commands.begin(), g_commands.end(), std::make_pair(4, int(EN_CHANGE))), 3);
    EXPECT_TRUE(SetWindowTextA(edit, "YOLT PX210"));
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "YOLT PX210");
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 3);
}

TEST(Enumeration, MessageBoxChildrenInCreationOrderWithClassNames)
{
    Session session;
    static std::vector<yolt::display::ChildInfo> children;
    session.Then([] { children = Session::Children(yolt::user::OpenMessageBox()->box); }).Answer(IDOK);
    MessageBoxA(nullptr, "Text", "Caption", MB_OKCANCEL | MB_ICONWARNING);
    ASSERT_EQ(children.size(), 4u);
    EXPECT_EQ(children[0].className, "Static");
    EXPECT_EQ(children[1].className, "Static");
    EXPECT_EQ(children[1].text, u"Text");
    EXPECT_EQ(children[2].className, "Button");
    EXPECT_EQ(children[2].id, IDOK);
    EXPECT_EQ(children[2].style & BS_TYPEMASK, DWORD(BS_DEFPUSHBUTTON));
    EXPECT_EQ(children[3].text, u"Cancel");
}
