// The Edit class: one line of text with a selection, a length limit for typing, read-only and
// upper-case styles and EN_CHANGE notifications.
#include "platform/user/controls.h"

#include <algorithm>

#include "platform/base/wtext.h"
#include "platform/user/internal.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"

namespace yolt::user {
namespace {

struct EditData : ControlData {
    size_t limit = 30000;
    size_t selStart = 0, selEnd = 0;
};

EditData* Data(HWND h)
{
    Window* w = Peek(h);
    return w ? dynamic_cast<EditData*>(w->control.get()) : nullptr;
}

void Notify(HWND h, WORD code)
{
    Window* w = Peek(h);
    if (w && Peek(w->parent))
        SendMessageW(w->parent, WM_COMMAND, MAKEWPARAM(WORD(w->id), code), reinterpret_cast<LPARAM>(h));
}

// Replaces the selection with `text`, as far as the limit allows; returns whether anything changed.
bool ReplaceSelection(HWND h, std::u16string text, bool limited)
{
    Window* w = Peek(h);
    EditData* d = Data(h);
    size_t start = std::min(d->selStart, w->text.size()), end = std::min(d->selEnd, w->text.size());
    if (start > end)
        std::swap(start, end);
    if (w->style & ES_UPPERCASE)
        for (auto& c : text)
            c = FoldUpper(c);
    const size_t remaining = w->text.size() - (end - start);
    if (limited && remaining + text.size() > d->limit) {
        text.resize(d->limit > remaining ? d->limit - remaining : 0);
        Notify(h, EN_MAXTEXT);
        if (!(w = Peek(h)) || !(d = Data(h)))
            return false;
    }
    if (text.empty() && start == end)
        return false;
    w->text.replace(start, end - start, text);
    d->selStart = d->selEnd = start + text.size();
    Invalidate(*w, nullptr, true, false);
    return true;
}

void Paint(HWND h)
{
    Window* w = Peek(h);
    EditData* d = Data(h);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    const bool enabled = IsEnabledDeep(*w);
    FillRect(dc, &r, reinterpret_cast<HBRUSH>((enabled && !(w->style & ES_READONLY) ? COLOR_WINDOW : COLOR_BTNFACE) + 1));
    HGDIOBJ old = SelectObject(dc, FontOf(*w));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    std::u16string shown = (w->style & ES_PASSWORD) ? std::u16string(w->text.size(), u'*') : w->text;
    RECT text{r.left + 2, r.top, r.right - 2, r.bottom};
    if (S().focus == h && d->selStart != d->selEnd) {
        size_t a = std::min(d->selStart, d->selEnd), b = std::max(d->selStart, d->selEnd);
        SIZE before{}, selected{};
        GetTextExtentPoint32W(dc, shown.c_str(), int(a), &before);
        GetTextExtentPoint32W(dc, shown.c_str() + a, int(std::min(b, shown.size()) - a), &selected);
        RECT hi{text.left + before.cx, 1, text.left + before.cx + selected.cx, r.bottom - 1};
        FillRect(dc, &hi, reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1));
    }
    DrawTextW(dc, shown.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(h, &ps);
}

}  // namespace

LRESULT EditProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* w = Peek(h);
    if (!w)
        return 0;
    if (message == WM_NCCREATE)
        w->control = std::make_unique<EditData>();
    EditData* d = Data(h);
    if (!d)
        return DefProc(h, message, wParam, lParam, true);
    switch (message) {
    case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case EM_LIMITTEXT: d->limit = wParam ? size_t(wParam) : size_t(0x7FFFFFFE); return 0;
    case EM_GETLIMITTEXT: return LRESULT(d->limit);
    case EM_GETSEL:
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = DWORD(d->selStart);
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = DWORD(d->selEnd);
        return MAKELRESULT(WORD(d->selStart), WORD(d->selEnd));
    case EM_SETSEL: {
        const size_t n = w->text.size();
        LONG start = LONG(wParam), end = LONG(lParam);
        if (start < 0) {
            d->selStart = d->selEnd = n;
        } else {
            d->selStart = std::min<size_t>(size_t(start), n);
            d->selEnd = end < 0 ? n : std::min<size_t>(size_t(end), n);
        }
        Invalidate(*w, nullptr, true, false);
        return 0;
    }
    case EM_SETREADONLY:
        if (wParam)
            w->style |= ES_READONLY;
        else
            w->style &= ~DWORD(ES_READONLY);
        Invalidate(*w, nullptr, true, false);
        return TRUE;
    case EM_REPLACESEL:
        if (ReplaceSelection(h, lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"", false))
            Notify(h, EN_CHANGE);
        return 0;
    case WM_SETTEXT: {
        // Text set by the program is not held to the typing limit.
        LRESULT result = DefProc(h, message, wParam, lParam, true);
        if ((d = Data(h)))
            d->selStart = d->selEnd = 0;
        return result;
    }
    case WM_CHAR: {
        if (w->style & ES_READONLY)
            return 0;
        WCHAR c = WCHAR(wParam);
        bool changed = false;
        if (c == VK_BACK) {
            if (d->selStart == d->selEnd && d->selStart > 0)
                --d->selStart;
            changed = ReplaceSelection(h, u"", false);
        } else if (c >= 0x20) {
            if ((w->style & ES_NUMBER) && (c < u'0' || c > u'9'))
                return 0;
            changed = ReplaceSelection(h, std::u16string(1, c), true);
        }
        if (changed)
            Notify(h, EN_CHANGE);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_DELETE && !(w->style & ES_READONLY)) {
            if (d->selStart == d->selEnd)
                d->selEnd = std::min(d->selEnd + 1, w->text.size());
            if (ReplaceSelection(h, u"", false))
                Notify(h, EN_CHANGE);
        } else if (wParam == VK_HOME || wParam == VK_END) {
            d->selStart = d->selEnd = wParam == VK_HOME ? 0 : w->text.size();
            Invalidate(*w, nullptr, true, false);
        }
        return 0;
    case WM_LBUTTONDOWN: SetFocus(h); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate(*w, nullptr, true, false);
        Notify(h, message == WM_SETFOCUS ? EN_SETFOCUS : EN_KILLFOCUS);
        return 0;
    case WM_ENABLE: Invalidate(*w, nullptr, true, false); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(h); return 0;
    }
    return DefProc(h, message, wParam, lParam, true);
}

}  // namespace yolt::user
