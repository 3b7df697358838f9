// The message queue: posted messages and input in arrival order, then WM_PAINT, then due
// timers; waiting goes through the presentation. Also input injection and modal loops.
#include "platform/user/message.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/display/presentation.h"
#include "platform/machine/machine.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/internal.h"

namespace yolt::user {
namespace {

bool InRange(UINT message, UINT first, UINT last)
{
    return (first == 0 && last == 0) || (message >= first && message <= last);
}

bool MatchesWindow(HWND window, HWND filter)
{
    return !filter || window == filter || IsChild(filter, window);
}

bool IsMouseMessage(UINT m)
{
    return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCLBUTTONDBLCLK);
}

// Bookkeeping when an input message leaves the queue: key and button state, the CBT hook's
// skipped-input notifications and the pointer shape.
void InputTaken(const QueuedMessage& q)
{
    State& s = S();
    const MSG& m = q.msg;
    if (IsMouseMessage(m.message)) {
        if (m.message == WM_LBUTTONDOWN || m.message == WM_NCLBUTTONDOWN)
            s.leftDown = true;
        if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP)
            s.leftDown = false;
        MOUSEHOOKSTRUCT info{m.pt, m.hwnd, UINT(q.hitTest), 0};
        CallCbtHook(HCBT_CLICKSKIPPED, m.message, reinterpret_cast<LPARAM>(&info));
        if (!s.capture && Peek(m.hwnd) && (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE ||
                                              m.message == WM_LBUTTONDOWN || m.message == WM_NCLBUTTONDOWN))
            Send(m.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(m.hwnd), MAKELPARAM(q.hitTest, m.message));
        return;
    }
    if (m.message == WM_SYSKEYDOWN || m.message == WM_KEYDOWN)
        s.altDown = (m.lParam & 0x20000000) != 0;
    if (m.message == WM_SYSKEYUP || m.message == WM_KEYUP)
        s.altDown = false;
    CallCbtHook(HCBT_KEYSKIPPED, m.wParam, m.lParam);
}

bool WaitForMore()
{
    auto due = NextTimerDue();
    if (auto* p = display::CurrentPresentation())
        return p->WaitForEvents(due);
    if (!due)
        return false;
    uint64_t now = NowMs();
    if (*due > now)
        machine::CurrentMachine().GetClock().Sleep(uint32_t(*due - now));
    return true;
}

}  // namespace

uint64_t NowMs()
{
    return machine::CurrentMachine().GetClock().NowMs();
}

std::optional<uint64_t> NextTimerDue()
{
    std::optional<uint64_t> due;
    for (const Timer& t : S().timers)
        if (!due || t.due < *due)
            due = t.due;
    return due;
}

void KillWindowTimers(HWND window)
{
    auto& timers = S().timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.window == window; }),
        timers.end());
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    State& s = S();
    QueuedMessage q;
    q.msg = {window, message, wParam, lParam, DWORD(NowMs()), s.cursorPos};
    s.queue.push_back(q);
}

bool NextMessage(MSG& out, HWND filter, UINT first, UINT last, bool remove, bool wait)
{
    State& s = S();
    for (;;) {
        for (auto it = s.queue.begin(); it != s.queue.end(); ++it) {
            if (!MatchesWindow(it->msg.hwnd, filter) || !InRange(it->msg.message, first, last))
                continue;
            QueuedMessage q = *it;
            if (remove) {
                s.queue.erase(it);
                if (q.input)
                    InputTaken(q);
            }
            out = q.msg;
            s.lastMessage = out;
            return true;
        }
        if (s.quit && !filter) {
            out = {nullptr, WM_QUIT, WPARAM(s.quitCode), 0, DWORD(NowMs()), s.cursorPos};
            if (remove)
                s.quit = false;
            return true;
        }
        if (InRange(WM_PAINT, first, last)) {
            if (HWND p = NextWindowToPaint(); p && MatchesWindow(p, filter)) {
                Window* w = Peek(p);
                if (w->frameInvalid && !w->invalid) {
                    w->frameInvalid = false;
                    Send(p, WM_NCPAINT, 1, 0);
                    NotifyChanged(p);
                    continue;
                }
                out = {p, WM_PAINT, 0, 0, DWORD(NowMs()), s.cursorPos};
                return true;
            }
        }
        if (InRange(WM_TIMER, first, last)) {
            const uint64_t now = NowMs();
            Timer* due = nullptr;
            for (Timer& t : s.timers)
                if (t.due <= now && MatchesWindow(t.window, filter) && (!due || t.due < due->due))
                    due = &t;
            if (due) {
                out = {due->window, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->proc), DWORD(now), s.cursorPos};
                if (remove)
                    due->due = now + due->elapse;
                return true;
            }
        }
        if (!wait)
            return false;
        ++s.waitingLoops;
        bool more = WaitForMore();
        --s.waitingLoops;
        if (!more) {
            std::fprintf(stderr, "yolt: a message loop waits, but no input and no timer can ever come\n");
            std::fflush(stdout);
            std::exit(4);
        }
    }
}

