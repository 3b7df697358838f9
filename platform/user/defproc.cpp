// Sending messages (with text converted between narrow and UTF-16 procedures) and the default
// processing of windows, including the move loop and the system commands.
#include "platform/user/window.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/user/controls.h"
#include "platform/user/cursor.h"
#include "platform/user/internal.h"
#include "platform/user/menu.h"
#include "platform/user/paint.h"

namespace yolt::user {
namespace {

bool TakesTextIn(UINT message)
{
    switch (message) {
    case WM_SETTEXT:
    case CB_ADDSTRING:
    case CB_INSERTSTRING:
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
    case CB_SELECTSTRING:
    case EM_REPLACESEL: return true;
    }
    return false;
}

// Copies text into a caller's buffer of `size` units with a terminator; returns the count.
template <typename C>
LRESULT CopyOut(const std::basic_string<C>& text, C* buffer, size_t size)
{
    if (!buffer || size == 0)
        return 0;
    size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n * sizeof(C));
    buffer[n] = 0;
    return LRESULT(n);
}

// Calls `proc` with the message converted from the caller's text form to the procedure's.
LRESULT CallConverted(WNDPROC proc, bool procUnicode, bool callerUnicode, HWND window, UINT message, WPARAM wParam,
    LPARAM lParam)
{
    if (procUnicode == callerUnicode)
        return proc(window, message, wParam, lParam);
    if (TakesTextIn(message) && lParam) {
        if (procUnicode) {
            std::u16string wide = Widen(reinterpret_cast<LPCSTR>(lParam));
            return proc(window, message, wParam, reinterpret_cast<LPARAM>(wide.c_str()));
        }
        std::string narrow = Narrow(reinterpret_cast<LPCWSTR>(lParam));
        return proc(window, message, wParam, reinterpret_cast<LPARAM>(narrow.c_str()));
    }
    if (message == WM_GETTEXT || message == CB_GETLBTEXT) {
        // Fetch in the procedure's form into a scratch buffer, then convert for the caller.
        size_t length = 0;
        if (message == WM_GETTEXT)
            length = size_t(proc(window, WM_GETTEXTLENGTH, 0, 0));
        else {
            LRESULT l = proc(window, CB_GETLBTEXTLEN, wParam, 0);
            if (l < 0)
                return l;
            length = size_t(l);
        }
        length = length * 2 + 2;
        std::u16string wide;
        std::string narrow;
        LRESULT got;
        if (procUnicode) {
            std::vector<WCHAR> scratch(length + 1, 0);
            got = proc(window, message, message == WM_GETTEXT ? WPARAM(scratch.size()) : wParam,
                reinterpret_cast<LPARAM>(scratch.data()));
            if (got < 0)
                return got;
            narrow = Narrow(std::u16string(scratch.data()));
            if (message == WM_GETTEXT)
                return CopyOut(narrow, reinterpret_cast<char*>(lParam), size_t(wParam));
            std::strcpy(reinterpret_cast<char*>(lParam), narrow.c_str());
            return LRESULT(narrow.size());
        }
        std::vector<char> scratch(length + 1, 0);
        got = proc(window, message, message == WM_GETTEXT ? WPARAM(scratch.size()) : wParam,
            reinterpret_cast<LPARAM>(scratch.data()));
        if (got < 0)
            return got;
        wide = Widen(scratch.data());
        if (message == WM_GETTEXT)
            return CopyOut(wide, reinterpret_cast<WCHAR*>(lParam), size_t(wParam));
        std::memcpy(reinterpret_cast<WCHAR*>(lParam), wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
        return LRESULT(wide.size());
    }
    if ((message == WM_GETTEXTLENGTH || message == CB_GETLBTEXTLEN) && procUnicode && !callerUnicode) {
        // Narrow length of UTF-16 text: fetch and convert, as double-byte code pages may need more.
        if (message == WM_GETTEXTLENGTH) {
            size_t length = size_t(proc(window, WM_GETTEXTLENGTH, 0, 0));
            std::vector<WCHAR> scratch(length + 1, 0);
            proc(window, WM_GETTEXT, WPARAM(scratch.size()), reinterpret_cast<LPARAM>(scratch.data()));
            return LRESULT(Narrow(std::u16string(scratch.data())).size());
        }
    }
    return proc(window, message, wParam, lParam);
}

// Moves a window with the pointer until the left button is released (Escape puts it back).
void MoveLoop(HWND handle)
{
    State& s = S();
    Window* w = Peek(handle);
    if (!w || !s.leftDown)
        return;
    const POINT start = s.cursorPos;
    const RECT startRect = w->rect;
    SetCapture(handle);
    Send(handle, WM_ENTERSIZEMOVE, 0, 0);
    MSG msg;
    while (Peek(handle) && NextMessage(msg, nullptr, 0, 0, true, true)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            break;
        }
        const bool mouse = msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP ||
            msg.message == WM_NCMOUSEMOVE || msg.message == WM_NCLBUTTONUP;
        if (mouse) {
            SetWindowPos(handle, nullptr, startRect.left + msg.pt.x - start.x, startRect.top + msg.pt.y - start.y, 0, 0,
                SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP)
                break;
            continue;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            SetWindowPos(handle, nullptr, startRect.left, startRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST)
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (s.capture == handle)
        ReleaseCapture();
    if (Peek(handle))
        Send(handle, WM_EXITSIZEMOVE, 0, 0);
}

LRESULT HitTest(Window& w, POINT screen)
{
    RECT r = ScreenRect(w);
    if (screen.x < r.left || screen.x >= r.right || screen.y < r.top || screen.y >= r.bottom)
        return HTNOWHERE;
    POINT origin = ClientOrigin(w);
    SIZE size = ClientSize(w);
    if (screen.x >= origin.x && screen.x < origin.x + size.cx && screen.y >= origin.y && screen.y < origin.y + size.cy)
        return HTCLIENT;
    RECT in = FrameInsets(w.style, w.exStyle);
    if (screen.y >= r.top + in.left && screen.y < origin.y && (w.style & WS_CAPTION) == WS_CAPTION)
        return HTCAPTION;
    return HTBORDER;
}

void SystemCommand(HWND handle, WPARAM command, LPARAM lParam)
{
    if (CallCbtHook(HCBT_SYSCOMMAND, command, lParam))
        return;
    switch (command & 0xFFF0) {
    case SC_MOVE: MoveLoop(handle); return;
    case SC_MINIMIZE: ShowWindow(handle, SW_MINIMIZE); return;
    case SC_RESTORE: ShowWindow(handle, SW_RESTORE); return;
    case SC_CLOSE: Send(handle, WM_CLOSE, 0, 0); return;
    case SC_KEYMENU:
        if (lParam == ' ')
            TrackSystemMenu(handle);
        return;
    }
}

}  // namespace

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool callerUnicode)
{
    Window* w = Find(window);
    if (!w)
        return 0;
    return CallConverted(w->proc, w->unicode, callerUnicode, window, message, wParam, lParam);
}

LRESULT DefProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool unicode)
{
    Window* w = Find(window);
    if (!w)
        return 0;
    switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_SETTEXT:
        w->text = unicode ? std::u16string(lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"")
                          : Widen(reinterpret_cast<LPCSTR>(lParam));
        w->frameInvalid = true;
        if (w->style & WS_CHILD)
            Invalidate(*w, nullptr, true, false);
        NotifyChanged(window);
        return TRUE;
    case WM_GETTEXT:
        if (unicode)
            return CopyOut(w->text, reinterpret_cast<WCHAR*>(lParam), size_t(wParam));
        return CopyOut(Narrow(w->text), reinterpret_cast<char*>(lParam), size_t(wParam));
    case WM_GETTEXTLENGTH: return LRESULT(unicode ? w->text.size() : Narrow(w->text).size());
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        HBRUSH brush = w->cls->background;
        if (!brush)
            return 0;
        RECT r;
        GetClientRect(window, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
        return 1;
    }
    case WM_NCHITTEST: return HitTest(*w, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_SETCURSOR: {
        // A parent may decide the shape for its children first.
        if ((w->style & WS_CHILD) && Peek(w->parent) && Send(w->parent, WM_SETCURSOR, wParam, lParam))
            return TRUE;
        if (LOWORD(lParam) == HTCLIENT && w->cls->cursor) {
            SetCursor(w->cls->cursor);
            return TRUE;
        }
        if (LOWORD(lParam) != HTCLIENT)
            SetCursor(SystemCursor(32512));
        return FALSE;
    }
    case WM_MOUSEACTIVATE: return 1;
    case WM_NCLBUTTONDOWN:
        if (wParam == HTCAPTION)
            Send(window, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
        else if (wParam == HTCLOSE)
            Send(window, WM_SYSCOMMAND, SC_CLOSE, lParam);
        return 0;
    case WM_SYSCOMMAND: SystemCommand(window, wParam, lParam); return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & 0x20000000))
            Send(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCHAR:
        if (wParam == ' ' && (lParam & 0x20000000)) {
            Window* top = TopLevelOf(w);
            Send(top->handle, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam))
            SetFocus(window);
        return 0;
    case WM_SETICON: {
        HICON icon = reinterpret_cast<HICON>(lParam);
        if (wParam == ICON_BIG)
            return reinterpret_cast<LRESULT>(std::exchange(w->bigIcon, icon));
        return reinterpret_cast<LRESULT>(std::exchange(w->smallIcon, icon));
    }
    case WM_GETICON: return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? w->bigIcon : w->smallIcon);
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            Invalidate(*w, nullptr, true, false);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(w->font);
    case WM_NCPAINT: {
        DrawFrame(*w);
        return 0;
    }
    case WM_NCACTIVATE: return TRUE;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: return LRESULT(COLOR_WINDOW + 1);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return LRESULT(COLOR_BTNFACE + 1);
    }
    return 0;
}

}  // namespace yolt::user

using namespace yolt::user;

extern "C" {

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefProc(window, message, wParam, lParam, false);
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefProc(window, message, wParam, lParam, true);
}

LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!proc)
        return 0;
    return CallConverted(proc, IsUnicodeProc(proc), false, window, message, wParam, lParam);
}

LRESULT CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!proc)
        return 0;
    return CallConverted(proc, IsUnicodeProc(proc), true, window, message, wParam, lParam);
}

}  // extern "C"
