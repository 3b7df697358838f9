// The pixels behind drawing, for the window system and the presentation: a surface is a
// 32-bit buffer (0x00RRGGBB per pixel, top row first). Window contexts draw onto the surface of
// their top-level window through an origin and a clip rectangle.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

namespace yolt::gdi {

struct Surface {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB

    Surface() = default;
    Surface(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    uint32_t& At(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    /// Changes the size, keeping the overlapping top-left part; new pixels take `fill`.
    void Resize(int w, int h, uint32_t fill = 0);
};

/// A pixel value from a colour reference, and back.
constexpr uint32_t PixelFromColor(COLORREF c)
{
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}
constexpr COLORREF ColorFromPixel(uint32_t p)
{
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

/// A context drawing on `surface`: (0, 0) of the context is `origin` on the surface, and only
/// pixels inside `clip` (surface coordinates) are touched. Released with DeleteDC or ReleaseDC.
HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, RECT clip);
/// Moves a surface context to a new surface, origin and clip (a window moved or resized).
bool RetargetSurfaceDC(HDC dc, std::shared_ptr<Surface> surface, POINT origin, RECT clip);
/// Whether `dc` is a context made by CreateSurfaceDC.
bool IsSurfaceDC(HDC dc);
/// The pixels of a bitmap (shared, so drawing shows in the bitmap), or null for a bad handle.
std::shared_ptr<Surface> BitmapSurface(HBITMAP bitmap);
/// A bitmap from a device-independent bitmap in memory (BITMAPINFOHEADER, colour table, rows),
/// as bitmap resources hold it; null with ERROR_INVALID_DATA when it cannot be read.
HBITMAP BitmapFromDib(const void* dib, size_t size);
/// Writes pixels as an 8-bit RGB PNG file; false with a reason on failure.
bool SavePng(const Surface& surface, const std::filesystem::path& path, std::string* error = nullptr);
/// Reads an RGB or RGBA PNG file into a surface (tests and tools); false when it cannot.
bool LoadPng(const std::filesystem::path& path, Surface& surface, std::string* error = nullptr);

/// The default font of dialogs and controls ("MS Sans Serif" 8 points, DejaVu Sans standing in).
HFONT DefaultGuiFont();
/// The average character width and the height of a font, in pixels, for dialog base units.
SIZE FontBaseUnits(HFONT font);
/// Width and height of a line of text in a font, without prefix handling.
SIZE MeasureText(HFONT font, const std::u16string& text);

}  // namespace yolt::gdi
