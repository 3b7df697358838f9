// Window classes and windows: creation, destruction, window values, text and relations.
#include "platform/user/window.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/display/presentation.h"
#include "platform/kernel/codepages.h"
#include "platform/user/internal.h"
#include "platform/user/menu.h"
#include "platform/user/paint.h"

namespace yolt::user {

State& S()
{
    static State state;
    return state;
}

Window* Peek(HWND handle)
{
    auto& windows = S().windows;
    auto it = windows.find(handle);
    return it == windows.end() ? nullptr : it->second.get();
}

Window* Find(HWND handle)
{
    Window* w = Peek(handle);
    if (!w)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

std::u16string Upper(const std::u16string& text)
{
    std::u16string out = text;
    for (auto& c : out)
        c = FoldUpper(c);
    return out;
}

std::u16string Widen(LPCSTR text, int length)
{
    if (!text)
        return {};
    if (length < 0)
        length = int(std::strlen(text));
    if (length == 0)
        return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    std::u16string out(size_t(std::max(n, 0)), u'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text, length, out.data(), n);
    return out;
}

std::string Narrow(const std::u16string& text)
{
    if (text.empty())
        return {};
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(std::max(n, 0)), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::u16string ResourceNameOf(LPCSTR name)
{
    if (IS_INTRESOURCE(name))
        return u"#" + WideFromUtf8(std::to_string(reinterpret_cast<ULONG_PTR>(name)));
    return Widen(name);
}

std::u16string ResourceNameOf(LPCWSTR name)
{
    if (IS_INTRESOURCE(name))
        return u"#" + WideFromUtf8(std::to_string(reinterpret_cast<ULONG_PTR>(name)));
    return name;
}

namespace {

std::set<WNDPROC>& UnicodeProcs()
{
    static std::set<WNDPROC> procs;
    return procs;
}

void AddSystemClass(const char16_t* name, WNDPROC proc, HBRUSH background, int extra = 0)
{
    auto cls = std::make_shared<WindowClass>();
    cls->name = name;
    cls->proc = proc;
    cls->unicode = true;
    cls->system = true;
    cls->cursor = SystemCursor(32512);
    cls->background = background;
    cls->windowExtra = extra;
    cls->style = CS_DBLCLKS | CS_PARENTDC;
    S().classes[Upper(name)] = cls;
    MarkUnicodeProc(proc);
}

ATOM AddClass(const std::u16string& name, const WNDCLASSW& wc, bool unicode)
{
    RegisterSystemClasses();
    if (!wc.lpfnWndProc || name.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto key = Upper(name);
    if (S().classes.count(key)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto cls = std::make_shared<WindowClass>();
    cls->name = name;
    cls->style = wc.style;
    cls->proc = wc.lpfnWndProc;
    cls->unicode = unicode;
    cls->windowExtra = std::max(0, wc.cbWndExtra);
    cls->instance = wc.hInstance;
    cls->icon = wc.hIcon;
    cls->cursor = wc.hCursor;
    cls->background = wc.hbrBackground;
    S().classes[key] = cls;
    if (unicode)
        MarkUnicodeProc(wc.lpfnWndProc);
    static ATOM next = 0xC000;
    return next++;
}

void LinkTopLevel(HWND handle)
{
    auto& z = S().zOrder;
    z.erase(std::remove(z.begin(), z.end(), handle), z.end());
    z.insert(z.begin(), handle);
}

void Unlink(Window& w)
{
    if (Window* parent = Peek(w.parent)) {
        auto& c = parent->children;
        c.erase(std::remove(c.begin(), c.end(), w.handle), c.end());
    }
    auto& z = S().zOrder;
    z.erase(std::remove(z.begin(), z.end(), w.handle), z.end());
    auto& q = S().queue;
    q.erase(std::remove_if(q.begin(), q.end(), [&](const QueuedMessage& m) { return m.msg.hwnd == w.handle; }), q.end());
}

// WM_NCCREATE and WM_CREATE carry the creation structure in the procedure's text form.
LRESULT SendCreate(Window& w, UINT message, CREATESTRUCTW& csW, CREATESTRUCTA& csA)
{
    HWND handle = w.handle;
    if (w.unicode)
        return w.proc(handle, message, 0, reinterpret_cast<LPARAM>(&csW));
    return w.proc(handle, message, 0, reinterpret_cast<LPARAM>(&csA));
}

void SendDestroy(HWND handle)
{
    Window* w = Peek(handle);
    if (!w)
        return;
    Send(handle, WM_DESTROY, 0, 0);
    w = Peek(handle);
    if (!w)
        return;
    std::vector<HWND> children = w->children;
    for (HWND child : children)
        SendDestroy(child);
}

void FreeWindow(HWND handle)
{
    Window* w = Peek(handle);
    if (!w)
        return;
    std::vector<HWND> children = w->children;
    for (HWND child : children)
        FreeWindow(child);
    w = Peek(handle);
    if (!w)
        return;
    Send(handle, WM_NCDESTROY, 0, 0);
    w = Peek(handle);
    if (!w)
        return;
    State& s = S();
    if (s.capture == handle)
        s.capture = nullptr;
    if (s.focus == handle)
        s.focus = nullptr;
    if (s.active == handle)
        s.active = nullptr;
    KillWindowTimers(handle);
    DestroyWindowMenus(*w);
    bool topLevel = !(w->style & WS_CHILD);
    Unlink(*w);
    s.windows.erase(handle);
    if (topLevel)
        if (auto* p = display::CurrentPresentation())
            p->WindowDestroyed(handle);
}

}  // namespace

bool IsUnicodeProc(WNDPROC proc)
{
    return UnicodeProcs().count(proc) > 0;
}

void MarkUnicodeProc(WNDPROC proc)
{
    if (proc)
        UnicodeProcs().insert(proc);
}

void RegisterSystemClasses()
{
    static bool done = false;
    if (done && S().classes.count(u"#32770"))
        return;
    done = true;
    HBRUSH face = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    AddSystemClass(u"#32770", DialogProcOfClass, nullptr, DLGWINDOWEXTRA);
    AddSystemClass(u"Button", ButtonProc, nullptr);
    AddSystemClass(u"Static", StaticProc, nullptr);
    AddSystemClass(u"Edit", EditProc, nullptr);
    AddSystemClass(u"ComboBox", ComboBoxProc, nullptr);
    (void)face;
}

std::shared_ptr<WindowClass> FindClass(const std::u16string& name)
{
    RegisterSystemClasses();
    auto it = S().classes.find(Upper(name));
    return it == S().classes.end() ? nullptr : it->second;
}

Window* TopLevelOf(Window* w)
{
    while (w && (w->style & WS_CHILD)) {
        Window* parent = Peek(w->parent);
        if (!parent)
            break;
        w = parent;
    }
    return w;
}

HWND CreateWindowInternal(DWORD exStyle, const std::u16string& className, const std::u16string& text, DWORD style,
    int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param,
    bool callerUnicode)
{
    auto cls = FindClass(className);
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    const bool child = style & WS_CHILD;
    HWND owner = nullptr;
    if (child) {
        if (!Find(parent)) {
            SetLastError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
    } else if (parent) {
        Window* o = Find(parent);
        if (!o)
            return nullptr;
        owner = TopLevelOf(o)->handle;
        parent = nullptr;
    }
    if (x == CW_USEDEFAULT) {
        x = child ? 0 : 100;
        y = child ? 0 : 100;
    }
    if (width == CW_USEDEFAULT) {
        width = 400;
        height = 300;
    }

    State& s = S();
    auto w = std::make_unique<Window>();
    s.nextHandle += 4;
    HWND handle = reinterpret_cast<HWND>(s.nextHandle);
    w->handle = handle;
    w->cls = cls;
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->parent = child ? parent : nullptr;
    w->owner = owner;
    w->text = text;
    w->proc = cls->proc;
    w->unicode = cls->unicode;
    w->instance = instance;
    w->id = child ? reinterpret_cast<LONG_PTR>(menu) : 0;
    w->extra.resize(size_t(cls->windowExtra));
    w->frameInvalid = true;
    Window* raw = w.get();
    s.windows[handle] = std::move(w);
    if (child)
        Peek(parent)->children.push_back(handle);
    else
        LinkTopLevel(handle);

    std::string narrowText = Narrow(text), narrowClass = Narrow(className);
    CREATESTRUCTW csW{param, instance, menu, child ? parent : owner, height, width, y, x, LONG(style), text.c_str(),
        cls->name.c_str(), exStyle};
    CREATESTRUCTA csA{param, instance, menu, child ? parent : owner, height, width, y, x, LONG(style),
        narrowText.c_str(), narrowClass.c_str(), exStyle};
    (void)callerUnicode;
    if (HooksInstalled()) {
        CBT_CREATEWNDW cbtW{&csW, HWND_TOP};
        CBT_CREATEWNDA cbtA{&csA, HWND_TOP};
        LRESULT veto = CallCbtHook(HCBT_CREATEWND, reinterpret_cast<WPARAM>(handle), reinterpret_cast<LPARAM>(&cbtW),
            reinterpret_cast<LPARAM>(&cbtA));
        if (veto) {
            Unlink(*raw);
            s.windows.erase(handle);
            return nullptr;
        }
        // A hook may move or size the window before it is created.
        if (csA.x != x || csA.y != y || csA.cx != width || csA.cy != height)
            csW.x = csA.x, csW.y = csA.y, csW.cx = csA.cx, csW.cy = csA.cy;
    }
    raw = Peek(handle);
    raw->rect = {csW.x, csW.y, csW.x + std::max(0, csW.cx), csW.y + std::max(0, csW.cy)};
    if (!child)
        raw->surface = std::make_shared<gdi::Surface>(std::max(1, csW.cx), std::max(1, csW.cy),
            gdi::PixelFromColor(GetSysColor(COLOR_BTNFACE)));

    if (!SendCreate(*raw, WM_NCCREATE, csW, csA)) {
        if (Peek(handle))
            FreeWindow(handle);
        return nullptr;
    }
    if (!Peek(handle))
        return nullptr;
    if (SendCreate(*Peek(handle), WM_CREATE, csW, csA) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    raw = Peek(handle);
    if (!raw)
        return nullptr;
    SIZE client = ClientSize(*raw);
    Send(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.cx, client.cy));
    if (!(raw = Peek(handle)))
        return nullptr;
    POINT origin = ClientOrigin(*raw);
    if (child) {
        POINT parentOrigin = ClientOrigin(*Peek(raw->parent));
        origin.x -= parentOrigin.x;
        origin.y -= parentOrigin.y;
    }
    Send(handle, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    if (!Peek(handle))
        return nullptr;
    if (style & WS_VISIBLE)
        ShowWindow(handle, SW_SHOW);
    return Peek(handle) ? handle : nullptr;
}

void ResetWindowSystem()
{
    State& s = S();
    std::vector<HWND> tops = s.zOrder;
    for (HWND h : tops)
        if (Peek(h))
            DestroyWindow(h);
    ForgetHooks();
    s.windows.clear();
    s.zOrder.clear();
    s.queue.clear();
    s.timers.clear();
    s.quit = false;
    s.active = s.focus = s.capture = nullptr;
    s.leftDown = s.altDown = false;
    s.modalStack.clear();
    for (auto it = s.classes.begin(); it != s.classes.end();)
        it = it->second->system ? std::next(it) : s.classes.erase(it);
    ForgetMenus();
}

}  // namespace yolt::user

using namespace yolt::user;

extern "C" {

ATOM RegisterClassA(const WNDCLASSA* wc)
{
    if (!wc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSW wide{wc->style, wc->lpfnWndProc, wc->cbClsExtra, wc->cbWndExtra, wc->hInstance, wc->hIcon, wc->hCursor,
        wc->hbrBackground, nullptr, nullptr};
    return AddClass(ResourceNameOf(wc->lpszClassName), wide, false);
}

ATOM RegisterClassW(const WNDCLASSW* wc)
{
    if (!wc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return AddClass(ResourceNameOf(wc->lpszClassName), *wc, true);
}

BOOL UnregisterClassA(LPCSTR name, HINSTANCE)
{
    auto key = Upper(ResourceNameOf(name));
    auto it = S().classes.find(key);
    if (it == S().classes.end() || it->second->system) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    S().classes.erase(it);
    return TRUE;
}

BOOL GetClassInfoA(HINSTANCE, LPCSTR name, WNDCLASSA* wc)
{
    auto cls = FindClass(ResourceNameOf(name));
    if (!cls || !wc) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *wc = {cls->style, cls->proc, 0, cls->windowExtra, cls->instance, cls->icon, cls->cursor, cls->background,
        nullptr, name};
    return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
    int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    return CreateWindowInternal(exStyle, ResourceNameOf(className), Widen(windowName), style, x, y, width, height,
        parent, menu, instance, param, false);
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
    int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    return CreateWindowInternal(exStyle, ResourceNameOf(className), windowName ? windowName : u"", style, x, y,
        width, height, parent, menu, instance, param, true);
}

BOOL DestroyWindow(HWND handle)
{
    Window* w = Find(handle);
    if (!w)
        return FALSE;
    if (w->destroying)
        return TRUE;
    if (CallCbtHook(HCBT_DESTROYWND, reinterpret_cast<WPARAM>(handle), 0))
        return FALSE;
    if (!(w = Peek(handle)))
        return TRUE;
    w->destroying = true;
    State& s = S();
    if (w->style & WS_VISIBLE) {
        w->style &= ~WS_VISIBLE;
        if (Window* parent = Peek(w->parent))
            Invalidate(*parent, nullptr, true, false);
    }
    // Hand the activation on before the window goes (the owner first).
    Window* active = Peek(s.active);
    if (active && (active->handle == handle || IsChild(handle, active->handle)))
        ActivateNext(handle);
    std::vector<HWND> owned;
    for (HWND top : s.zOrder)
        if (Window* t = Peek(top); t && t->owner == handle)
            owned.push_back(top);
    for (HWND o : owned)
        if (Peek(o))
            DestroyWindow(o);
    if (s.focus && (s.focus == handle || IsChild(handle, s.focus)))
        s.focus = nullptr;
    if (s.capture && (s.capture == handle || IsChild(handle, s.capture)))
        s.capture = nullptr;
    SendDestroy(handle);
    FreeWindow(handle);
    return TRUE;
}

BOOL IsWindow(HWND handle)
{
    Window* w = Peek(handle);
    return w != nullptr;
}

BOOL IsChild(HWND parent, HWND handle)
{
    Window* w = Peek(handle);
    while (w && (w->style & WS_CHILD)) {
        if (w->parent == parent)
            return TRUE;
        w = Peek(w->parent);
    }
    return FALSE;
}

namespace {

LONG_PTR GetLong(HWND handle, int index)
{
    Window* w = Find(handle);
    if (!w)
        return 0;
    switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>((w->style & WS_CHILD) ? w->parent : w->owner);
    case GWLP_ID: return w->id;
    case GWL_STYLE: return LONG_PTR(LONG(w->style));
    case GWL_EXSTYLE: return LONG_PTR(LONG(w->exStyle));
    case GWLP_USERDATA: return w->userData;
    }
    if (DialogData* d = DialogOf(handle)) {
        if (index == DWLP_MSGRESULT)
            return d->msgResult;
        if (index == DWLP_DLGPROC)
            return reinterpret_cast<LONG_PTR>(d->proc);
        if (index == DWLP_USER)
            return d->user;
    }
    if (index < 0 || size_t(index) + sizeof(LONG_PTR) > w->extra.size()) {
        SetLastError(ERROR_INVALID_INDEX_VALUE);
        return 0;
    }
    LONG_PTR value = 0;
    std::memcpy(&value, w->extra.data() + index, sizeof value);
    return value;
}

LONG_PTR SetLong(HWND handle, int index, LONG_PTR value, bool unicode)
{
    Window* w = Find(handle);
    if (!w)
        return 0;
    LONG_PTR previous = 0;
    switch (index) {
    case GWLP_WNDPROC: {
        previous = reinterpret_cast<LONG_PTR>(w->proc);
        WNDPROC proc = reinterpret_cast<WNDPROC>(value);
        if (!proc) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        w->proc = proc;
        w->unicode = unicode || IsUnicodeProc(proc);
        if (unicode)
            MarkUnicodeProc(proc);
        return previous;
    }
    case GWLP_HINSTANCE:
        previous = reinterpret_cast<LONG_PTR>(w->instance);
        w->instance = reinterpret_cast<HINSTANCE>(value);
        return previous;
    case GWLP_HWNDPARENT:
        if (w->style & WS_CHILD)
            return reinterpret_cast<LONG_PTR>(w->parent);
        previous = reinterpret_cast<LONG_PTR>(w->owner);
        w->owner = reinterpret_cast<HWND>(value);
        return previous;
    case GWLP_ID: return std::exchange(w->id, value);
    case GWL_STYLE: {
        previous = LONG_PTR(LONG(w->style));
        DWORD style = DWORD(value);
        w->style = style;
        return previous;
    }
    case GWL_EXSTYLE: return LONG_PTR(LONG(std::exchange(w->exStyle, DWORD(value))));
    case GWLP_USERDATA: return std::exchange(w->userData, value);
    }
    if (DialogData* d = DialogOf(handle)) {
        if (index == DWLP_MSGRESULT)
            return std::exchange(d->msgResult, value);
        if (index == DWLP_DLGPROC)
            return reinterpret_cast<LONG_PTR>(std::exchange(d->proc, reinterpret_cast<DLGPROC>(value)));
        if (index == DWLP_USER)
            return std::exchange(d->user, value);
    }
    if (index < 0 || size_t(index) + sizeof(LONG_PTR) > w->extra.size()) {
        SetLastError(ERROR_INVALID_INDEX_VALUE);
        return 0;
    }
    std::memcpy(&previous, w->extra.data() + index, sizeof previous);
    std::memcpy(w->extra.data() + index, &value, sizeof value);
    return previous;
}

}  // namespace

LONG GetWindowLongA(HWND window, int index) { return LONG(GetLong(window, index)); }
LONG GetWindowLongW(HWND window, int index) { return LONG(GetLong(window, index)); }
LONG SetWindowLongA(HWND window, int index, LONG value) { return LONG(SetLong(window, index, value, false)); }
LONG SetWindowLongW(HWND window, int index, LONG value) { return LONG(SetLong(window, index, value, true)); }
LONG_PTR GetWindowLongPtrA(HWND window, int index) { return GetLong(window, index); }
LONG_PTR GetWindowLongPtrW(HWND window, int index) { return GetLong(window, index); }
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) { return SetLong(window, index, value, false); }
LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value) { return SetLong(window, index, value, true); }

int GetClassNameA(HWND handle, LPSTR buffer, int size)
{
    Window* w = Find(handle);
    if (!w || !buffer || size <= 0)
        return 0;
    std::string name = Narrow(w->cls->name);
    int n = std::min(int(name.size()), size - 1);
    std::memcpy(buffer, name.data(), size_t(n));
    buffer[n] = 0;
    return n;
}

int GetClassNameW(HWND handle, LPWSTR buffer, int size)
{
    Window* w = Find(handle);
    if (!w || !buffer || size <= 0)
        return 0;
    int n = std::min(int(w->cls->name.size()), size - 1);
    std::memcpy(buffer, w->cls->name.data(), size_t(n) * sizeof(WCHAR));
    buffer[n] = 0;
    return n;
}

int GetWindowTextA(HWND handle, LPSTR buffer, int size)
{
    if (!Find(handle) || !buffer || size <= 0)
        return 0;
    buffer[0] = 0;
    return int(Send(handle, WM_GETTEXT, WPARAM(size), reinterpret_cast<LPARAM>(buffer), false));
}

int GetWindowTextW(HWND handle, LPWSTR buffer, int size)
{
    if (!Find(handle) || !buffer || size <= 0)
        return 0;
    buffer[0] = 0;
    return int(Send(handle, WM_GETTEXT, WPARAM(size), reinterpret_cast<LPARAM>(buffer), true));
}

int GetWindowTextLengthA(HWND handle)
{
    return Find(handle) ? int(Send(handle, WM_GETTEXTLENGTH, 0, 0, false)) : 0;
}

int GetWindowTextLengthW(HWND handle)
{
    return Find(handle) ? int(Send(handle, WM_GETTEXTLENGTH, 0, 0, true)) : 0;
}

BOOL SetWindowTextA(HWND handle, LPCSTR text)
{
    if (!Find(handle))
        return FALSE;
    return Send(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""), false) ? TRUE : FALSE;
}

BOOL SetWindowTextW(HWND handle, LPCWSTR text)
{
    if (!Find(handle))
        return FALSE;
    return Send(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : u""), true) ? TRUE : FALSE;
}

HWND GetParent(HWND handle)
{
    Window* w = Find(handle);
    if (!w)
        return nullptr;
    return (w->style & WS_CHILD) ? w->parent : w->owner;
}

HWND GetAncestor(HWND handle, UINT flags)
{
    Window* w = Find(handle);
    if (!w)
        return nullptr;
    if (flags == GA_PARENT)
        return (w->style & WS_CHILD) ? w->parent : nullptr;
    Window* top = TopLevelOf(w);
    if (flags == GA_ROOTOWNER)
        while (Window* o = Peek(top->owner))
            top = o;
    return top->handle;
}

HWND GetWindow(HWND handle, UINT relation)
{
    Window* w = Find(handle);
    if (!w)
        return nullptr;
    if (relation == GW_CHILD)
        return w->children.empty() ? nullptr : w->children.front();
    if (relation == GW_OWNER)
        return w->owner;
    const std::vector<HWND>* siblings = &S().zOrder;
    if (Window* parent = Peek(w->parent))
        siblings = &parent->children;
    if (siblings->empty())
        return nullptr;
    auto it = std::find(siblings->begin(), siblings->end(), handle);
    switch (relation) {
    case GW_HWNDFIRST: return siblings->front();
    case GW_HWNDLAST: return siblings->back();
    case GW_HWNDNEXT: return (it == siblings->end() || it + 1 == siblings->end()) ? nullptr : *(it + 1);
    case GW_HWNDPREV: return (it == siblings->begin() || it == siblings->end()) ? nullptr : *(it - 1);
    }
    return nullptr;
}

HWND GetTopWindow(HWND handle)
{
    if (!handle)
        return S().zOrder.empty() ? nullptr : S().zOrder.front();
    return GetWindow(handle, GW_CHILD);
}

HWND GetDesktopWindow()
{
    return nullptr;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam)
{
    Window* w = Find(parent);
    if (!w || !proc)
        return FALSE;
    // Collect first: the callback may create or destroy windows.
    std::vector<HWND> all;
    std::function<void(Window&)> collect = [&](Window& p) {
        for (HWND c : p.children) {
            all.push_back(c);
            if (Window* cw = Peek(c))
                collect(*cw);
        }
    };
    collect(*w);
    for (HWND c : all)
        if (Peek(c) && !proc(c, lParam))
            break;
    return TRUE;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam)
{
    std::vector<HWND> tops = S().zOrder;
    for (HWND h : tops)
        if (Peek(h) && !proc(h, lParam))
            break;
    return TRUE;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName)
{
    for (HWND h : S().zOrder) {
        Window* w = Peek(h);
        if (className && Upper(w->cls->name) != Upper(ResourceNameOf(className)))
            continue;
        if (windowName && w->text != Widen(windowName))
            continue;
        return h;
    }
    return nullptr;
}

HWND GetDlgItem(HWND dialog, int id)
{
    Window* w = Find(dialog);
    if (!w)
        return nullptr;
    for (HWND c : w->children)
        if (Window* cw = Peek(c); cw && LONG(cw->id) == id)
            return c;
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

int GetDlgCtrlID(HWND handle)
{
    Window* w = Find(handle);
    return w ? int(w->id) : 0;
}

}  // extern "C"
