// The Static class: text (left, centred, right), icons and plain rectangles.
#include "platform/user/controls.h"

#include "platform/user/cursor.h"
#include "platform/user/internal.h"
#include "platform/user/paint.h"

namespace yolt::user {
namespace {

struct StaticData : ControlData {
    HICON icon = nullptr;
};

StaticData* Data(HWND h)
{
    Window* w = Peek(h);
    return w ? dynamic_cast<StaticData*>(w->control.get()) : nullptr;
}

void Paint(HWND h)
{
    Window* w = Peek(h);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    const DWORD type = w->style & SS_TYPEMASK;
    switch (type) {
    case SS_BLACKRECT:
    case SS_GRAYRECT:
    case SS_WHITERECT:
        FillRect(dc, &r, reinterpret_cast<HBRUSH>(GetStockObject(type == SS_BLACKRECT ? BLACK_BRUSH : type == SS_GRAYRECT ? GRAY_BRUSH : WHITE_BRUSH)));
        break;
    case SS_BLACKFRAME: FrameRect(dc, &r, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))); break;
    case SS_ICON:
        FillBackground(h, dc, r);
        if (StaticData* d = Data(h); d && d->icon)
            DrawIcon(dc, 0, 0, d->icon);
        break;
    default: {
        FillBackground(h, dc, r);
        HGDIOBJ old = SelectObject(dc, FontOf(*w));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(IsEnabledDeep(*w) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        UINT format = DT_WORDBREAK | DT_EXPANDTABS;
        if (type == SS_CENTER)
            format |= DT_CENTER;
        else if (type == SS_RIGHT)
            format |= DT_RIGHT;
        else if (type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP)
            format = DT_SINGLELINE;
        if (w->style & SS_NOPREFIX)
            format |= DT_NOPREFIX;
        DrawTextW(dc, w->text.c_str(), -1, &r, format);
        SelectObject(dc, old);
    }
    }
    EndPaint(h, &ps);
}

}  // namespace

LRESULT StaticProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* w = Peek(h);
    if (!w)
        return 0;
    if (message == WM_NCCREATE)
        w->control = std::make_unique<StaticData>();
    StaticData* d = Data(h);
    if (!d)
        return DefProc(h, message, wParam, lParam, true);
    switch (message) {
    case WM_CREATE:
        // An icon static names its icon in its text; it takes the icon's size.
        if ((w->style & SS_TYPEMASK) == SS_ICON && !w->text.empty()) {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
            std::u16string name = w->text;
            HICON icon = nullptr;
            if (name.size() > 1 && name[0] == u'#')
                icon = LoadIconW(cs->hInstance, MAKEINTRESOURCEW(std::stoi(std::string(name.begin() + 1, name.end()))));
            else
                icon = LoadIconW(cs->hInstance, name.c_str());
            if (icon)
                SendMessageW(h, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        }
        return 0;
    case STM_SETICON:
    case STM_SETIMAGE: {
        HICON icon = reinterpret_cast<HICON>(message == STM_SETICON ? wParam : LPARAM(lParam));
        HICON old = std::exchange(d->icon, icon);
        SIZE size;
        if (icon && IconInfo(icon, &size, nullptr) && !(w->style & SS_CENTERIMAGE))
            SetWindowPos(h, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (Peek(h))
            Invalidate(*Peek(h), nullptr, true, false);
        return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETICON:
    case STM_GETIMAGE: return reinterpret_cast<LRESULT>(d->icon);
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_ENABLE: Invalidate(*w, nullptr, true, false); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(h); return 0;
    }
    return DefProc(h, message, wParam, lParam, true);
}

}  // namespace yolt::user
