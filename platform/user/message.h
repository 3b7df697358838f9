// The message queue of the user-interface thread: posted and sent messages, input from the
// presentation, timers on the machine's clock, WM_PAINT from invalid windows and quitting.
// When nothing is queued, GetMessage asks the presentation for input or lets time pass.
#pragma once

#include "platform/user/window.h"

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

typedef void (*TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define PM_NOYIELD 0x0002

// Virtual keys.
#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_DELETE 0x2E
#define VK_F4 0x73

extern "C" {
/// Waits for the next message; returns 0 for WM_QUIT, else nonzero. Order: posted messages and
/// input, then WM_PAINT for an invalid window, then WM_TIMER for a due timer.
BOOL GetMessageA(LPMSG msg, HWND window, UINT first, UINT last);
BOOL GetMessageW(LPMSG msg, HWND window, UINT first, UINT last);
/// Like GetMessage without waiting; FALSE when nothing is available.
BOOL PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT remove);
BOOL PeekMessageW(LPMSG msg, HWND window, UINT first, UINT last, UINT remove);
BOOL TranslateMessage(const MSG* msg);
/// Calls the window procedure of the message's window (or the timer's callback).
LRESULT DispatchMessageA(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageA(DWORD thread, UINT message, WPARAM wParam, LPARAM lParam);
/// Calls the window procedure at once and returns its result; text messages are converted
/// between narrow and UTF-16 text when the caller and the procedure differ.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL WaitMessage();
DWORD GetMessagePos();
LONG GetMessageTime();

/// Starts or restarts a timer; WM_TIMER comes when it is due on the machine's clock, then every
/// `elapse` ms. With a window the id is `id`; without one a new id is returned. 0 on failure.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND window, UINT_PTR id);

SHORT GetKeyState(int key);
SHORT GetAsyncKeyState(int key);
BOOL GetCursorPos(LPPOINT point);
BOOL SetCursorPos(int x, int y);
}

#define GetMessage GetMessageA
#define PeekMessage PeekMessageA
#define DispatchMessage DispatchMessageA
#define PostMessage PostMessageA
#define SendMessage SendMessageA
