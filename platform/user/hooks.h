// Thread-specific window hooks. Only computer-based-training hooks (WH_CBT) are offered: they
// see window creation, activation, focus, destruction, system commands and input messages
// taken from the queue, in the order the window system gives them.
#pragma once

#include "platform/user/window.h"

struct HHOOK__;
typedef HHOOK__* HHOOK;
typedef LRESULT (*HOOKPROC)(int code, WPARAM wParam, LPARAM lParam);

#define WH_CBT 5
#define HCBT_MOVESIZE 0
#define HCBT_MINMAX 1
#define HCBT_QS 2
#define HCBT_CREATEWND 3
#define HCBT_DESTROYWND 4
#define HCBT_ACTIVATE 5
#define HCBT_CLICKSKIPPED 6
#define HCBT_KEYSKIPPED 7
#define HCBT_SYSCOMMAND 8
#define HCBT_SETFOCUS 9

struct CBT_CREATEWNDA {
    CREATESTRUCTA* lpcs;
    HWND hwndInsertAfter;
};
struct CBT_CREATEWNDW {
    CREATESTRUCTW* lpcs;
    HWND hwndInsertAfter;
};
struct CBTACTIVATESTRUCT {
    BOOL fMouse;
    HWND hWndActive;
};
struct MOUSEHOOKSTRUCT {
    POINT pt;
    HWND hwnd;
    UINT wHitTestCode;
    ULONG_PTR dwExtraInfo;
};

extern "C" {
/// Installs a WH_CBT hook for a thread (0 or the calling thread; another thread fails with
/// ERROR_INVALID_PARAMETER). The newest hook is called first. Null on failure.
HHOOK SetWindowsHookExA(int type, HOOKPROC proc, HINSTANCE module, DWORD threadId);
HHOOK SetWindowsHookExW(int type, HOOKPROC proc, HINSTANCE module, DWORD threadId);
/// Calls the hook after `hook` in the chain; 0 when there is none.
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
/// Removes a hook; safe from inside the hook itself. FALSE with ERROR_INVALID_HOOK_HANDLE.
BOOL UnhookWindowsHookEx(HHOOK hook);
DWORD GetCurrentThreadId();
}
