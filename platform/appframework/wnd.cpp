#include "platform/appframework/wnd.h"

#include <map>
#include <utility>
#include <memory>
#include <vector>

#include "platform/appframework/application.h"
#include "platform/appframework/drawing.h"

namespace {

struct CurrentMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<CurrentMessage>& Messages()
{
    static std::vector<CurrentMessage> stack;
    return stack;
}

std::map<HWND, CWnd*>& Permanent()
{
    static std::map<HWND, CWnd*> map;
    return map;
}

// Stand-ins for windows that have no framework object; they only carry the handle.
std::map<HWND, std::unique_ptr<CWnd>>& Temporary()
{
    static std::map<HWND, std::unique_ptr<CWnd>> map;
    return map;
}

const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* map, UINT message, WPARAM wParam)
{
    for (; map; map = map->base ? map->base() : nullptr)
        for (const AFX_MSGMAP_ENTRY* e = map->entries; e && e->call; ++e) {
            if (e->message != message)
                continue;
            if (message == WM_COMMAND &&
                (LOWORD(wParam) < e->id || LOWORD(wParam) > e->lastId || HIWORD(wParam) != e->code))
                continue;
            return e;
        }
    return nullptr;
}

}  // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, entries};
    return &map;
}

CWnd::~CWnd()
{
    if (m_hWnd && Permanent().count(m_hWnd) && Permanent()[m_hWnd] == this)
        Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND window)
{
    auto it = Permanent().find(window);
    return it == Permanent().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND window)
{
    if (!window)
        return nullptr;
    if (CWnd* permanent = FromHandlePermanent(window))
        return permanent;
    auto& temporary = Temporary()[window];
    if (!temporary)
        temporary = std::make_unique<CWnd>();
    temporary->m_hWnd = window;
    return temporary.get();
}

BOOL CWnd::SubclassWindow(HWND window)
{
    if (!IsWindow(window) || m_hWnd)
        return FALSE;
    m_hWnd = window;
    Permanent()[window] = this;
    Temporary().erase(window);
    m_pfnSuper = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND window = std::exchange(m_hWnd, nullptr);
    if (!window)
        return nullptr;
    Permanent().erase(window);
    if (m_pfnSuper && IsWindow(window))
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return window;
}

LRESULT CWnd::Default()
{
    if (Messages().empty())
        return 0;
    const CurrentMessage& m = Messages().back();
    return CallWindowProcA(m_pfnSuper ? m_pfnSuper : DefWindowProcA, m.window, m.message, m.wParam, m.lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM)
{
    const AFX_MSGMAP_ENTRY* entry = FindEntry(GetMessageMap(), WM_COMMAND, wParam);
    if (!entry)
        return FALSE;
    entry->call(this, wParam, 0);
    return TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam))
            return 0;
        return Default();
    }
    if (const AFX_MSGMAP_ENTRY* entry = FindEntry(GetMessageMap(), message, wParam))
        return entry->call(this, wParam, lParam);
    return Default();
}

LRESULT CWnd::CallEraseBkgnd(CWnd* self, HDC dc, BOOL (*handler)(CWnd*, CDC*))
{
    CDC wrapper;
    wrapper.m_hDC = dc;
    BOOL result = handler(self, &wrapper);
    wrapper.m_hDC = nullptr;
    return result;
}

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type)
{
    if (!caption)
        caption = AfxGetApp() && AfxGetApp()->m_pszAppName ? AfxGetApp()->m_pszAppName : "";
    return ::MessageBoxA(m_hWnd, text, caption, type);
}

void CWnd::GetWindowText(CString& text) const
{
    int n = ::GetWindowTextLengthA(m_hWnd);
    std::string buffer(size_t(n) + 1, '\0');
    ::GetWindowTextA(m_hWnd, buffer.data(), n + 1);
    buffer.resize(size_t(n));
    text = CString(buffer);
}

BOOL CWnd::SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags)
{
    return ::SetWindowPos(m_hWnd, after ? after->m_hWnd : HWND_TOP, x, y, cx, cy, flags);
}

CMenu* CWnd::GetSystemMenu(BOOL revert) const
{
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert));
}

LRESULT AfxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* target = CWnd::FromHandlePermanent(window);
    if (!target)
        return DefWindowProcA(window, message, wParam, lParam);
    Messages().push_back({window, message, wParam, lParam});
    LRESULT result = target->WindowProc(message, wParam, lParam);
    Messages().pop_back();
    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(window) == target) {
        target->Detach();
        target->PostNcDestroy();
    }
    return result;
}
