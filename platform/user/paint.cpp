// Painting: window device contexts on the top-level window's pixels, invalid areas, WM_PAINT
// and the frame and caption of windows that have them.
#include "platform/user/paint.h"

#include <algorithm>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/user/internal.h"

namespace yolt::user {
namespace {

RECT Intersect(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

// A context on the top-level pixels with (0, 0) at the client (or window) origin of `w`,
// clipped to its area, its ancestors' client areas and `clip` (in its own coordinates).
HDC WindowContext(Window& w, bool whole, const RECT* clip)
{
    Window* top = TopLevelOf(&w);
    if (!top || !top->surface)
        return nullptr;
    const RECT topRect = ScreenRect(*top);
    const RECT own = ScreenRect(w);
    POINT origin = whole ? POINT{own.left, own.top} : ClientOrigin(w);
    RECT area = own;
    if (!whole) {
        SIZE size = ClientSize(w);
        area = {origin.x, origin.y, origin.x + size.cx, origin.y + size.cy};
    }
    for (Window* a = (w.style & WS_CHILD) ? Peek(w.parent) : nullptr; a;
         a = (a->style & WS_CHILD) ? Peek(a->parent) : nullptr) {
        POINT ao = ClientOrigin(*a);
        SIZE as = ClientSize(*a);
        area = Intersect(area, {ao.x, ao.y, ao.x + as.cx, ao.y + as.cy});
    }
    if (clip)
        area = Intersect(area, {origin.x + clip->left, origin.y + clip->top, origin.x + clip->right, origin.y + clip->bottom});
    RECT surfaceClip{area.left - topRect.left, area.top - topRect.top, area.right - topRect.left, area.bottom - topRect.top};
    return gdi::CreateSurfaceDC(top->surface, {origin.x - topRect.left, origin.y - topRect.top}, surfaceClip);
}

HDC ScreenContext()
{
    static auto screen = std::make_shared<gdi::Surface>(1024, 768);
    return gdi::CreateSurfaceDC(screen, {0, 0}, {0, 0, 1024, 768});
}

HWND FindInvalid(HWND handle)
{
    Window* w = Peek(handle);
    if (!w || !(w->style & WS_VISIBLE) || w->minimized)
        return nullptr;
    if (w->invalid || w->frameInvalid)
        return handle;
    for (HWND c : w->children)
        if (HWND found = FindInvalid(c))
            return found;
    return nullptr;
}

}  // namespace

void Invalidate(Window& w, const RECT* rect, bool erase, bool children)
{
    SIZE size = ClientSize(w);
    RECT all{0, 0, size.cx, size.cy};
    RECT r = rect ? Intersect(*rect, all) : all;
    if (r.right > r.left && r.bottom > r.top) {
        if (w.invalid)
            w.invalidRect = {std::min(w.invalidRect.left, r.left), std::min(w.invalidRect.top, r.top),
                std::max(w.invalidRect.right, r.right), std::max(w.invalidRect.bottom, r.bottom)};
        else
            w.invalidRect = r;
        w.invalid = true;
        w.erase = w.erase || erase;
    }
    if (!children || (w.style & WS_CLIPCHILDREN))
        return;
    for (HWND c : w.children)
        if (Window* cw = Peek(c)) {
            cw->frameInvalid = true;
            Invalidate(*cw, nullptr, erase, true);
        }
}

HWND NextWindowToPaint()
{
    for (HWND top : S().zOrder)
        if (HWND found = FindInvalid(top))
            return found;
    return nullptr;
}

void PaintNow(HWND handle, bool children)
{
    Window* w = Peek(handle);
    if (!w || !(w->style & WS_VISIBLE) || w->minimized)
        return;
    if (w->frameInvalid && !w->invalid) {
        w->frameInvalid = false;
        Send(handle, WM_NCPAINT, 1, 0);
    }
    if ((w = Peek(handle)) && w->invalid)
        Send(handle, WM_PAINT, 0, 0);
    if (!children || !(w = Peek(handle)))
        return;
    std::vector<HWND> kids = w->children;
    for (HWND c : kids)
        PaintNow(c, true);
    NotifyChanged(handle);
}

void DrawFrame(Window& w)
{
    RECT in = FrameInsets(w.style, w.exStyle);
    if (in.left == 0 && in.top == 0)
        return;
    HDC dc = WindowContext(w, true, nullptr);
    if (!dc)
        return;
    RECT r = ScreenRect(w);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    HBRUSH dark = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
    HBRUSH light = CreateSolidBrush(GetSysColor(COLOR_BTNHIGHLIGHT));
    HBRUSH black = CreateSolidBrush(RGB(64, 64, 64));
    RECT edges[4] = {{0, 0, width, in.top}, {0, height - in.bottom, width, height}, {0, 0, in.left, height},
        {width - in.right, 0, width, height}};
    for (const RECT& e : edges)
        FillRect(dc, &e, face);
    RECT outer{0, 0, width, height};
    FrameRect(dc, &outer, in.left > 1 ? black : dark);
    if (in.left > 1) {
        RECT inner{1, 1, width - 1, height - 1};
        FrameRect(dc, &inner, light);
    }
    if ((w.style & WS_CAPTION) == WS_CAPTION) {
        const bool active = S().active == w.handle;
        HBRUSH bar = CreateSolidBrush(GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        RECT caption{in.left, in.left, width - in.right, in.top - 1};
        FillRect(dc, &caption, bar);
        DeleteObject(bar);
        LOGFONTA lf{};
        lf.lfHeight = -11;
        lf.lfWeight = FW_BOLD;
        HFONT bold = CreateFontIndirectA(&lf);
        HGDIOBJ oldFont = SelectObject(dc, bold);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        RECT text{caption.left + 4, caption.top, caption.right - 4, caption.bottom};
        DrawTextW(dc, w.text.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, oldFont);
        DeleteObject(bold);
    }
    DeleteObject(face);
    DeleteObject(dark);
    DeleteObject(light);
    DeleteObject(black);
    DeleteDC(dc);
}

}  // namespace yolt::user

using namespace yolt::user;

extern "C" {

HDC GetDC(HWND handle)
{
    if (!handle)
        return ScreenContext();
    Window* w = Find(handle);
    return w ? WindowContext(*w, false, nullptr) : nullptr;
}

HDC GetWindowDC(HWND handle)
{
    if (!handle)
        return ScreenContext();
    Window* w = Find(handle);
    return w ? WindowContext(*w, true, nullptr) : nullptr;
}

int ReleaseDC(HWND handle, HDC dc)
{
    if (!yolt::gdi::IsSurfaceDC(dc))
        return 0;
    DeleteDC(dc);
    if (handle)
        NotifyChanged(handle);
    return 1;
}

HDC BeginPaint(HWND handle, LPPAINTSTRUCT paint)
{
    Window* w = Find(handle);
    if (!w || !paint) {
        if (w)
            SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (w->frameInvalid) {
        w->frameInvalid = false;
        Send(handle, WM_NCPAINT, 1, 0);
        if (!(w = Peek(handle)))
            return nullptr;
    }
    RECT update = w->invalid ? w->invalidRect : RECT{0, 0, 0, 0};
    const bool erase = w->erase;
    w->invalid = false;
    w->erase = false;
    *paint = {};
    HDC dc = WindowContext(*w, false, &update);
    paint->hdc = dc;
    paint->rcPaint = update;
    paint->fErase = FALSE;
    if (erase)
        paint->fErase = Send(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL EndPaint(HWND handle, const PAINTSTRUCT* paint)
{
    if (!paint)
        return FALSE;
    if (paint->hdc)
        DeleteDC(paint->hdc);
    NotifyChanged(handle);
    return TRUE;
}

BOOL InvalidateRect(HWND handle, const RECT* rect, BOOL erase)
{
    if (!handle) {
        for (HWND top : S().zOrder)
            if (Window* w = Peek(top))
                Invalidate(*w, nullptr, erase, true);
        return TRUE;
    }
    Window* w = Find(handle);
    if (!w)
        return FALSE;
    Invalidate(*w, rect, erase, true);
    return TRUE;
}

BOOL ValidateRect(HWND handle, const RECT*)
{
    Window* w = Find(handle);
    if (!w)
        return FALSE;
    w->invalid = false;
    w->erase = false;
    return TRUE;
}

BOOL GetUpdateRect(HWND handle, LPRECT rect, BOOL)
{
    Window* w = Find(handle);
    if (!w)
        return FALSE;
    if (rect)
        *rect = w->invalid ? w->invalidRect : RECT{0, 0, 0, 0};
    return w->invalid ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND handle)
{
    if (!Find(handle))
        return FALSE;
    PaintNow(handle, true);
    return TRUE;
}

BOOL RedrawWindow(HWND handle, const RECT* rect, HRGN, UINT flags)
{
    Window* w = handle ? Find(handle) : nullptr;
    if (handle && !w)
        return FALSE;
    std::vector<HWND> targets;
    if (w)
        targets.push_back(handle);
    else
        targets = S().zOrder;
    for (HWND t : targets) {
        Window* tw = Peek(t);
        if (!tw)
            continue;
        const bool children = (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(tw->style & WS_CLIPCHILDREN));
        if (flags & RDW_INVALIDATE)
            Invalidate(*tw, rect, (flags & RDW_ERASE) != 0, children);
        if (flags & RDW_FRAME)
            tw->frameInvalid = true;
        if (flags & RDW_VALIDATE) {
            tw->invalid = false;
            tw->erase = false;
        }
        if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
            PaintNow(t, !(flags & RDW_NOCHILDREN));
    }
    return TRUE;
}

}  // extern "C"

namespace yolt::user {

std::shared_ptr<gdi::Surface> WindowPixels(HWND handle)
{
    Window* w = Peek(handle);
    if (!w || (w->style & WS_CHILD))
        return nullptr;
    PaintNow(handle, true);
    w = Peek(handle);
    return w ? w->surface : nullptr;
}

}  // namespace yolt::user
