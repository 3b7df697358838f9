// Message boxes: a dialog window with an icon, the text and a row of buttons, run modally.
#include "platform/user/messagebox.h"

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/display/presentation.h"
#include "platform/user/controls.h"
#include "platform/user/cursor.h"
#include "platform/user/dialog.h"
#include "platform/user/internal.h"

namespace yolt::user {
namespace {

struct ButtonSpec {
    int id;
    const char16_t* text;
};

std::vector<ButtonSpec> ButtonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, u"&Abort"}, {IDRETRY, u"&Retry"}, {IDIGNORE, u"&Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, u"&Yes"}, {IDNO, u"&No"}, {IDCANCEL, u"Cancel"}};
    case MB_YESNO: return {{IDYES, u"&Yes"}, {IDNO, u"&No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, u"&Retry"}, {IDCANCEL, u"Cancel"}};
    }
    return {{IDOK, u"OK"}};
}

WORD IconOf(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return 32513;
    case MB_ICONQUESTION: return 32514;
    case MB_ICONEXCLAMATION: return 32515;
    case MB_ICONASTERISK: return 32516;
    }
    return 0;
}

INT_PTR BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message != WM_COMMAND)
        return FALSE;
    DialogData* d = DialogOf(box);
    int id = LOWORD(wParam);
    if (GetDlgItem(box, id) && id != 0xFFFF && id != 20) {
        EndDialog(box, id);
        return TRUE;
    }
    // Escape (or closing) answers Cancel; an OK-only box takes it as OK.
    if (id == IDCANCEL && d && (d->box.style & MB_TYPEMASK) == MB_OK)
        EndDialog(box, IDOK);
    return TRUE;
}

}  // namespace

std::optional<MessageBoxInfo> OpenMessageBox()
{
    auto& stack = S().modalStack;
    for (auto it = stack.rbegin(); it != stack.rend(); ++it)
        if (DialogData* d = DialogOf(*it); d && d->isMessageBox && !d->ended)
            return d->box;
    return std::nullopt;
}

bool AnswerMessageBox(int id)
{
    auto info = OpenMessageBox();
    if (!info)
        return false;
    HWND button = GetDlgItem(info->box, id);
    if (!button || id == 0xFFFF || id == 20)
        return false;
    SendMessageW(button, BM_CLICK, 0, 0);
    return true;
}

bool IsMessageBox(HWND window)
{
    DialogData* d = DialogOf(window);
    return d && d->isMessageBox;
}

}  // namespace yolt::user

using namespace yolt::user;

extern "C" {

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    RegisterSystemClasses();
    if (owner && !Find(owner))
        return 0;
    HWND ownerTop = owner ? TopLevelOf(Peek(owner))->handle : nullptr;
    const std::u16string body = text ? text : u"";
    const std::u16string title = caption ? caption : u"Error";
    const std::vector<ButtonSpec> buttons = ButtonsOf(type);
    const WORD iconId = IconOf(type);

    // Layout in pixels: icon, text wrapped at 400 pixels, a centred row of 75x23 buttons.
    HFONT font = yolt::gdi::DefaultGuiFont();
    HDC measure = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFont = SelectObject(measure, font);
    RECT textRect{0, 0, 400, 0};
    DrawTextW(measure, body.c_str(), -1, &textRect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(measure, oldFont);
    DeleteDC(measure);
    const int margin = 12, iconSize = 32, buttonW = 75, buttonH = 23, gap = 6;
    const int textX = margin + (iconId ? iconSize + margin : 0);
    const int textY = margin + (iconId && textRect.bottom < iconSize ? (iconSize - textRect.bottom) / 2 : 0);
    const int rowWidth = int(buttons.size()) * buttonW + (int(buttons.size()) - 1) * gap;
    const int contentBottom = std::max(textY + int(textRect.bottom), iconId ? margin + iconSize : 0);
    const int clientW = std::max(textX + int(textRect.right) + margin, rowWidth + 2 * margin);
    const int buttonsY = contentBottom + 14;
    const int clientH = buttonsY + buttonH + margin;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | ((type & MB_TOPMOST) ? WS_EX_TOPMOST : 0);
    RECT frame{0, 0, clientW, clientH};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (Window* o = Peek(ownerTop))
        area = ScreenRect(*o);
    const int x = area.left + (area.right - area.left - width) / 2, y = area.top + (area.bottom - area.top - height) / 2;

    HWND box = CreateWindowInternal(exStyle, u"#32770", title, style, x, y, width, height, ownerTop, nullptr, nullptr,
        nullptr, true);
    if (!box)
        return 0;
    DialogData* d = DialogOf(box);
    d->proc = BoxProc;
    d->modal = true;
    d->isMessageBox = true;
    d->box = {box, ownerTop, title, body, type};
    d->font = font;
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (iconId) {
        HWND icon = CreateWindowExW(0, u"Static", u"", WS_CHILD | WS_VISIBLE | SS_ICON, margin, margin, iconSize, iconSize,
            box, reinterpret_cast<HMENU>(20), nullptr, nullptr);
        SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, MAKEINTRESOURCEW(iconId))), 0);
    }
    HWND label = CreateWindowExW(0, u"Static", body.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, textX, textY,
        textRect.right + 1, textRect.bottom, box, reinterpret_cast<HMENU>(0xFFFF), nullptr, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    size_t defaultIndex = ((type & MB_DEFMASK) >> 8);
    if (defaultIndex >= buttons.size())
        defaultIndex = 0;
    HWND defaultButton = nullptr;
    int bx = (clientW - rowWidth) / 2;
    for (size_t i = 0; i < buttons.size(); ++i) {
        DWORD bs = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? WS_GROUP : 0) |
            (i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND b = CreateWindowExW(0, u"Button", buttons[i].text, bs, bx, buttonsY, buttonW, buttonH, box,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(buttons[i].id)), nullptr, nullptr);
        SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (i == defaultIndex)
            defaultButton = b;
        bx += buttonW + gap;
    }
    if (!IsWindow(box))
        return 0;
    SendMessageW(box, WM_INITDIALOG, reinterpret_cast<WPARAM>(defaultButton), 0);
    if (!(d = DialogOf(box)))
        return 0;
    d->initialFocus = defaultButton;
    if (auto* p = yolt::display::CurrentPresentation())
        p->MessageBoxShown(d->box);
    if (ownerTop && IsWindowEnabled(ownerTop)) {
        EnableWindow(ownerTop, FALSE);
        if ((d = DialogOf(box)))
            d->disabledOwner = ownerTop;
    }
    if (IsWindow(box) && !(d = DialogOf(box))->ended)
        ShowWindow(box, SW_SHOWNORMAL);
    RunModalLoop(box, [box] { return !DialogOf(box) || DialogOf(box)->ended; }, true);
    int result = DialogOf(box) ? int(DialogOf(box)->result) : IDCANCEL;
    if (IsWindow(box))
        DestroyWindow(box);
    return result;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    std::u16string wideText = Widen(text);
    std::u16string wideCaption = Widen(caption);
    return MessageBoxW(owner, text ? wideText.c_str() : nullptr, caption ? wideCaption.c_str() : nullptr, type);
}

}  // extern "C"
