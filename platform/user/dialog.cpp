// Dialogs: creation from templates in dialog units, the dialog class's procedure (dialog
// procedure first, then the dialog manager's defaults), modal loops and keyboard handling.
#include "platform/user/dialog.h"

#include <map>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/resources/dialog_template.h"
#include "platform/user/controls.h"
#include "platform/user/cursor.h"
#include "platform/user/internal.h"
#include "platform/user/paint.h"

namespace yolt::user {
namespace {

std::map<std::pair<HINSTANCE, int>, DialogTemplate>& Registered()
{
    static std::map<std::pair<HINSTANCE, int>, DialogTemplate> templates;
    return templates;
}

bool LoadTemplate(HINSTANCE instance, const std::u16string& name, DialogTemplate& out)
{
    if (name.size() > 1 && name[0] == u'#') {
        int id = std::stoi(std::string(name.begin() + 1, name.end()));
        auto it = Registered().find({instance, id});
        if (it != Registered().end()) {
            out = it->second;
            return true;
        }
    }
    auto bytes = ResourceBytes(instance, 5, name);
    if (!bytes || !ParseDialogTemplate(bytes->data(), bytes->size(), out)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return false;
    }
    return true;
}

bool Focusable(HWND h)
{
    Window* w = Peek(h);
    return w && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED) && (w->style & WS_TABSTOP);
}

HWND FirstTabStop(HWND dialog)
{
    Window* d = Peek(dialog);
    if (!d)
        return nullptr;
    for (HWND c : d->children)
        if (Focusable(c))
            return c;
    return nullptr;
}

HWND NextTabStop(HWND dialog, HWND from)
{
    Window* d = Peek(dialog);
    if (!d || d->children.empty())
        return nullptr;
    auto& c = d->children;
    size_t start = 0;
    for (size_t i = 0; i < c.size(); ++i)
        if (c[i] == from)
            start = i + 1;
    for (size_t n = 0; n < c.size(); ++n) {
        HWND h = c[(start + n) % c.size()];
        if (Focusable(h))
            return h;
    }
    return nullptr;
}

HWND DefaultButton(HWND dialog)
{
    Window* d = Peek(dialog);
    if (!d)
        return nullptr;
    for (HWND c : d->children) {
        Window* cw = Peek(c);
        if (cw && Upper(cw->cls->name) == u"BUTTON" && (cw->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return c;
    }
    return nullptr;
}

// Turns a child control of the dialog into the default push button (and the old one back).
void SetDefaultId(HWND dialog, int id)
{
    Window* d = Peek(dialog);
    if (!d)
        return;
    for (HWND c : d->children) {
        Window* cw = Peek(c);
        if (!cw || Upper(cw->cls->name) != u"BUTTON")
            continue;
        DWORD type = cw->style & BS_TYPEMASK;
        if (type == BS_DEFPUSHBUTTON && cw->id != id)
            SendMessageW(c, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        else if (type == BS_PUSHBUTTON && cw->id == id)
            SendMessageW(c, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    }
}

LRESULT DialogDefaults(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogData* d = DialogOf(dialog);
    switch (message) {
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(dialog, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        return 1;
    }
    case WM_CLOSE: {
        HWND cancel = GetDlgItem(dialog, IDCANCEL);
        if (cancel && !IsWindowEnabled(cancel))
            return 0;
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case WM_ACTIVATE: {
        Window* w = Peek(dialog);
        if (LOWORD(wParam) == WA_INACTIVE || !w)
            return 0;
        HWND target = nullptr;
        if (Peek(w->lastFocus) && IsChild(dialog, w->lastFocus))
            target = w->lastFocus;
        else if (d && Peek(d->initialFocus))
            target = d->initialFocus;
        else
            target = FirstTabStop(dialog);
        SetFocus(target ? target : dialog);
        return 0;
    }
    case DM_GETDEFID: {
        HWND b = DefaultButton(dialog);
        return b ? MAKELRESULT(WORD(GetDlgCtrlID(b)), DC_HASDEFID) : 0;
    }
    case DM_SETDEFID: SetDefaultId(dialog, int(wParam)); return TRUE;
    case WM_SETFONT:
        if (d)
            d->font = reinterpret_cast<HFONT>(wParam);
        return DefProc(dialog, message, wParam, lParam, true);
    case WM_GETFONT: return reinterpret_cast<LRESULT>(d ? d->font : nullptr);
    case WM_INITDIALOG: return FALSE;
    case WM_NCDESTROY: {
        if (d && d->ownsFont && d->font)
            DeleteObject(d->font);
        if (d)
            d->font = nullptr;
        return 0;
    }
    }
    return DefProc(dialog, message, wParam, lParam, true);
}

HWND CreateFromTemplate(HINSTANCE instance, const DialogTemplate& t, HWND owner, DLGPROC proc, LPARAM param, bool modal)
{
    RegisterSystemClasses();
    DWORD style = t.style;
    DWORD exStyle = t.exStyle;
    if (style & DS_MODALFRAME)
        exStyle |= WS_EX_DLGMODALFRAME;
    HFONT font = gdi::DefaultGuiFont();
    bool ownsFont = false;
    if (style & DS_SETFONT) {
        LOGFONTW lf{};
        lf.lfHeight = -MulDiv(t.pointSize ? t.pointSize : 8, 96, 72);
        lf.lfWeight = FW_NORMAL;
        for (size_t i = 0; i < t.fontName.size() && i < LF_FACESIZE - 1; ++i)
            lf.lfFaceName[i] = t.fontName[i];
        font = CreateFontIndirectW(&lf);
        ownsFont = true;
    }
    const SIZE base = gdi::FontBaseUnits(font);
    auto px = [&](int x) { return MulDiv(x, base.cx, 4); };
    auto py = [&](int y) { return MulDiv(y, base.cy, 8); };
    RECT r{0, 0, px(t.cx), py(t.cy)};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    const int width = r.right - r.left, height = r.bottom - r.top;
    int x = px(t.x), y = py(t.y);
    Window* ownerWindow = Peek(owner);
    if (style & DS_CENTER) {
        RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (ownerWindow)
            area = ScreenRect(*ownerWindow);
        x = area.left + (area.right - area.left - width) / 2;
        y = area.top + (area.bottom - area.top - height) / 2;
    } else if (ownerWindow && !(style & DS_ABSALIGN)) {
        POINT o = ClientOrigin(*ownerWindow);
        x += o.x;
        y += o.y;
    }
    HWND dialog = CreateWindowInternal(exStyle, u"#32770", t.caption, style & ~WS_VISIBLE, x, y, width, height, owner,
        nullptr, instance, nullptr, true);
    if (!dialog) {
        if (ownsFont)
            DeleteObject(font);
        return nullptr;
    }
    DialogData* d = DialogOf(dialog);
    d->proc = proc;
    d->modal = modal;
    d->baseUnits = base;
    d->font = font;
    d->ownsFont = ownsFont;
    if (style & DS_SETFONT)
        SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (const DialogItemTemplate& item : t.items) {
        HWND control = CreateWindowInternal(item.exStyle | WS_EX_NOPARENTNOTIFY, item.className, item.text,
            item.style | WS_CHILD, px(item.x), py(item.y), px(item.cx), py(item.cy), dialog,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance, nullptr, true);
        if (!IsWindow(dialog))
            return nullptr;
        if (!control) {
            DestroyWindow(dialog);
            return nullptr;
        }
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    HWND first = FirstTabStop(dialog);
    LRESULT focus = SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!IsWindow(dialog))
        return nullptr;
    d = DialogOf(dialog);
    if (focus && first)
        d->initialFocus = first;
    if ((t.style & WS_VISIBLE) && !d->ended)
        ShowWindow(dialog, SW_SHOWNORMAL);
    return dialog;
}

}  // namespace

DialogData* DialogOf(HWND window)
{
    Window* w = Peek(window);
    return w ? dynamic_cast<DialogData*>(w->control.get()) : nullptr;
}

LRESULT DialogProcOfClass(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* w = Peek(dialog);
    if (!w)
        return 0;
    if (message == WM_NCCREATE && !w->control)
        w->control = std::make_unique<DialogData>();
    DialogData* d = DialogOf(dialog);
    if (d && d->proc) {
        d->msgResult = 0;
        INT_PTR handled = d->proc(dialog, message, wParam, lParam);
        if (!IsWindow(dialog))
            return handled;
        switch (message) {
        case WM_INITDIALOG:
        case WM_QUERYDRAGICON:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            if (handled || message == WM_INITDIALOG)
                return handled;
            break;
        default:
            if (handled)
                return DialogOf(dialog) ? DialogOf(dialog)->msgResult : 0;
        }
    }
    return DialogDefaults(dialog, message, wParam, lParam);
}

void RegisterDialogTemplate(HINSTANCE module, int id, DialogTemplate dialogTemplate)
{
    Registered()[{module, id}] = std::move(dialogTemplate);
}

HWND CreateDialogFromTemplate(HINSTANCE instance, const DialogTemplate& t, HWND owner, DLGPROC proc, LPARAM param)
{
    return CreateFromTemplate(instance, t, owner, proc, param, false);
}

INT_PTR DialogBoxFromTemplate(HINSTANCE instance, const DialogTemplate& t, HWND owner, DLGPROC proc, LPARAM param)
{
    if (owner) {
        Window* o = Find(owner);
        if (!o)
            return -1;
        owner = TopLevelOf(o)->handle;
    }
    HWND dialog = CreateFromTemplate(instance, t, owner, proc, param, true);
    if (!dialog)
        return -1;
    DialogData* d = DialogOf(dialog);
    if (!d->ended) {
        if (owner && IsWindowEnabled(owner)) {
            EnableWindow(owner, FALSE);
            d->disabledOwner = owner;
        }
        if (!IsWindowVisible(dialog))
            ShowWindow(dialog, SW_SHOWNORMAL);
        RunModalLoop(dialog, [dialog] { return !DialogOf(dialog) || DialogOf(dialog)->ended; }, true);
    }
    INT_PTR result = DialogOf(dialog) ? DialogOf(dialog)->result : -1;
    if (IsWindow(dialog))
        DestroyWindow(dialog);
    return result;
}

}  // namespace yolt::user

using namespace yolt::user;

extern "C" {

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    DialogTemplate t;
    if (!LoadTemplate(instance, ResourceNameOf(name), t))
        return -1;
    return DialogBoxFromTemplate(instance, t, owner, proc, param);
}

INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    DialogTemplate t;
    if (!LoadTemplate(instance, ResourceNameOf(name), t))
        return -1;
    return DialogBoxFromTemplate(instance, t, owner, proc, param);
}

HWND CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    DialogTemplate t;
    if (!LoadTemplate(instance, ResourceNameOf(name), t))
        return nullptr;
    return CreateFromTemplate(instance, t, owner, proc, param, false);
}

HWND CreateDialogParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    DialogTemplate t;
    if (!LoadTemplate(instance, ResourceNameOf(name), t))
        return nullptr;
    return CreateFromTemplate(instance, t, owner, proc, param, false);
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    DialogData* d = DialogOf(dialog);
    if (!d) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    d->ended = true;
    d->result = result;
    // The owner comes back before the dialog is hidden, so the activation returns to it.
    if (HWND owner = std::exchange(d->disabledOwner, nullptr); owner && IsWindow(owner))
        EnableWindow(owner, TRUE);
    ShowWindow(dialog, SW_HIDE);
    // Wakes the modal loop, which may be waiting for input.
    PostMessageW(dialog, WM_NULL, 0, 0);
    return TRUE;
}

BOOL IsDialogMessageW(HWND dialog, LPMSG msg)
{
    if (!msg || !Peek(dialog) || !msg->hwnd)
        return FALSE;
    if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))
        return FALSE;
    if (msg->message == WM_KEYDOWN) {
        LRESULT code = SendMessageW(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
        if (!(code & DLGC_WANTALLKEYS)) {
            switch (msg->wParam) {
            case VK_RETURN: {
                int id = IDOK;
                HWND focus = GetFocus();
                LRESULT focusCode = focus ? SendMessageW(focus, WM_GETDLGCODE, 0, 0) : 0;
                if (focus && IsChild(dialog, focus) && (focusCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
                    id = GetDlgCtrlID(focus);
                else if (LRESULT def = SendMessageW(dialog, DM_GETDEFID, 0, 0); HIWORD(def) == DC_HASDEFID)
                    id = LOWORD(def);
                HWND button = GetDlgItem(dialog, id);
                if (button && !IsWindowEnabled(button))
                    return TRUE;
                SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
                return TRUE;
            }
            case VK_ESCAPE: {
                HWND cancel = GetDlgItem(dialog, IDCANCEL);
                if (cancel && !IsWindowEnabled(cancel))
                    return TRUE;
                SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
                return TRUE;
            }
            case VK_TAB:
                if (!(code & DLGC_WANTTAB)) {
                    if (HWND next = NextTabStop(dialog, GetFocus()))
                        SetFocus(next);
                    return TRUE;
                }
                break;
            }
        }
    }
    if (msg->message == WM_CHAR && (msg->wParam == '\r' || msg->wParam == 0x1B)) {
        LRESULT code = SendMessageW(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
        if (!(code & DLGC_WANTALLKEYS))
            return TRUE;
    }
    TranslateMessage(msg);
    DispatchMessageW(msg);
    return TRUE;
}

BOOL IsDialogMessageA(HWND dialog, LPMSG msg)
{
    return IsDialogMessageW(dialog, msg);
}

LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DialogProcOfClass(dialog, message, wParam, lParam);
}

LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(DialogProcOfClass, dialog, message, wParam, lParam);
}

BOOL MapDialogRect(HWND dialog, LPRECT rect)
{
    DialogData* d = DialogOf(dialog);
    if (!d || !rect) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    rect->left = MulDiv(rect->left, d->baseUnits.cx, 4);
    rect->right = MulDiv(rect->right, d->baseUnits.cx, 4);
    rect->top = MulDiv(rect->top, d->baseUnits.cy, 8);
    rect->bottom = MulDiv(rect->bottom, d->baseUnits.cy, 8);
    return TRUE;
}

LONG GetDialogBaseUnits()
{
    SIZE base = yolt::gdi::FontBaseUnits(yolt::gdi::DefaultGuiFont());
    return MAKELONG(WORD(base.cx), WORD(base.cy));
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? SetWindowTextA(item, text) : FALSE;
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? SetWindowTextW(item, text) : FALSE;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size)
{
    HWND item = GetDlgItem(dialog, id);
    if (!item) {
        if (buffer && size > 0)
            buffer[0] = 0;
        return 0;
    }
    return UINT(GetWindowTextA(item, buffer, size));
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size)
{
    HWND item = GetDlgItem(dialog, id);
    if (!item) {
        if (buffer && size > 0)
            buffer[0] = 0;
        return 0;
    }
    return UINT(GetWindowTextW(item, buffer, size));
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessageA(item, message, wParam, lParam) : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check)
{
    HWND item = GetDlgItem(dialog, id);
    if (!item)
        return FALSE;
    SendMessageW(item, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? UINT(SendMessageW(item, BM_GETCHECK, 0, 0)) : 0;
}

}  // extern "C"

namespace yolt::user {

bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate& out)
{
    auto parsed = rsrc::ParseDialogTemplate(data, size);
    if (!parsed)
        return false;
    auto nameOf = [](const rsrc::NameOrOrdinal& n) -> std::u16string {
        if (!n.isOrdinal)
            return n.text;
        switch (n.ordinal) {
        case DialogClassButton: return u"Button";
        case DialogClassEdit: return u"Edit";
        case DialogClassStatic: return u"Static";
        case DialogClassListBox: return u"ListBox";
        case DialogClassScrollBar: return u"ScrollBar";
        case DialogClassComboBox: return u"ComboBox";
        }
        return u"#" + WideFromUtf8(std::to_string(n.ordinal));
    };
    out = DialogTemplate{};
    out.style = parsed->style;
    out.exStyle = parsed->exStyle;
    out.x = parsed->x;
    out.y = parsed->y;
    out.cx = parsed->cx;
    out.cy = parsed->cy;
    out.caption = parsed->caption;
    out.fontName = parsed->faceName;
    out.pointSize = parsed->pointSize ? parsed->pointSize : 8;
    for (const auto& item : parsed->items) {
        DialogItemTemplate i;
        i.className = nameOf(item.windowClass);
        // An ordinal text names a resource (the icon of an icon static).
        i.text = item.text.isOrdinal ? u"#" + WideFromUtf8(std::to_string(item.text.ordinal)) : item.text.text;
        i.id = int(item.id);
        i.style = item.style;
        i.exStyle = item.exStyle;
        i.x = item.x;
        i.y = item.y;
        i.cx = item.cx;
        i.cy = item.cy;
        out.items.push_back(std::move(i));
    }
    return true;
}

}  // namespace yolt::user
