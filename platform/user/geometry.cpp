// Window rectangles, z-order, visibility, enabled state, activation, focus and capture.
#include "platform/user/window.h"

#include <algorithm>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/display/presentation.h"
#include "platform/user/internal.h"
#include "platform/user/paint.h"

namespace yolt::user {

RECT FrameInsets(DWORD style, DWORD exStyle)
{
    int border = 0;
    if (style & WS_THICKFRAME)
        border = 4;
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        border = 3;
    else if (style & WS_BORDER)
        border = 1;
    if (exStyle & WS_EX_CLIENTEDGE)
        border += 2;
    if (exStyle & WS_EX_STATICEDGE)
        border += 1;
    int caption = (style & WS_CAPTION) == WS_CAPTION ? 18 : 0;
    return {border, border + caption, border, border};
}

RECT ScreenRect(const Window& w)
{
    if (!(w.style & WS_CHILD))
        return w.rect;
    Window* parent = Peek(w.parent);
    if (!parent)
        return w.rect;
    POINT origin = ClientOrigin(*parent);
    return {w.rect.left + origin.x, w.rect.top + origin.y, w.rect.right + origin.x, w.rect.bottom + origin.y};
}

POINT ClientOrigin(const Window& w)
{
    RECT r = ScreenRect(w);
    RECT in = FrameInsets(w.style, w.exStyle);
    return {r.left + in.left, r.top + in.top};
}

SIZE ClientSize(const Window& w)
{
    RECT in = FrameInsets(w.style, w.exStyle);
    return {std::max<LONG>(0, w.rect.right - w.rect.left - in.left - in.right),
        std::max<LONG>(0, w.rect.bottom - w.rect.top - in.top - in.bottom)};
}

bool IsVisibleDeep(const Window& w)
{
    const Window* cur = &w;
    while (cur) {
        if (!(cur->style & WS_VISIBLE))
            return false;
        if (!(cur->style & WS_CHILD))
            return true;
        cur = Peek(cur->parent);
    }
    return true;
}

bool IsEnabledDeep(const Window& w)
{
    const Window* cur = &w;
    while (cur) {
        if (cur->style & WS_DISABLED)
            return false;
        if (!(cur->style & WS_CHILD))
            return true;
        cur = Peek(cur->parent);
    }
    return true;
}

void NotifyChanged(HWND handle)
{
    Window* top = TopLevelOf(Peek(handle));
    if (!top)
        return;
    if (auto* p = display::CurrentPresentation())
        p->WindowChanged(top->handle);
}

void ApplySetWindowPos(Window& w, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    HWND handle = w.handle;
    RECT old = w.rect;
    RECT next = old;
    if (!(flags & SWP_NOMOVE)) {
        next.right = x + (old.right - old.left);
        next.bottom = y + (old.bottom - old.top);
        next.left = x;
        next.top = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        next.right = next.left + std::max(0, cx);
        next.bottom = next.top + std::max(0, cy);
    }
    const bool moved = next.left != old.left || next.top != old.top;
    const bool sized = (next.right - next.left) != (old.right - old.left) || (next.bottom - next.top) != (old.bottom - old.top);
    w.rect = next;
    const bool topLevel = !(w.style & WS_CHILD);
    if (topLevel && !(flags & SWP_NOZORDER)) {
        auto& z = S().zOrder;
        z.erase(std::remove(z.begin(), z.end(), handle), z.end());
        if (insertAfter == HWND_BOTTOM)
            z.push_back(handle);
        else if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST)
            z.insert(z.begin(), handle);
        else {
            auto it = std::find(z.begin(), z.end(), insertAfter);
            z.insert(it == z.end() ? z.begin() : it + 1, handle);
        }
    }
    if (sized && w.surface)
        w.surface->Resize(std::max<LONG>(1, next.right - next.left), std::max<LONG>(1, next.bottom - next.top),
            gdi::PixelFromColor(GetSysColor(COLOR_BTNFACE)));
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(handle, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(handle, SW_HIDE);
    if (!Peek(handle))
        return;
    if (sized) {
        SIZE client = ClientSize(w);
        Send(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.cx, client.cy));
    }
    if (moved && Peek(handle)) {
        POINT origin = ClientOrigin(w);
        if (Window* parent = Peek(w.parent); parent && !topLevel) {
            POINT po = ClientOrigin(*parent);
            origin.x -= po.x;
            origin.y -= po.y;
        }
        Send(handle, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    }
    Window* cur = Peek(handle);
    if (!cur)
        return;
    if ((sized || (moved && !topLevel)) && !(flags & SWP_NOREDRAW)) {
        cur->frameInvalid = true;
        Invalidate(*cur, nullptr, true, true);
        if (Window* parent = Peek(cur->parent))
            Invalidate(*parent, nullptr, true, false);
    }
    if (topLevel && !(flags & SWP_NOACTIVATE) && (cur->style & WS_VISIBLE) && IsEnabledDeep(*cur))
        ActivateWindow(handle, false);
    if (Peek(handle))
        NotifyChanged(handle);
}

HWND ChildAt(HWND parent, POINT screen)
{
    Window* p = Peek(parent);
    if (!p)
        return nullptr;
    for (HWND c : p->children) {
        Window* cw = Peek(c);
        if (!cw || !(cw->style & WS_VISIBLE))
            continue;
        RECT r = ScreenRect(*cw);
        if (screen.x >= r.left && screen.x < r.right && screen.y >= r.top && screen.y < r.bottom)
            return ChildAt(c, screen) ? ChildAt(c, screen) : c;
    }
    return nullptr;
}

void ActivateWindow(HWND handle, bool byMouse)
{
    State& s = S();
    Window* w = Peek(handle);
    if (!w || s.active == handle)
        return;
    w = TopLevelOf(w);
    handle = w->handle;
    if (s.active == handle)
        return;
    CBTACTIVATESTRUCT info{byMouse ? TRUE : FALSE, s.active};
    if (CallCbtHook(HCBT_ACTIVATE, reinterpret_cast<WPARAM>(handle), reinterpret_cast<LPARAM>(&info)))
        return;
    HWND old = s.active;
    if (Window* o = Peek(old)) {
        if (s.focus && (s.focus == old || IsChild(old, s.focus)))
            o->lastFocus = s.focus;
        Send(old, WM_NCACTIVATE, FALSE, 0);
        if (Peek(old))
            Send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, Peek(old)->minimized), reinterpret_cast<LPARAM>(handle));
        if (Window* again = Peek(old))
            again->frameInvalid = true;
    }
    if (!Peek(handle))
        return;
    s.active = handle;
    auto& z = s.zOrder;
    z.erase(std::remove(z.begin(), z.end(), handle), z.end());
    z.insert(z.begin(), handle);
    Peek(handle)->frameInvalid = true;
    Send(handle, WM_NCACTIVATE, TRUE, 0);
    if (Peek(handle))
        Send(handle, WM_ACTIVATE, MAKEWPARAM(byMouse ? WA_CLICKACTIVE : WA_ACTIVE, Peek(handle)->minimized),
            reinterpret_cast<LPARAM>(old));
}