void RunModalLoop(HWND window, const std::function<bool()>& done, bool dialogKeys)
{
    State& s = S();
    s.modalStack.push_back(window);
    MSG msg;
    while (Peek(window) && !done()) {
        if (!NextMessage(msg, nullptr, 0, 0, true, true))
            break;
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            break;
        }
        if (dialogKeys && IsDialogMessageW(window, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    auto& stack = s.modalStack;
    auto it = std::find(stack.rbegin(), stack.rend(), window);
    if (it != stack.rend())
        stack.erase(std::next(it).base());
}

void InjectMouse(MouseAction action, POINT screen)
{
    State& s = S();
    s.cursorPos = screen;
    static bool physicalLeft = false;
    if (action == MouseAction::LeftDown)
        physicalLeft = true;
    if (action == MouseAction::LeftUp)
        physicalLeft = false;
    HWND target = s.capture;
    LRESULT hit = HTCLIENT;
    if (!target) {
        target = WindowFromPoint(screen);
        if (!target)
            return;
        for (;;) {
            hit = Send(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
            Window* w = Peek(target);
            if (hit != HTTRANSPARENT || !w || !(w->style & WS_CHILD))
                break;
            target = w->parent;
        }
        Window* w = Peek(target);
        if (!w || !IsEnabledDeep(*w))
            return;
        if (action == MouseAction::LeftDown) {
            Window* top = TopLevelOf(w);
            if (top->handle != s.active)
                ActivateWindow(top->handle, true);
        }
    }
    Window* w = Peek(target);
    if (!w)
        return;
    QueuedMessage q;
    q.input = true;
    q.hitTest = int(hit);
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    if (hit == HTCLIENT || s.capture) {
        POINT origin = ClientOrigin(*w);
        message = action == MouseAction::Move ? WM_MOUSEMOVE
            : action == MouseAction::LeftDown ? WM_LBUTTONDOWN
                                              : WM_LBUTTONUP;
        wParam = physicalLeft ? MK_LBUTTON : 0;
        lParam = MAKELPARAM(WORD(screen.x - origin.x), WORD(screen.y - origin.y));
    } else {
        message = action == MouseAction::Move ? WM_NCMOUSEMOVE
            : action == MouseAction::LeftDown ? WM_NCLBUTTONDOWN
                                              : WM_NCLBUTTONUP;
        wParam = WPARAM(hit);
        lParam = MAKELPARAM(WORD(screen.x), WORD(screen.y));
    }
    q.msg = {target, message, wParam, lParam, DWORD(NowMs()), screen};
    s.queue.push_back(q);
}

void InjectKey(UINT virtualKey, bool alt)
{
    State& s = S();
    HWND target = s.focus ? s.focus : s.active;
    if (!Peek(target))
        return;
    const LPARAM context = alt ? 0x20000000 : 0;
    QueuedMessage down, up;
    down.input = up.input = true;
    down.msg = {target, UINT(alt ? WM_SYSKEYDOWN : WM_KEYDOWN), virtualKey, 1 | context, DWORD(NowMs()), s.cursorPos};
    up.msg = {target, UINT(alt ? WM_SYSKEYUP : WM_KEYUP), virtualKey, LPARAM(0xC0000001) | context, DWORD(NowMs()),
        s.cursorPos};
    s.queue.push_back(down);
    s.queue.push_back(up);
}

void PumpMessages()
{
    MSG msg;
    while (NextMessage(msg, nullptr, 0, 0, true, false)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            return;
        }
        Window* w = Peek(msg.hwnd);
        Window* top = TopLevelOf(w);
        if (top && DialogOf(top->handle) && IsDialogMessageW(top->handle, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::optional<uint64_t> NextTimerDuePublic()
{
    return NextTimerDue();
}

int WaitingLoops()
{
    return S().waitingLoops;
}

HWND InnermostModalWindow()
{
    auto& stack = S().modalStack;
    for (auto it = stack.rbegin(); it != stack.rend(); ++it)
        if (Peek(*it))
            return *it;
    return nullptr;
}

std::vector<HWND> TopLevelWindows()
{
    return S().zOrder;
}

}  // namespace yolt::user

using namespace yolt::user;

extern "C" {

BOOL GetMessageA(LPMSG msg, HWND window, UINT first, UINT last)
{
    return GetMessageW(msg, window, first, last);
}

BOOL GetMessageW(LPMSG msg, HWND window, UINT first, UINT last)
{
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (window && !Find(window))
        return -1;
    NextMessage(*msg, window, first, last, true, true);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT remove)
{
    return PeekMessageW(msg, window, first, last, remove);
}

BOOL PeekMessageW(LPMSG msg, HWND window, UINT first, UINT last, UINT remove)
{
    if (!msg)
        return FALSE;
    return NextMessage(*msg, window, first, last, (remove & PM_REMOVE) != 0, false) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return FALSE;
    WPARAM vk = msg->wParam;
    WCHAR c = 0;
    if (vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_BACK || vk == VK_TAB || vk == VK_SPACE)
        c = WCHAR(vk);
    else if (vk >= '0' && vk <= '9')
        c = WCHAR(vk);
    else if (vk >= 'A' && vk <= 'Z')
        c = WCHAR(vk - 'A' + 'a');
    if (!c)
        return FALSE;
    QueuedMessage q;
    q.msg = *msg;
    q.msg.message = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    q.msg.wParam = c;
    S().queue.push_front(q);
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!msg)
        return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, DWORD(NowMs()));
        return 0;
    }
    if (!msg->hwnd)
        return 0;
    return Send(msg->hwnd, msg->message, msg->wParam, msg->lParam, false);
}

LRESULT DispatchMessageW(const MSG* msg)
{
    if (!msg)
        return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, DWORD(NowMs()));
        return 0;
    }
    if (!msg->hwnd)
        return 0;
    return Send(msg->hwnd, msg->message, msg->wParam, msg->lParam, true);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window && !Find(window))
        return FALSE;
    Post(window, message, wParam, lParam);
    return TRUE;
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessageA(window, message, wParam, lParam);
}

