// Thread-specific CBT hooks: a chain called newest first, safe against removal from inside.
#include "platform/user/hooks.h"

#include <algorithm>
#include <unistd.h>
#include <sys/syscall.h>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/user/internal.h"

namespace yolt::user {
namespace {

struct Hook {
    HHOOK handle;
    HOOKPROC proc;
    bool unicode;
    DWORD thread;
    bool removed = false;
};

struct Chain {
    std::vector<Hook> hooks;  // oldest first
    uintptr_t next = 0x30000;
    int depth = 0;  // calls in progress; removed hooks are dropped when it returns to 0
};

Chain& C()
{
    static Chain chain;
    return chain;
}

void Sweep()
{
    auto& hooks = C().hooks;
    if (C().depth == 0)
        hooks.erase(std::remove_if(hooks.begin(), hooks.end(), [](const Hook& h) { return h.removed; }), hooks.end());
}

// Calls the newest live hook of this thread older than position `below` (exclusive).
LRESULT CallFrom(size_t below, int code, WPARAM wParam, LPARAM lParamW, LPARAM lParamA)
{
    const DWORD thread = GetCurrentThreadId();
    auto& hooks = C().hooks;
    for (size_t i = below; i-- > 0;) {
        if (hooks[i].removed || hooks[i].thread != thread)
            continue;
        HOOKPROC proc = hooks[i].proc;
        LPARAM lParam = hooks[i].unicode ? lParamW : lParamA;
        ++C().depth;
        LRESULT result = proc(code, wParam, lParam);
        --C().depth;
        Sweep();
        return result;
    }
    return 0;
}

HHOOK Install(int type, HOOKPROC proc, HINSTANCE module, DWORD threadId, bool unicode)
{
    if (type != WH_CBT) {
        SetLastError(ERROR_INVALID_HOOK_FILTER);
        return nullptr;
    }
    if (!proc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (threadId == 0 && !module) {
        SetLastError(ERROR_HOOK_NEEDS_HMOD);
        return nullptr;
    }
    // Only the user-interface thread has windows; hooks for other threads cannot see anything.
    if (threadId != 0 && threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    Chain& c = C();
    c.next += 4;
    HHOOK handle = reinterpret_cast<HHOOK>(c.next);
    c.hooks.push_back({handle, proc, unicode, GetCurrentThreadId()});
    return handle;
}

}  // namespace

LRESULT CallCbtHook(int code, WPARAM wParam, LPARAM lParamW, LPARAM lParamA)
{
    if (C().hooks.empty())
        return 0;
    return CallFrom(C().hooks.size(), code, wParam, lParamW, lParamA);
}

LRESULT CallCbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    return CallCbtHook(code, wParam, lParam, lParam);
}

bool HooksInstalled()
{
    for (const Hook& h : C().hooks)
        if (!h.removed)
            return true;
    return false;
}

void ForgetHooks()
{
    for (Hook& h : C().hooks)
        h.removed = true;
    Sweep();
}

}  // namespace yolt::user

using namespace yolt::user;

extern "C" {

DWORD GetCurrentThreadId()
{
    return DWORD(::syscall(SYS_gettid));
}

HHOOK SetWindowsHookExA(int type, HOOKPROC proc, HINSTANCE module, DWORD threadId)
{
    return Install(type, proc, module, threadId, false);
}

HHOOK SetWindowsHookExW(int type, HOOKPROC proc, HINSTANCE module, DWORD threadId)
{
    return Install(type, proc, module, threadId, true);
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam)
{
    auto& hooks = C().hooks;
    auto it = std::find_if(hooks.begin(), hooks.end(), [&](const Hook& h) { return h.handle == hook; });
    if (it == hooks.end())
        return 0;
    return CallFrom(size_t(it - hooks.begin()), code, wParam, lParam, lParam);
}

BOOL UnhookWindowsHookEx(HHOOK hook)
{
    auto& hooks = C().hooks;
    auto it = std::find_if(hooks.begin(), hooks.end(), [&](const Hook& h) { return h.handle == hook && !h.removed; });
    if (it == hooks.end()) {
        SetLastError(ERROR_INVALID_HOOK_HANDLE);
        return FALSE;
    }
    it->removed = true;
    Sweep();
    return TRUE;
}

}  // extern "C"
