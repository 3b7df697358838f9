// Pixel operations: blits, fills and single pixels, clipped to each context's target.
#include "platform/gdi/gdi.h"

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/gdi/objects.h"

using namespace yolt::gdi;

namespace {

bool Inside(const Target& t, int x, int y)
{
    return x >= t.clip.left && x < t.clip.right && y >= t.clip.top && y < t.clip.bottom;
}

void Fill(const Target& t, RECT r, uint32_t pixel)
{
    int left = std::max<int>(r.left + t.origin.x, t.clip.left);
    int top = std::max<int>(r.top + t.origin.y, t.clip.top);
    int right = std::min<int>(r.right + t.origin.x, t.clip.right);
    int bottom = std::min<int>(r.bottom + t.origin.y, t.clip.bottom);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            t.surface->At(x, y) = pixel;
}

// Copies through a scaled mapping; the source is read as it was before the copy began, so an
// overlapping blit within one surface gives the expected result.
BOOL Copy(HDC destHandle, int x, int y, int width, int height, HDC srcHandle, int srcX, int srcY, int srcWidth,
    int srcHeight)
{
    DeviceContext* dest = FindDC(destHandle);
    DeviceContext* src = FindDC(srcHandle);
    if (!dest || !src)
        return FALSE;
    Target d = TargetOf(*dest);
    Target s = TargetOf(*src);
    if (!d.surface || !s.surface)
        return FALSE;
    if (width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0)
        return TRUE;
    const Surface source = *s.surface;
    for (int row = 0; row < std::abs(height); ++row) {
        int dy = y + (height > 0 ? row : -row - 1) + d.origin.y;
        int sy = srcY + int((long long)row * srcHeight / height) + s.origin.y;
        if (srcHeight * height < 0)
            sy = srcY + srcHeight - 1 - int((long long)row * std::abs(srcHeight) / std::abs(height)) + s.origin.y;
        for (int col = 0; col < std::abs(width); ++col) {
            int dx = x + (width > 0 ? col : -col - 1) + d.origin.x;
            int sx = srcX + int((long long)col * std::abs(srcWidth) / std::abs(width)) + s.origin.x;
            if (srcWidth * width < 0)
                sx = srcX + std::abs(srcWidth) - 1 - int((long long)col * std::abs(srcWidth) / std::abs(width)) + s.origin.x;
            if (!Inside(d, dx, dy) || !Inside(s, sx, sy))
                continue;
            d.surface->At(dx, dy) = source.At(sx, sy);
        }
    }
    return TRUE;
}

}  // namespace

extern "C" {

DWORD GetSysColor(int index)
{
    switch (index) {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
    case COLOR_CAPTIONTEXT: return RGB(0, 0, 0);
    case COLOR_ACTIVECAPTION: return RGB(10, 36, 106);
    case COLOR_INACTIVECAPTION: return RGB(128, 128, 128);
    case COLOR_HIGHLIGHT: return RGB(10, 36, 106);
    case COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
    case COLOR_BTNSHADOW: return RGB(128, 128, 128);
    case COLOR_GRAYTEXT: return RGB(128, 128, 128);
    case COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
    case COLOR_3DDKSHADOW: return RGB(64, 64, 64);
    case COLOR_BTNFACE:
    default: return RGB(212, 208, 200);
    }
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD)
{
    if (width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return Copy(dest, x, y, width, height, src, srcX, srcY, width, height);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
    int srcHeight, DWORD)
{
    return Copy(dest, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight);
}

int FillRect(HDC handle, const RECT* rect, HBRUSH brushHandle)
{
    DeviceContext* dc = FindDC(handle);
    if (!dc || !rect)
        return 0;
    // As with the system's call, a small number stands for a system colour plus one.
    GdiObject* brush = nullptr;
    uintptr_t value = reinterpret_cast<uintptr_t>(brushHandle);
    COLORREF color = 0;
    if (value > 0 && value <= 31) {
        color = GetSysColor(int(value) - 1);
    } else {
        brush = FindObject(brushHandle, ObjectKind::Brush);
        if (!brush)
            return 0;
        if (brush->hollow)
            return 1;
        color = brush->color;
    }
    Target t = TargetOf(*dc);
    if (!t.surface)
        return 0;
    Fill(t, *rect, PixelFromColor(color));
    return 1;
}

int FrameRect(HDC handle, const RECT* rect, HBRUSH brush)
{
    if (!rect)
        return 0;
    RECT edges[4] = {{rect->left, rect->top, rect->right, rect->top + 1},
        {rect->left, rect->bottom - 1, rect->right, rect->bottom},
        {rect->left, rect->top, rect->left + 1, rect->bottom},
        {rect->right - 1, rect->top, rect->right, rect->bottom}};
    for (const RECT& edge : edges)
        if (!FillRect(handle, &edge, brush))
            return 0;
    return 1;
}

BOOL Rectangle(HDC handle, int left, int top, int right, int bottom)
{
    DeviceContext* dc = FindDC(handle);
    if (!dc)
        return FALSE;
    Target t = TargetOf(*dc);
    if (!t.surface)
        return FALSE;
    GdiObject* brush = FindObject(dc->brush, ObjectKind::Brush);
    GdiObject* pen = FindObject(dc->pen, ObjectKind::Pen);
    if (brush && !brush->hollow)
        Fill(t, {left, top, right, bottom}, PixelFromColor(brush->color));
    if (pen) {
        uint32_t p = PixelFromColor(pen->color);
        Fill(t, {left, top, right, top + 1}, p);
        Fill(t, {left, bottom - 1, right, bottom}, p);
        Fill(t, {left, top, left + 1, bottom}, p);
        Fill(t, {right - 1, top, right, bottom}, p);
    }
    return TRUE;
}

COLORREF GetPixel(HDC handle, int x, int y)
{
    DeviceContext* dc = FindDC(handle);
    if (!dc)
        return CLR_INVALID;
    Target t = TargetOf(*dc);
    if (!t.surface || !Inside(t, x + t.origin.x, y + t.origin.y))
        return CLR_INVALID;
    return ColorFromPixel(t.surface->At(x + t.origin.x, y + t.origin.y));
}

COLORREF SetPixel(HDC handle, int x, int y, COLORREF color)
{
    DeviceContext* dc = FindDC(handle);
    if (!dc)
        return CLR_INVALID;
    Target t = TargetOf(*dc);
    if (!t.surface || !Inside(t, x + t.origin.x, y + t.origin.y))
        return CLR_INVALID;
    t.surface->At(x + t.origin.x, y + t.origin.y) = PixelFromColor(color);
    return color & 0x00FFFFFF;
}

}  // extern "C"