BOOL PostThreadMessageA(DWORD, UINT message, WPARAM wParam, LPARAM lParam)
{
    Post(nullptr, message, wParam, lParam);
    return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Send(window, message, wParam, lParam, false);
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Send(window, message, wParam, lParam, true);
}

void PostQuitMessage(int exitCode)
{
    S().quit = true;
    S().quitCode = exitCode;
}

BOOL WaitMessage()
{
    MSG msg;
    if (!NextMessage(msg, nullptr, 0, 0, false, true))
        return FALSE;
    return TRUE;
}

DWORD GetMessagePos()
{
    const POINT& p = S().lastMessage.pt;
    return DWORD(MAKELONG(WORD(p.x), WORD(p.y)));
}

LONG GetMessageTime()
{
    return LONG(S().lastMessage.time);
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    if (window && !Find(window))
        return 0;
    elapse = std::max<UINT>(elapse, 10);
    State& s = S();
    if (!window && !id)
        id = 0x7000 + s.nextTimerId++;
    for (Timer& t : s.timers)
        if (t.window == window && t.id == id) {
            t.elapse = elapse;
            t.proc = proc;
            t.due = NowMs() + elapse;
            return window ? (id ? id : 1) : id;
        }
    s.timers.push_back({window, id, elapse, proc, NowMs() + elapse});
    return window ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND window, UINT_PTR id)
{
    auto& timers = S().timers;
    auto it = std::find_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
    if (it == timers.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    timers.erase(it);
    auto& q = S().queue;
    q.erase(std::remove_if(q.begin(), q.end(),
                [&](const QueuedMessage& m) { return m.msg.message == WM_TIMER && m.msg.hwnd == window && m.msg.wParam == id; }),
        q.end());
    return TRUE;
}

SHORT GetKeyState(int key)
{
    State& s = S();
    if (key == VK_LBUTTON)
        return s.leftDown ? SHORT(0x8000) : 0;
    if (key == VK_MENU)
        return s.altDown ? SHORT(0x8000) : 0;
    return 0;
}

SHORT GetAsyncKeyState(int key)
{
    return GetKeyState(key);
}

BOOL GetCursorPos(LPPOINT point)
{
    if (!point)
        return FALSE;
    *point = S().cursorPos;
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    S().cursorPos = {x, y};
    return TRUE;
}

}  // extern "C"
