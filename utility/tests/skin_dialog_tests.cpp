// The skinned dialog base: the background bitmap's ownership, the five drawing modes, fitting the
// window to the bitmap, and dragging.
#include <gtest/gtest.h>

#include <vector>

#include "platform/display/session.h"
#include "platform/gdi/surface.h"
#include "platform/user/session.h"
#include "utility/skin_dialog.h"

using yolt::display::Session;

namespace {

constexpr UINT kTemplate = 900;
constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

// A caption-less popup, 60x40 dialog units, as the product's main window is built.
void RegisterTemplate()
{
    yolt::user::DialogTemplate t;
    t.style = WS_POPUP | WS_VISIBLE | DS_SETFONT;
    t.cx = 60;
    t.cy = 40;
    t.fontName = u"MS Sans Serif";
    yolt::user::RegisterDialogTemplate(AfxGetResourceHandle(), kTemplate, t);
}

// A 2x2 bitmap: red, green on the top row; blue, white below.
HBITMAP Checker()
{
    const uint32_t pixels[] = {kRed, kGreen, kBlue, kWhite};
    return CreateBitmap(2, 2, 1, 32, pixels);
}

HBITMAP Solid(int width, int height, uint32_t colour)
{
    std::vector<uint32_t> pixels(size_t(width) * size_t(height), colour);
    return CreateBitmap(width, height, 1, 32, pixels.data());
}

SIZE WindowSize(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// The client area's pixels of a caption-less window, after pending painting.
uint32_t ClientPixel(HWND window, int x, int y)
{
    auto pixels = yolt::user::WindowPixels(window);
    return pixels ? pixels->At(x, y) : 0xDEADBEEF;
}

class TestSkinDialog : public SkinDialog {
public:
    TestSkinDialog() : SkinDialog(kTemplate, nullptr) {}
    using SkinDialog::OnLButtonDown;
    using SkinDialog::m_sizeBackground;
};

class SkinDialogTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterTemplate(); }
    Session session;
};

}  // namespace

TEST_F(SkinDialogTest, FitWindowResizesOnlyWhenTheModeIsSetWithABitmap)
{
    TestSkinDialog dialog;
    SIZE initial{};
    session.Then([&] {
            initial = WindowSize(dialog.m_hWnd);
            dialog.SetBackgroundMode(SkinDialog::BackgroundFitWindow);
            EXPECT_EQ(WindowSize(dialog.m_hWnd).cx, initial.cx) << "mode 4 before any bitmap";
            EXPECT_TRUE(dialog.SetBackgroundBitmap(Solid(30, 20, kBlue)));
            EXPECT_EQ(WindowSize(dialog.m_hWnd).cx, initial.cx) << "a bitmap set after the mode";
            dialog.SetBackgroundMode(SkinDialog::BackgroundFitWindow);
            EXPECT_EQ(WindowSize(dialog.m_hWnd).cx, 30);
            EXPECT_EQ(WindowSize(dialog.m_hWnd).cy, 20);
            EXPECT_TRUE(dialog.SetBackgroundBitmap(Solid(50, 45, kRed)));
            EXPECT_EQ(WindowSize(dialog.m_hWnd).cx, 30) << "a replacement of another size";
            EXPECT_EQ(ClientPixel(dialog.m_hWnd, 29, 19), kRed);
        })
        .Key(VK_ESCAPE);
    dialog.DoModal();
    EXPECT_TRUE(session.Failures().empty());
}

TEST_F(SkinDialogTest, NullAndUnreadableBitmapsClearTheBackground)
{
    TestSkinDialog dialog;
    session.Then([&] {
            ASSERT_TRUE(dialog.SetBackgroundBitmap(Solid(4, 4, kRed)));
            EXPECT_TRUE(dialog.SetBackgroundBitmap(nullptr));
            EXPECT_EQ(dialog.BackgroundBitmap(), nullptr);
            // A bitmap that has gone cannot be described: refused, and nothing is kept.
            HBITMAP gone = Solid(4, 4, kRed);
            DeleteObject(gone);
            EXPECT_FALSE(dialog.SetBackgroundBitmap(gone));
            EXPECT_EQ(dialog.BackgroundBitmap(), nullptr);
            EXPECT_TRUE(dialog.SetBackgroundBitmap(Solid(4, 4, kRed)));
            EXPECT_FALSE(dialog.LoadBackgroundBitmap(4242) && dialog.BackgroundBitmap()) << "a missing resource";
            EXPECT_EQ(dialog.BackgroundBitmap(), nullptr);
        })
        .Key(VK_ESCAPE);
    dialog.DoModal();
    EXPECT_TRUE(session.Failures().empty());
}

TEST(SkinDialog, EachModeLaysTheBitmapOnTheClientArea)
{
    struct Case {
        int mode;
        POINT at;
        uint32_t expected;
    };
    // The client area is fitted to 10x6 first; the bitmap is the 2x2 checker.
    const Case cases[] = {
        {SkinDialog::BackgroundCopy, {1, 0}, kGreen},
        {SkinDialog::BackgroundFitWindow, {0, 1}, kBlue},
        {SkinDialog::BackgroundTile, {9, 5}, kWhite},
        {SkinDialog::BackgroundTile, {4, 2}, kRed},
        {SkinDialog::BackgroundCenter, {4, 2}, kRed},
        {SkinDialog::BackgroundCenter, {5, 3}, kWhite},
        {SkinDialog::BackgroundStretch, {9, 5}, kWhite},
        {SkinDialog::BackgroundStretch, {4, 2}, kRed},
    };
    for (const Case& c : cases) {
        TestSkinDialog dialog;
        Session one;
        RegisterTemplate();
        one.Then([&] {
                dialog.SetBackgroundBitmap(Solid(10, 6, 0));
                dialog.SetBackgroundMode(SkinDialog::BackgroundFitWindow);
                dialog.SetBackgroundBitmap(Checker());
                dialog.SetBackgroundMode(c.mode);
                dialog.Invalidate(TRUE);
                EXPECT_EQ(ClientPixel(dialog.m_hWnd, c.at.x, c.at.y), c.expected)
                    << "mode " << c.mode << " at (" << c.at.x << ", " << c.at.y << ")";
            })
            .Key(VK_ESCAPE);
        dialog.DoModal();
        EXPECT_TRUE(one.Failures().empty());
    }
}

TEST_F(SkinDialogTest, PressesDragOnlyWhileDraggingIsOn)
{
    TestSkinDialog dialog;
    RECT before{}, after{};
    session.Then([&] {
            dialog.EnableDrag(FALSE);
            GetWindowRect(dialog.m_hWnd, &before);
        })
        .Press(5, 5)
        .Move(25, 15)
        .Release(25, 15)
        .Then([&] {
            GetWindowRect(dialog.m_hWnd, &after);
            EXPECT_EQ(after.left, before.left) << "dragging off";
            dialog.EnableDrag(TRUE);
        })
        .Press(5, 5)
        .Move(25, 15)
        .Release(25, 15)
        .Then([&] {
            GetWindowRect(dialog.m_hWnd, &after);
            EXPECT_EQ(after.left - before.left, 20);
            EXPECT_EQ(after.top - before.top, 10);
        })
        .Key(VK_ESCAPE);
    dialog.DoModal();
    EXPECT_TRUE(session.Failures().empty());
}
