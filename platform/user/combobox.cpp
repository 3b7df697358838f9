// The ComboBox class: a list of strings with one selection, shown as a drop-down field.
// Selection by the keyboard (arrows) or by messages.
#include "platform/user/controls.h"

#include <algorithm>

#include "platform/user/internal.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"

namespace yolt::user {
namespace {

struct ComboData : ControlData {
    std::vector<std::u16string> items;
    std::vector<LPARAM> data;
    int selection = -1;
    bool dropped = false;
};

ComboData* Data(HWND h)
{
    Window* w = Peek(h);
    return w ? dynamic_cast<ComboData*>(w->control.get()) : nullptr;
}

void Notify(HWND h, WORD code)
{
    Window* w = Peek(h);
    if (w && Peek(w->parent))
        SendMessageW(w->parent, WM_COMMAND, MAKEWPARAM(WORD(w->id), code), reinterpret_cast<LPARAM>(h));
}

void Select(Window& w, ComboData& d, int index)
{
    d.selection = index;
    w.text = index >= 0 ? d.items[size_t(index)] : u"";
    Invalidate(w, nullptr, true, false);
}

// Searches after `start` (-1: from the top), wrapping around, for an item equal to or (with
// `prefix`) beginning with `text`, without regard to case.
int Search(const ComboData& d, LONG start, const std::u16string& text, bool prefix)
{
    const int n = int(d.items.size());
    if (n == 0)
        return CB_ERR;
    const std::u16string key = Upper(text);
    int first = (start < 0 || start >= n) ? 0 : int(start) + 1;
    for (int k = 0; k < n; ++k) {
        int i = (first + k) % n;
        std::u16string item = Upper(d.items[size_t(i)]);
        if (prefix ? item.compare(0, key.size(), key) == 0 : item == key)
            return i;
    }
    return CB_ERR;
}

void Paint(HWND h)
{
    Window* w = Peek(h);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    const bool enabled = IsEnabledDeep(*w);
    FillRect(dc, &r, reinterpret_cast<HBRUSH>((enabled ? COLOR_WINDOW : COLOR_BTNFACE) + 1));
    FrameRect(dc, &r, reinterpret_cast<HBRUSH>(COLOR_BTNSHADOW + 1));
    const int arrow = std::min<LONG>(17, r.bottom);
    RECT button{r.right - arrow, 1, r.right - 1, r.bottom - 1};
    FillRect(dc, &button, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    for (int i = 0; i < 4; ++i) {
        RECT line{button.left + 4 + i, r.bottom / 2 - 2 + i, button.right - 4 - i, r.bottom / 2 - 1 + i};
        FillRect(dc, &line, reinterpret_cast<HBRUSH>(enabled ? COLOR_BTNTEXT + 1 : COLOR_GRAYTEXT + 1));
    }
    HGDIOBJ old = SelectObject(dc, FontOf(*w));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    RECT text{3, 0, button.left - 2, r.bottom};
    DrawTextW(dc, w->text.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(h, &ps);
}

}  // namespace

LRESULT ComboBoxProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* w = Peek(h);
    if (!w)
        return 0;
    if (message == WM_NCCREATE)
        w->control = std::make_unique<ComboData>();
    ComboData* d = Data(h);
    if (!d)
        return DefProc(h, message, wParam, lParam, true);
    const int count = int(d->items.size());
    auto textOf = [&](LPARAM p) { return std::u16string(p ? reinterpret_cast<LPCWSTR>(p) : u""); };
    switch (message) {
    case WM_CREATE: {
        // The template's height includes the drop-down list; the field itself is one line high.
        if ((w->style & 3) != CBS_SIMPLE) {
            int height = gdi::MeasureText(FontOf(*w), u"X").cy + 8;
            SetWindowPos(h, nullptr, 0, 0, w->rect.right - w->rect.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return 0;
    }
    case CB_ADDSTRING: {
        std::u16string text = textOf(lParam);
        size_t at = d->items.size();
        if (w->style & CBS_SORT)
            at = size_t(std::upper_bound(d->items.begin(), d->items.end(), text,
                            [](const std::u16string& a, const std::u16string& b) { return Upper(a) < Upper(b); }) -
                d->items.begin());
        d->items.insert(d->items.begin() + long(at), text);
        d->data.insert(d->data.begin() + long(at), 0);
        if (d->selection >= int(at))
            ++d->selection;
        return LRESULT(at);
    }
    case CB_INSERTSTRING: {
        LONG index = LONG(wParam);
        if (index > count)
            return CB_ERR;
        size_t at = index < 0 ? d->items.size() : size_t(index);
        d->items.insert(d->items.begin() + long(at), textOf(lParam));
        d->data.insert(d->data.begin() + long(at), 0);
        if (d->selection >= int(at))
            ++d->selection;
        return LRESULT(at);
    }
    case CB_DELETESTRING: {
        LONG index = LONG(wParam);
        if (index < 0 || index >= count)
            return CB_ERR;
        d->items.erase(d->items.begin() + index);
        d->data.erase(d->data.begin() + index);
        if (d->selection == index)
            Select(*w, *d, -1);
        else if (d->selection > index)
            --d->selection;
        return LRESULT(d->items.size());
    }
    case CB_RESETCONTENT:
        d->items.clear();
        d->data.clear();
        Select(*w, *d, -1);
        return CB_OKAY;
    case CB_GETCOUNT: return count;
    case CB_GETCURSEL: return d->selection;
    case CB_SETCURSEL: {
        LONG index = LONG(wParam);
        if (index < 0 || index >= count) {
            Select(*w, *d, -1);
            return CB_ERR;
        }
        Select(*w, *d, int(index));
        return index;
    }
    case CB_GETLBTEXT: {
        LONG index = LONG(wParam);
        if (index < 0 || index >= count || !lParam)
            return CB_ERR;
        const std::u16string& item = d->items[size_t(index)];
        std::copy(item.begin(), item.end(), reinterpret_cast<WCHAR*>(lParam));
        reinterpret_cast<WCHAR*>(lParam)[item.size()] = 0;
        return LRESULT(item.size());
    }
    case CB_GETLBTEXTLEN: {
        LONG index = LONG(wParam);
        return (index < 0 || index >= count) ? CB_ERR : LRESULT(d->items[size_t(index)].size());
    }
    case CB_FINDSTRING: return Search(*d, LONG(wParam), textOf(lParam), true);
    case CB_FINDSTRINGEXACT: return Search(*d, LONG(wParam), textOf(lParam), false);
    case CB_SELECTSTRING: {
        int i = Search(*d, LONG(wParam), textOf(lParam), true);
        if (i != CB_ERR)
            Select(*w, *d, i);
        return i;
    }
    case CB_GETITEMDATA: {
        LONG index = LONG(wParam);
        return (index < 0 || index >= count) ? CB_ERR : d->data[size_t(index)];
    }
    case CB_SETITEMDATA: {
        LONG index = LONG(wParam);
        if (index < 0 || index >= count)
            return CB_ERR;
        d->data[size_t(index)] = lParam;
        return TRUE;
    }
    case CB_SHOWDROPDOWN: d->dropped = wParam != 0; return TRUE;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
        if ((wParam == VK_DOWN || wParam == VK_UP) && count > 0) {
            int next = d->selection + (wParam == VK_DOWN ? 1 : -1);
            next = std::clamp(next, 0, count - 1);
            if (next != d->selection) {
                Select(*w, *d, next);
                Notify(h, CBN_SELCHANGE);
            }
        }
        return 0;
    case WM_LBUTTONDOWN: SetFocus(h); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(*w, nullptr, true, false); return 0;
    case WM_ENABLE: Invalidate(*w, nullptr, true, false); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(h); return 0;
    }
    return DefProc(h, message, wParam, lParam, true);
}

}  // namespace yolt::user
