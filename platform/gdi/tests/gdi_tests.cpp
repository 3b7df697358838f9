#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include <unistd.h>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/surface.h"

using namespace yolt::gdi;

namespace {

// A memory context holding a new bitmap filled with one colour.
struct Canvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    Canvas(int w, int h, COLORREF fill)
    {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, w, h);
        old = SelectObject(dc, bitmap);
        RECT r{0, 0, w, h};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
};

}  // namespace

TEST(Blit, CopiesAndClipsAtBothSurfaces)
{
    Canvas src(4, 4, RGB(255, 0, 0));
    Canvas dst(6, 6, RGB(0, 0, 255));
    // Source rectangle hangs over the source's right edge, destination over the bottom edge.
    ASSERT_TRUE(BitBlt(dst.dc, 1, 4, 5, 5, src.dc, 1, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(dst.dc, 1, 4), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dst.dc, 3, 5), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dst.dc, 4, 5), RGB(0, 0, 255)) << "source column 4 does not exist";
    EXPECT_EQ(GetPixel(dst.dc, 1, 3), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dst.dc, 0, 4), RGB(0, 0, 255));
}

TEST(Blit, StretchScalesByNearestPixel)
{
    Canvas src(2, 1, RGB(0, 0, 0));
    SetPixel(src.dc, 1, 0, RGB(255, 255, 255));
    Canvas dst(4, 2, RGB(9, 9, 9));
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 4, 2, src.dc, 0, 0, 2, 1, SRCCOPY));
    std::vector<COLORREF> row;
    for (int x = 0; x < 4; ++x)
        row.push_back(GetPixel(dst.dc, x, 1));
    EXPECT_EQ(row, (std::vector<COLORREF>{0, 0, RGB(255, 255, 255), RGB(255, 255, 255)}));
}

TEST(Objects, BitmapDescriptionAndDeferredDelete)
{
    HBITMAP bitmap = CreateBitmap(7, 3, 1, 32, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObject(bitmap, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 7);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmBitsPixel, 32);

    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    ASSERT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(GetObject(bitmap, sizeof bm, &bm), int(sizeof bm)) << "still selected, still alive";
    SelectObject(dc, old);
    EXPECT_EQ(GetObject(bitmap, sizeof bm, &bm), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    DeleteDC(dc);

    SetLastError(0);
    EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(0x1234), GetStockObject(WHITE_BRUSH)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(CreateBitmap(0, 5, 1, 32, nullptr), nullptr);
}

TEST(Dib, ReadsBottomUpRowsWithPaddingAndRejectsTruncatedData)
{
    // 3x2 pixels at 24 bits: rows of 9 bytes padded to 12, bottom row first.
    std::vector<BYTE> dib(sizeof(BITMAPINFOHEADER) + 24, 0);
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = 3;
    h.biHeight = 2;
    h.biPlanes = 1;
    h.biBitCount = 24;
    std::memcpy(dib.data(), &h, sizeof h);
    BYTE* bits = dib.data() + sizeof h;
    bits[0] = 0xFF;                         // bottom-left: blue
    bits[12 + 3 * 2 + 2] = 0xFF;            // top-right: red
    HBITMAP bitmap = BitmapFromDib(dib.data(), dib.size());
    ASSERT_NE(bitmap, nullptr);
    auto surface = BitmapSurface(bitmap);
    EXPECT_EQ(surface->At(0, 1), 0x0000FFu);
    EXPECT_EQ(surface->At(2, 0), 0xFF0000u);
    EXPECT_EQ(surface->At(0, 0), 0u);
    DeleteObject(bitmap);

    SetLastError(0);
    EXPECT_EQ(BitmapFromDib(dib.data(), dib.size() - 1), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA));
    EXPECT_EQ(BitmapFromDib(dib.data(), 10), nullptr);
}

TEST(Text, RightAlignedTextInksNearTheRightEdgeInTheTextColour)
{
    Canvas canvas(120, 20, RGB(255, 255, 255));
    SetTextColor(canvas.dc, RGB(64, 64, 64));
    SetBkMode(canvas.dc, TRANSPARENT);
    RECT r{10, 2, 110, 18};
    ASSERT_GT(DrawTextA(canvas.dc, "v.1, 0, 1, 4", -1, &r, DT_RIGHT), 0);
    int leftmost = 1000, rightmost = -1;
    bool solid = false;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 120; ++x) {
            COLORREF c = GetPixel(canvas.dc, x, y);
            if (c == RGB(255, 255, 255))
                continue;
            leftmost = std::min(leftmost, x);
            rightmost = std::max(rightmost, x);
            solid = solid || c == RGB(64, 64, 64);
        }
    EXPECT_TRUE(solid);
    EXPECT_LE(rightmost, 109);
    EXPECT_GE(rightmost, 104);
    EXPECT_GT(leftmost, 30) << "right-aligned text must not start at the left edge";

    RECT calc{0, 0, 0, 0};
    DrawTextA(canvas.dc, "One\nTwo lines", -1, &calc, DT_CALCRECT);
    SIZE one{};
    GetTextExtentPoint32A(canvas.dc, "Two lines", -1, &one);
    EXPECT_EQ(calc.right, one.cx);
    EXPECT_EQ(calc.bottom, 2 * one.cy);
}

TEST(Png, RoundTripsPixels)
{
    Surface s(3, 2, 0x102030);
    s.At(2, 1) = 0xFFEE00;
    auto path = std::filesystem::temp_directory_path() / ("gdi_png_" + std::to_string(::getpid()) + ".png");
    ASSERT_TRUE(SavePng(s, path));
    Surface back;
    ASSERT_TRUE(LoadPng(path, back));
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.pixels, s.pixels);
    std::filesystem::remove(path);
}