void ActivateNext(HWND leaving)
{
    State& s = S();
    Window* w = Peek(leaving);
    HWND next = nullptr;
    if (w) {
        Window* owner = Peek(w->owner);
        if (owner && (owner->style & WS_VISIBLE) && !(owner->style & WS_DISABLED))
            next = owner->handle;
    }
    if (!next)
        for (HWND top : s.zOrder) {
            Window* t = Peek(top);
            if (top == leaving || !t || !(t->style & WS_VISIBLE) || (t->style & WS_DISABLED) || t->destroying)
                continue;
            next = top;
            break;
        }
    if (next) {
        ActivateWindow(next, false);
        return;
    }
    HWND old = s.active;
    s.active = nullptr;
    if (s.focus && (s.focus == old || IsChild(old, s.focus)))
        SetFocus(nullptr);
    if (Peek(old)) {
        Send(old, WM_NCACTIVATE, FALSE, 0);
        if (Peek(old))
            Send(old, WM_ACTIVATE, WA_INACTIVE, 0);
    }
}

}  // namespace yolt::user

using namespace yolt::user;

extern "C" {

BOOL GetWindowRect(HWND handle, LPRECT rect)
{
    Window* w = Find(handle);
    if (!w || !rect)
        return FALSE;
    *rect = ScreenRect(*w);
    return TRUE;
}

BOOL GetClientRect(HWND handle, LPRECT rect)
{
    Window* w = Find(handle);
    if (!w || !rect)
        return FALSE;
    SIZE size = ClientSize(*w);
    *rect = {0, 0, size.cx, size.cy};
    return TRUE;
}

BOOL ClientToScreen(HWND handle, LPPOINT point)
{
    Window* w = Find(handle);
    if (!w || !point)
        return FALSE;
    POINT origin = ClientOrigin(*w);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND handle, LPPOINT point)
{
    Window* w = Find(handle);
    if (!w || !point)
        return FALSE;
    POINT origin = ClientOrigin(*w);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count)
{
    POINT a{0, 0}, b{0, 0};
    if (from && !ClientToScreen(from, &a))
        return 0;
    if (to && !ClientToScreen(to, &b))
        return 0;
    int dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(WORD(dx), WORD(dy));
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD exStyle)
{
    if (!rect)
        return FALSE;
    RECT in = FrameInsets(style, exStyle);
    rect->left -= in.left;
    rect->top -= in.top;
    rect->right += in.right;
    rect->bottom += in.bottom;
    return TRUE;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(handle, nullptr, x, y, width, height,
        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int width, int height, UINT flags)
{
    Window* w = Find(handle);
    if (!w)
        return FALSE;
    ApplySetWindowPos(*w, insertAfter, x, y, width, height, flags);
    return TRUE;
}

BOOL BringWindowToTop(HWND handle)
{
    return SetWindowPos(handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

HWND WindowFromPoint(POINT point)
{
    for (HWND top : S().zOrder) {
        Window* w = Peek(top);
        if (!w || !(w->style & WS_VISIBLE) || w->minimized)
            continue;
        RECT r = w->rect;
        if (point.x < r.left || point.x >= r.right || point.y < r.top || point.y >= r.bottom)
            continue;
        HWND child = ChildAt(top, point);
        return child ? child : top;
    }
    return nullptr;
}

HWND ChildWindowFromPoint(HWND parent, POINT point)
{
    Window* p = Find(parent);
    if (!p)
        return nullptr;
    ClientToScreen(parent, &point);
    for (HWND c : p->children) {
        Window* cw = Peek(c);
        RECT r = ScreenRect(*cw);
        if (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom)
            return c;
    }
    RECT r = ScreenRect(*p);
    if (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom)
        return parent;
    return nullptr;
}

BOOL ShowWindow(HWND handle, int command)
{
    Window* w = Find(handle);
    if (!w)
        return FALSE;
    const bool wasVisible = w->style & WS_VISIBLE;
    const bool topLevel = !(w->style & WS_CHILD);
    if (command == SW_HIDE) {
        if (!wasVisible)
            return FALSE;
        Send(handle, WM_SHOWWINDOW, FALSE, 0);
        if (!(w = Peek(handle)))
            return TRUE;
        w->style &= ~WS_VISIBLE;
        if (Window* parent = Peek(w->parent))
            Invalidate(*parent, nullptr, true, false);
        State& s = S();
        if (topLevel && s.active == handle)
            ActivateNext(handle);
        else if (s.focus && (s.focus == handle || IsChild(handle, s.focus)))
            SetFocus(nullptr);
        NotifyChanged(handle);
        return TRUE;
    }
    if (!wasVisible) {
        Send(handle, WM_SHOWWINDOW, TRUE, 0);
        if (!(w = Peek(handle)))
            return FALSE;
        w->style |= WS_VISIBLE;
        w->frameInvalid = true;
        Invalidate(*w, nullptr, true, true);
    }
    const bool minimize = command == SW_SHOWMINIMIZED || command == SW_MINIMIZE || command == SW_SHOWMINNOACTIVE;
    if (minimize && !w->minimized) {
        w->minimized = true;
        Send(handle, WM_SIZE, SIZE_MINIMIZED, 0);
    } else if ((command == SW_RESTORE || command == SW_SHOWNORMAL) && w->minimized) {
        w->minimized = false;
        SIZE client = ClientSize(*w);
        Send(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.cx, client.cy));
        if ((w = Peek(handle)))
            Invalidate(*w, nullptr, true, true);
    }
    if (!(w = Peek(handle)))
        return wasVisible;
    const bool activate = command == SW_SHOWNORMAL || command == SW_SHOW || command == SW_RESTORE ||
        command == SW_SHOWMINIMIZED || command == SW_SHOWMAXIMIZED || command == SW_SHOWDEFAULT;
    if (topLevel && activate && IsEnabledDeep(*w))
        ActivateWindow(handle, false);
    if (command == SW_MINIMIZE && S().active == handle)
        ActivateNext(handle);
    NotifyChanged(handle);
    return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND handle)
{
    Window* w = Peek(handle);
    return w && IsVisibleDeep(*w);
}

BOOL IsIconic(HWND handle)
{
    Window* w = Peek(handle);
    return w && w->minimized;
}

BOOL IsZoomed(HWND)
{
    return FALSE;
}

BOOL EnableWindow(HWND handle, BOOL enable)
{
    Window* w = Find(handle);
    if (!w)
        return FALSE;
    const bool wasDisabled = w->style & WS_DISABLED;
    if (wasDisabled == !enable)
        return wasDisabled;
    if (enable)
        w->style &= ~WS_DISABLED;
    else
        w->style |= WS_DISABLED;
    State& s = S();
    if (!enable && s.focus && (s.focus == handle || IsChild(handle, s.focus)))
        SetFocus(nullptr);
    if (!enable && s.capture == handle)
        ReleaseCapture();
    Send(handle, WM_ENABLE, enable ? TRUE : FALSE, 0);
    if ((w = Peek(handle)))
        Invalidate(*w, nullptr, true, true);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND handle)
{
    Window* w = Find(handle);
    return w && !(w->style & WS_DISABLED);
}

HWND SetActiveWindow(HWND handle)
{
    HWND old = S().active;
    if (!Find(handle))
        return nullptr;
    ActivateWindow(handle, false);
    return old;
}

HWND GetActiveWindow()
{
    return S().active;
}

HWND GetForegroundWindow()
{
    return S().active;
}

BOOL SetForegroundWindow(HWND handle)
{
    return SetActiveWindow(handle) != nullptr || S().active == handle;
}

HWND SetFocus(HWND handle)
{
    State& s = S();
    HWND old = s.focus;
    if (handle) {
        Window* w = Find(handle);
        if (!w || !IsEnabledDeep(*w))
            return nullptr;
        Window* top = TopLevelOf(w);
        if (s.active != top->handle) {
            ActivateWindow(top->handle, false);
            old = s.focus;
            if (s.focus == handle)
                return old;
        }
    }
    if (handle == old)
        return old;
    if (CallCbtHook(HCBT_SETFOCUS, reinterpret_cast<WPARAM>(handle), reinterpret_cast<LPARAM>(old)))
        return nullptr;
    s.focus = handle;
    if (Peek(old))
        Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
    if (handle && Peek(handle) && s.focus == handle)
        Send(handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND GetFocus()
{
    return S().focus;
}

HWND SetCapture(HWND handle)
{
    State& s = S();
    HWND old = s.capture;
    if (!Find(handle))
        return nullptr;
    s.capture = handle;
    if (old && old != handle && Peek(old))
        Send(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(handle));
    return old;
}

BOOL ReleaseCapture()
{
    State& s = S();
    HWND old = std::exchange(s.capture, nullptr);
    if (old && Peek(old))
        Send(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture()
{
    return S().capture;
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN: return 1024;
    case SM_CYSCREEN: return 768;
    case SM_CYCAPTION: return 18;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    }
    return 0;
}

BOOL MessageBeep(UINT)
{
    return TRUE;
}

}  // extern "C"
