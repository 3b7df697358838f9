// CWnd and message maps: a C++ object attached to a window of the window system, whose
// messages go to handlers declared in the class's message map (chained to its base class's
// map); anything without a handler gets the window's default processing.
#pragma once

#include "platform/appframework/text.h"
#include "platform/user/user.h"

class CDC;
class CMenu;
class CWnd;

struct CPoint : POINT {
    CPoint() : POINT{0, 0} {}
    CPoint(int x_, int y_) : POINT{x_, y_} {}
    explicit CPoint(LPARAM l) : POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)} {}
};
struct CSize : SIZE {
    CSize() : SIZE{0, 0} {}
    CSize(int cx_, int cy_) : SIZE{cx_, cy_} {}
};
struct CRect : RECT {
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& r) : RECT(r) {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    BOOL PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};

/// One message map entry: the message (and for WM_COMMAND the id range and notification code)
/// and the function that unpacks the arguments and calls the class's handler.
struct AFX_MSGMAP_ENTRY {
    UINT message;
    UINT code;
    UINT id;
    UINT lastId;
    LRESULT (*call)(CWnd* target, WPARAM wParam, LPARAM lParam);
};
struct AFX_MSGMAP {
    const AFX_MSGMAP* (*base)();
    const AFX_MSGMAP_ENTRY* entries;  // ends with an entry whose `call` is null
};

#define DECLARE_MESSAGE_MAP()                             \
protected:                                                \
    static const AFX_MSGMAP* GetThisMessageMap();         \
    const AFX_MSGMAP* GetMessageMap() const override;     \
                                                          \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                \
    {                                                                              \
        typedef theClass ThisClass;                                                \
        typedef baseClass TheBaseClass;                                            \
        static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                               \
    {0, 0, 0, 0, nullptr}                                               \
    }                                                                   \
    ;                                                                   \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
    return &map;                                                        \
    }

#define AFX_ENTRY(msg, body) {msg, 0, 0, 0, [](CWnd* w, WPARAM wParam, LPARAM lParam) -> LRESULT { auto* self = static_cast<ThisClass*>(w); (void)wParam; (void)lParam; body }},
#define ON_WM_PAINT() AFX_ENTRY(WM_PAINT, self->OnPaint(); return 0;)
#define ON_WM_TIMER() AFX_ENTRY(WM_TIMER, self->OnTimer(UINT_PTR(wParam)); return 0;)
#define ON_WM_LBUTTONDOWN() AFX_ENTRY(WM_LBUTTONDOWN, self->OnLButtonDown(UINT(wParam), CPoint(lParam)); return 0;)
#define ON_WM_LBUTTONUP() AFX_ENTRY(WM_LBUTTONUP, self->OnLButtonUp(UINT(wParam), CPoint(lParam)); return 0;)
#define ON_WM_MOUSEMOVE() AFX_ENTRY(WM_MOUSEMOVE, self->OnMouseMove(UINT(wParam), CPoint(lParam)); return 0;)
#define ON_WM_SETCURSOR() AFX_ENTRY(WM_SETCURSOR, return self->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam));)
#define ON_WM_SYSCOMMAND() AFX_ENTRY(WM_SYSCOMMAND, self->OnSysCommand(UINT(wParam), lParam); return 0;)
#define ON_WM_ERASEBKGND() AFX_ENTRY(WM_ERASEBKGND, return CWnd::CallEraseBkgnd(self, reinterpret_cast<HDC>(wParam), [](CWnd* s, CDC* dc) { return static_cast<ThisClass*>(s)->OnEraseBkgnd(dc); });)
#define ON_WM_NCHITTEST() AFX_ENTRY(WM_NCHITTEST, return self->OnNcHitTest(CPoint(lParam));)
#define ON_WM_SIZE() AFX_ENTRY(WM_SIZE, self->OnSize(UINT(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;)
#define ON_WM_DESTROY() AFX_ENTRY(WM_DESTROY, self->OnDestroy(); return 0;)
#define ON_WM_CLOSE() AFX_ENTRY(WM_CLOSE, self->OnClose(); return 0;)
#define ON_WM_QUERYDRAGICON() AFX_ENTRY(WM_QUERYDRAGICON, return reinterpret_cast<LRESULT>(self->OnQueryDragIcon());)
#define ON_MESSAGE(msg, fn) AFX_ENTRY(msg, return self->fn(wParam, lParam);)
#define ON_COMMAND(id, fn) {WM_COMMAND, 0, UINT(id), UINT(id), [](CWnd* w, WPARAM, LPARAM) -> LRESULT { static_cast<ThisClass*>(w)->fn(); return 0; }},
#define ON_BN_CLICKED(id, fn) ON_COMMAND(id, fn)

/// The root of objects with message maps.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    static const AFX_MSGMAP* GetThisMessageMap();

protected:
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }
};

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    /// The framework object of a window: its own, or a shared stand-in for foreign windows.
    static CWnd* FromHandle(HWND window);
    static CWnd* FromHandlePermanent(HWND window);
    /// Attaches to a window and routes its messages through the message map.
    BOOL SubclassWindow(HWND window);
    HWND Detach();

    /// Handles one message: the message map first, then the default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void PostNcDestroy() {}
    /// The default processing of the message being handled.
    LRESULT Default();

    int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);
    void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL RedrawWindow(LPCRECT rect = nullptr, HRGN region = nullptr, UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE)
    {
        return ::RedrawWindow(m_hWnd, rect, region, flags);
    }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags);
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc) { return ::SetTimer(m_hWnd, id, elapse, proc); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return ::SendMessageA(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return ::PostMessageA(m_hWnd, message, wParam, lParam); }
    HICON SetIcon(HICON icon, BOOL big) { return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon))); }
    CMenu* GetSystemMenu(BOOL revert) const;
    CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }

    /// Calls an erase handler with a CDC for the given context (used by ON_WM_ERASEBKGND).
    static LRESULT CallEraseBkgnd(CWnd* self, HDC dc, BOOL (*handler)(CWnd*, CDC*));

    // Handlers with the default processing, for derived classes to override and call.
    void OnPaint() { Default(); }
    void OnTimer(UINT_PTR) { Default(); }
    void OnLButtonDown(UINT, CPoint) { Default(); }
    void OnLButtonUp(UINT, CPoint) { Default(); }
    void OnMouseMove(UINT, CPoint) { Default(); }
    BOOL OnSetCursor(CWnd*, UINT, UINT) { return BOOL(Default()); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    BOOL OnEraseBkgnd(CDC*) { return BOOL(Default()); }
    LRESULT OnNcHitTest(CPoint) { return Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnDestroy() { Default(); }
    void OnClose() { Default(); }
    HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }

    static const AFX_MSGMAP* GetThisMessageMap();

protected:
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }
    WNDPROC m_pfnSuper = nullptr;
    friend LRESULT AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend INT_PTR AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
};

/// The procedure of every window attached to a framework object.
LRESULT AfxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
