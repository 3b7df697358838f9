// The Button class: push and default push buttons, check boxes, radio buttons and group boxes.
#include "platform/user/controls.h"

#include "platform/user/internal.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"

namespace yolt::user {
namespace {

struct ButtonData : ControlData {
    UINT check = BST_UNCHECKED;
    bool pushed = false;
    bool focused = false;
};

ButtonData* Data(HWND h)
{
    Window* w = Peek(h);
    return w ? dynamic_cast<ButtonData*>(w->control.get()) : nullptr;
}

DWORD TypeOf(HWND h)
{
    Window* w = Peek(h);
    return w ? (w->style & BS_TYPEMASK) : 0;
}

bool IsCheckType(DWORD type)
{
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
}

bool IsRadioType(DWORD type)
{
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

// Unchecks the other automatic radio buttons of the group (siblings between WS_GROUP marks).
void UncheckGroup(HWND h)
{
    Window* w = Peek(h);
    Window* parent = w ? Peek(w->parent) : nullptr;
    if (!parent)
        return;
    auto& siblings = parent->children;
    size_t at = 0;
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i] == h)
            at = i;
    size_t start = at;
    while (start > 0 && !(Peek(siblings[start])->style & WS_GROUP))
        --start;
    for (size_t i = start; i < siblings.size(); ++i) {
        if (i > start && (Peek(siblings[i])->style & WS_GROUP))
            break;
        if (siblings[i] != h && TypeOf(siblings[i]) == BS_AUTORADIOBUTTON && Upper(Peek(siblings[i])->cls->name) == u"BUTTON")
            SendMessageW(siblings[i], BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

void Clicked(HWND h)
{
    ButtonData* d = Data(h);
    if (!d)
        return;
    switch (TypeOf(h)) {
    case BS_AUTOCHECKBOX: SendMessageW(h, BM_SETCHECK, d->check ? BST_UNCHECKED : BST_CHECKED, 0); break;
    case BS_AUTO3STATE: SendMessageW(h, BM_SETCHECK, (d->check + 1) % 3, 0); break;
    case BS_AUTORADIOBUTTON:
        SendMessageW(h, BM_SETCHECK, BST_CHECKED, 0);
        UncheckGroup(h);
        break;
    }
    Window* w = Peek(h);
    if (w && Peek(w->parent))
        SendMessageW(w->parent, WM_COMMAND, MAKEWPARAM(WORD(w->id), BN_CLICKED), reinterpret_cast<LPARAM>(h));
}

void Paint(HWND h)
{
    Window* w = Peek(h);
    ButtonData* d = Data(h);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    const DWORD type = TypeOf(h);
    HGDIOBJ oldFont = SelectObject(dc, FontOf(*w));
    SetBkMode(dc, TRANSPARENT);
    const bool enabled = IsEnabledDeep(*w);
    SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    HBRUSH shadow = reinterpret_cast<HBRUSH>(COLOR_BTNSHADOW + 1);
    HBRUSH light = reinterpret_cast<HBRUSH>(COLOR_BTNHIGHLIGHT + 1);
    HBRUSH dark = reinterpret_cast<HBRUSH>(COLOR_3DDKSHADOW + 1);
    if (type == BS_GROUPBOX) {
        SIZE text{};
        GetTextExtentPoint32W(dc, w->text.c_str(), int(w->text.size()), &text);
        RECT frame{0, text.cy / 2, r.right, r.bottom};
        FrameRect(dc, &frame, shadow);
        RECT label{8, 0, 8 + text.cx + 4, text.cy};
        FillBackground(h, dc, label);
        label.left += 2;
        DrawTextW(dc, w->text.c_str(), -1, &label, DT_LEFT | DT_SINGLELINE);
    } else if (IsCheckType(type) || IsRadioType(type)) {
        FillBackground(h, dc, r);
        const int box = 13, top = (r.bottom - box) / 2;
        RECT b{0, top, box, top + box};
        FillRect(dc, &b, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        FrameRect(dc, &b, shadow);
        if (d->check == BST_CHECKED || d->check == BST_INDETERMINATE) {
            RECT mark{3, top + 3, box - 3, top + box - 3};
            FillRect(dc, &mark, d->check == BST_CHECKED ? dark : shadow);
        }
        RECT label{box + 4, 0, r.right, r.bottom};
        DrawTextW(dc, w->text.c_str(), -1, &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    } else {
        FillRect(dc, &r, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        RECT outer = r;
        if (type == BS_DEFPUSHBUTTON) {
            FrameRect(dc, &outer, dark);
            outer = {1, 1, r.right - 1, r.bottom - 1};
        }
        RECT topEdge{outer.left, outer.top, outer.right, outer.top + 1}, leftEdge{outer.left, outer.top, outer.left + 1, outer.bottom};
        RECT bottomEdge{outer.left, outer.bottom - 1, outer.right, outer.bottom}, rightEdge{outer.right - 1, outer.top, outer.right, outer.bottom};
        FillRect(dc, &topEdge, d->pushed ? dark : light);
        FillRect(dc, &leftEdge, d->pushed ? dark : light);
        FillRect(dc, &bottomEdge, d->pushed ? light : dark);
        FillRect(dc, &rightEdge, d->pushed ? light : dark);
        RECT label = r;
        if (d->pushed)
            label.left += 1, label.top += 1;
        DrawTextW(dc, w->text.c_str(), -1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(dc, oldFont);
    EndPaint(h, &ps);
}

}  // namespace

LRESULT ButtonProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* w = Peek(h);
    if (!w)
        return 0;
    if (message == WM_NCCREATE)
        w->control = std::make_unique<ButtonData>();
    ButtonData* d = Data(h);
    if (!d)
        return DefProc(h, message, wParam, lParam, true);
    const DWORD type = TypeOf(h);
    switch (message) {
    case WM_GETDLGCODE:
        if (type == BS_DEFPUSHBUTTON)
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        if (type == BS_PUSHBUTTON)
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        if (IsRadioType(type))
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        if (type == BS_GROUPBOX)
            return DLGC_STATIC;
        return DLGC_BUTTON;
    case WM_NCHITTEST:
        if (type == BS_GROUPBOX)
            return HTTRANSPARENT;
        return DefProc(h, message, wParam, lParam, true);
    case BM_GETCHECK: return (IsCheckType(type) || IsRadioType(type)) ? d->check : BST_UNCHECKED;
    case BM_SETCHECK:
        if (IsCheckType(type) || IsRadioType(type)) {
            UINT value = UINT(wParam);
            if (value == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE)
                value = BST_CHECKED;
            d->check = value;
            Invalidate(*w, nullptr, true, false);
        }
        return 0;
    case BM_GETSTATE: return d->check | (d->pushed ? BST_PUSHED : 0) | (d->focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
        d->pushed = wParam != 0;
        Invalidate(*w, nullptr, true, false);
        return 0;
    case BM_SETSTYLE:
        w->style = (w->style & ~0xFFFFu) | LOWORD(wParam);
        if (lParam)
            Invalidate(*w, nullptr, true, false);
        return 0;
    case BM_CLICK: Clicked(h); return 0;
    case WM_LBUTTONDOWN:
        SetCapture(h);
        if (type != BS_GROUPBOX && (w->style & WS_TABSTOP))
            SetFocus(h);
        if ((d = Data(h))) {
            d->pushed = true;
            Invalidate(*w, nullptr, true, false);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == h) {
            RECT r;
            GetClientRect(h, &r);
            int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
            bool inside = x >= 0 && y >= 0 && x < r.right && y < r.bottom;
            if (inside != d->pushed) {
                d->pushed = inside;
                Invalidate(*w, nullptr, true, false);
            }
        }
        return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() != h)
            return 0;
        ReleaseCapture();
        RECT r;
        GetClientRect(h, &r);
        int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        bool inside = x >= 0 && y >= 0 && x < r.right && y < r.bottom;
        if ((d = Data(h))) {
            d->pushed = false;
            Invalidate(*w, nullptr, true, false);
        }
        if (inside)
            Clicked(h);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            d->pushed = true;
            Invalidate(*w, nullptr, true, false);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && d->pushed) {
            d->pushed = false;
            Invalidate(*w, nullptr, true, false);
            Clicked(h);
        }
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        d->focused = message == WM_SETFOCUS;
        Invalidate(*w, nullptr, true, false);
        return 0;
    case WM_ENABLE: Invalidate(*w, nullptr, true, false); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(h); return 0;
    }
    return DefProc(h, message, wParam, lParam, true);
}

}  // namespace yolt::user
