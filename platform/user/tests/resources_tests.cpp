#include <gtest/gtest.h>

#include "platform/display/session.h"
#include "platform/kernel/modules.h"
#include "platform/kernel/paths.h"
#include "platform/user/user.h"

using yolt::display::Session;

namespace {

INT_PTR EndOnClick(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

// The utility's own resources, loaded from a module that carries them.
TEST(ModuleResources, BitmapsCursorsIconsAndDialogTemplates)
{
    Session session;
    HMODULE module = LoadLibraryW(yolt::WindowsPathFromHost(UTILITY_RESOURCE_MODULE).c_str());
    ASSERT_NE(module, nullptr);

    HBITMAP face = static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(134), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(face, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 496);
    EXPECT_EQ(bm.bmHeight, 378);
    DeleteObject(face);
    EXPECT_EQ(LoadBitmapA(module, MAKEINTRESOURCEA(999)), nullptr);

    HCURSOR hand = LoadCursorA(module, MAKEINTRESOURCEA(137));
    SIZE size{};
    POINT hot{};
    ASSERT_TRUE(yolt::user::IconInfo(hand, &size, &hot));
    EXPECT_EQ(size.cx, 32);
    EXPECT_EQ(hot.x, 5);
    EXPECT_EQ(hot.y, 0);
    EXPECT_NE(LoadIconA(module, MAKEINTRESOURCEA(128)), nullptr);

    // The About box: an icon static, two texts and a default OK button that Enter presses.
    static std::vector<yolt::display::ChildInfo> about;
    session.Then([] { about = Session::Children(GetActiveWindow()); }).Key(VK_RETURN);
    EXPECT_EQ(DialogBoxParamA(module, MAKEINTRESOURCEA(100), nullptr, EndOnClick, 0), IDOK);
    ASSERT_EQ(about.size(), 4u);
    EXPECT_EQ(about[0].className, "Static");
    EXPECT_EQ(about[0].style & SS_TYPEMASK, DWORD(SS_ICON));
    EXPECT_EQ(about[3].className, "Button");
    EXPECT_EQ(about[3].id, IDOK);

    // The main window's template: a captionless popup.
    static DWORD style;
    session.Then([] { style = DWORD(GetWindowLongA(GetActiveWindow(), GWL_STYLE)); }).Key(VK_ESCAPE);
    EXPECT_EQ(DialogBoxParamA(module, MAKEINTRESOURCEA(102), nullptr, EndOnClick, 0), IDCANCEL);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_CAPTION);
    FreeLibrary(module);
}
