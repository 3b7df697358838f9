// The main window in-process on a temporary machine with the component registered: the start
// without a player, pressed images, the drag strip, the pointer shapes, minimising and the
// release outside every button.
#include <gtest/gtest.h>

#include <memory>

#include "platform/com/com_runtime.h"
#include "platform/display/session.h"
#include "platform/kernel/modules.h"
#include "platform/machine/testing/temp_machine.h"
#include "platform/user/cursor.h"
#include "platform/user/session.h"
#include "utility/main_dialog.h"
#include "utility/res/resource.h"
#include "utility/tests/utility_test_support.h"

using yolt::display::Session;

namespace {

class TestMainDialog : public MainDialog {
public:
    using MainDialog::m_hArrowCursor;
    using MainDialog::m_hHandCursor;
};

// A copy of the window's pixels now, after pending painting.
yolt::gdi::Surface Pixels(HWND window)
{
    auto live = yolt::user::WindowPixels(window);
    return live ? *live : yolt::gdi::Surface();
}

// The pixel of a bitmap resource of the program.
uint32_t ResourcePixel(UINT id, int x, int y)
{
    HBITMAP bitmap = LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id));
    auto surface = yolt::gdi::BitmapSurface(bitmap);
    uint32_t pixel = surface ? surface->At(x, y) : 0xDEADBEEF;
    DeleteObject(bitmap);
    return pixel;
}

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        machine = std::make_unique<yolt::machine::TempMachine>("xp");
        session = std::make_unique<Session>(machine->Shared());
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        module = LoadLibraryW(utilitytest::ComponentPath().c_str());
        ASSERT_NE(module, nullptr);
        auto registerServer = reinterpret_cast<HRESULT (*)()>(reinterpret_cast<void (*)()>(GetProcAddress(module, "DllRegisterServer")));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), S_OK);
    }
    void TearDown() override
    {
        session.reset();
        if (module)
            FreeLibrary(module);
        OleUninitialize();
        machine.reset();
    }

    std::unique_ptr<yolt::machine::TempMachine> machine;
    std::unique_ptr<Session> session;
    HMODULE module = nullptr;
};

}  // namespace

TEST_F(MainDialogTest, StartsAt496By378WithTheNoPlayerFaceAndTheAboutItem)
{
    TestMainDialog dialog;
    session->Then([&] {
            RECT r{};
            GetWindowRect(dialog.m_hWnd, &r);
            EXPECT_EQ(r.right - r.left, 496);
            EXPECT_EQ(r.bottom - r.top, 378);
            EXPECT_EQ(dialog.Model(), eMODEL_Unknown);
            auto pixels = Pixels(dialog.m_hWnd);
            ASSERT_EQ(pixels.width, 496);
            EXPECT_EQ(pixels.At(200, 100), ResourcePixel(IDB_FACE_NONE, 200, 100));
            HMENU menu = GetSystemMenu(dialog.m_hWnd, FALSE);
            int count = GetMenuItemCount(menu);
            EXPECT_EQ(GetMenuItemID(menu, count - 1), MainDialog::kAboutCommand);
            char title[64] = {};
            GetWindowTextA(dialog.m_hWnd, title, sizeof title);
            EXPECT_STREQ(title, "YOLT Utility");
        })
        .Key(VK_SPACE, true)
        .ChooseMenu(u"About YOLT Utility...")
        .Then([&] {
            HWND about = yolt::user::InnermostModalWindow();
            char caption[64] = {};
            GetWindowTextA(about, caption, sizeof caption);
            EXPECT_STREQ(caption, "About YOLT Utility");
            EXPECT_NE(GetDlgItem(about, IDOK), nullptr);
        })
        .Key(VK_ESCAPE)
        .Then([&] { EXPECT_EQ(yolt::user::InnermostModalWindow(), dialog.m_hWnd) << "the About box stayed open"; })
        .Key(VK_ESCAPE);
    dialog.DoModal();
    EXPECT_TRUE(session->Failures().empty());
    EXPECT_TRUE(session->Boxes().empty());
}

TEST_F(MainDialogTest, PressesDrawPressedImagesAndTheTopStripDrags)
{
    TestMainDialog dialog;
    yolt::gdi::Surface before;
    RECT start{};
    auto windowOrigin = [&] {
        RECT r{};
        GetWindowRect(dialog.m_hWnd, &r);
        return POINT{r.left, r.top};
    };
    session->Then([&] {
            before = Pixels(dialog.m_hWnd);
            GetWindowRect(dialog.m_hWnd, &start);
        })
        // Minimise has no pressed image; a release outside every button repaints nothing.
        .Press(420, 20)
        .Release(300, 150)
        .Then([&] { EXPECT_EQ(Pixels(dialog.m_hWnd).pixels, before.pixels) << "minimise drew something"; })
        .Press(60, 300)
        .Release(300, 150)
        .Then([&] {
            auto now = Pixels(dialog.m_hWnd);
            for (POINT p : {POINT{30, 24}, POINT{68, 68}, POINT{120, 100}})
                EXPECT_EQ(now.At(20 + p.x, 224 + p.y), ResourcePixel(IDB_PRESSED_LEFT, p.x, p.y));
            EXPECT_NE(now.pixels, before.pixels);
            EXPECT_EQ(now.At(200, 300), before.At(200, 300)) << "the middle button was drawn pressed";
        })
        .Press(380, 79)
        .Release(380, 79)
        .Press(379, 80)
        .Release(379, 80)
        .Then([&] { EXPECT_EQ(windowOrigin().x, start.left) << "presses just outside the strip drag"; })
        .Press(379, 79)
        .Move(389, 99)
        .Release(389, 99)
        .Then([&] {
            EXPECT_EQ(windowOrigin().x, start.left + 10);
            EXPECT_EQ(windowOrigin().y, start.top + 20);
        })
        .Key(VK_ESCAPE);
    dialog.DoModal();
    EXPECT_TRUE(session->Failures().empty());
    EXPECT_TRUE(session->Boxes().empty()) << "a release outside the buttons ran an action";
}

TEST_F(MainDialogTest, PointerIsTheHandOverButtonsAndTheArrowElsewhere)
{
    TestMainDialog dialog;
    session->Move(460, 20)
        .Then([&] {
            ASSERT_NE(dialog.m_hHandCursor, nullptr);
            EXPECT_EQ(GetCursor(), dialog.m_hHandCursor);
        })
        .Move(250, 150)
        .Then([&] { EXPECT_EQ(GetCursor(), dialog.m_hArrowCursor); })
        .Move(250, 300)
        .Then([&] { EXPECT_EQ(GetCursor(), dialog.m_hHandCursor); })
        // A release ends with the shape for the point: the arrow outside every button.
        .Press(250, 300)
        .Release(250, 150)
        .Then([&] { EXPECT_EQ(GetCursor(), dialog.m_hArrowCursor); })
        .Key(VK_ESCAPE);
    dialog.DoModal();
    EXPECT_TRUE(session->Failures().empty());
}

TEST_F(MainDialogTest, MinimiseButtonMinimisesAndCloseButtonEnds)
{
    TestMainDialog dialog;
    session->Click(420, 20)
        .Then([&] { EXPECT_TRUE(IsIconic(dialog.m_hWnd)); })
        .Then([&] { ShowWindow(dialog.m_hWnd, SW_RESTORE); })
        .Click(460, 20);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(session->Failures().empty());
    EXPECT_TRUE(session->Boxes().empty());
}
