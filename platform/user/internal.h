// The window system's own state: windows, classes and the helpers its parts share.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/gdi/surface.h"
#include "platform/user/dialog.h"
#include "platform/user/hooks.h"
#include "platform/user/message.h"
#include "platform/user/session.h"
#include "platform/user/window.h"

namespace yolt::user {

struct WindowClass {
    std::u16string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    bool unicode = false;
    int windowExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    bool system = false;
};

/// Per-class data of the standard controls and dialogs, owned by their window.
struct ControlData {
    virtual ~ControlData() = default;
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> cls;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;  // children only
    HWND owner = nullptr;   // top-level windows only
    std::vector<HWND> children;  // creation order
    std::u16string text;
    RECT rect{};  // screen coordinates for top-level windows, parent client coordinates for children
    WNDPROC proc = nullptr;
    bool unicode = false;  // the procedure takes UTF-16 text
    HINSTANCE instance = nullptr;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    std::vector<BYTE> extra;
    bool minimized = false;
    bool destroying = false;
    // The invalid area, as one bounding rectangle in client coordinates.
    bool invalid = false;
    bool erase = false;
    bool frameInvalid = false;
    RECT invalidRect{};
    HMENU systemMenu = nullptr;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    HFONT font = nullptr;
    HWND lastFocus = nullptr;  // the child that had the focus when the window was deactivated
    std::shared_ptr<gdi::Surface> surface;  // top-level windows: pixels of the whole window
    std::unique_ptr<ControlData> control;
};

struct Timer {
    HWND window;
    UINT_PTR id;
    UINT elapse;
    TIMERPROC proc;
    uint64_t due;
};

struct QueuedMessage {
    MSG msg;
    bool input = false;
    int hitTest = HTCLIENT;
};

struct State {
    std::map<std::u16string, std::shared_ptr<WindowClass>> classes;  // by upper-cased name
    std::map<HWND, std::unique_ptr<Window>> windows;
    std::vector<HWND> zOrder;  // top-level windows, topmost first
    uintptr_t nextHandle = 0x20000;
    std::deque<QueuedMessage> queue;
    std::vector<Timer> timers;
    UINT_PTR nextTimerId = 1;
    bool quit = false;
    int quitCode = 0;
    HWND active = nullptr;
    HWND focus = nullptr;
    HWND capture = nullptr;
    POINT cursorPos{0, 0};
    bool leftDown = false;
    bool altDown = false;
    HCURSOR cursor = nullptr;
    MSG lastMessage{};
    int waitingLoops = 0;
    std::vector<HWND> modalStack;  // dialogs and message boxes of running modal loops
};

State& S();
/// The window behind a handle, or null with ERROR_INVALID_WINDOW_HANDLE.
Window* Find(HWND handle);
/// The window behind a handle, or null, leaving the last error alone.
Window* Peek(HWND handle);
std::u16string Upper(const std::u16string& text);
std::u16string Widen(LPCSTR text, int length = -1);
std::string Narrow(const std::u16string& text);
/// A resource name given as a pointer: "#123" for numbers, the text otherwise.
std::u16string ResourceNameOf(LPCSTR name);
std::u16string ResourceNameOf(LPCWSTR name);

void RegisterSystemClasses();
std::shared_ptr<WindowClass> FindClass(const std::u16string& name);
HWND CreateWindowInternal(DWORD exStyle, const std::u16string& className, const std::u16string& text, DWORD style,
    int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param,
    bool callerUnicode);

/// Calls a window's procedure. `callerUnicode` says how the caller passes text.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool callerUnicode = true);
LRESULT DefProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool unicode);
bool IsUnicodeProc(WNDPROC proc);
void MarkUnicodeProc(WNDPROC proc);
void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/// Frame thickness and caption height of a window by its styles.
RECT FrameInsets(DWORD style, DWORD exStyle);
/// The window's rectangle and its client area's origin, in screen coordinates.
RECT ScreenRect(const Window& w);
POINT ClientOrigin(const Window& w);
SIZE ClientSize(const Window& w);
Window* TopLevelOf(Window* w);
bool IsVisibleDeep(const Window& w);
bool IsEnabledDeep(const Window& w);
void ActivateWindow(HWND window, bool byMouse);
/// Activates another window after `leaving` was hidden, disabled or destroyed.
void ActivateNext(HWND leaving);
void SetFocusInternal(HWND window);
void ApplySetWindowPos(Window& w, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);

/// Invalidates a window's client rectangle (null: all) and, without WS_CLIPCHILDREN, the
/// children it covers.
void Invalidate(Window& w, const RECT* rect, bool erase, bool children);
/// The window (pre-order over the z-order) that awaits WM_PAINT, or null.
HWND NextWindowToPaint();
void PaintNow(HWND window, bool children);
/// Draws the frame and caption of a window with a non-client area.
void DrawFrame(Window& w);
void NotifyChanged(HWND window);

LRESULT CallCbtHook(int code, WPARAM wParam, LPARAM lParam);
/// Calls the hooks with the narrow or UTF-16 form of lParam, by how each hook was installed.
LRESULT CallCbtHook(int code, WPARAM wParam, LPARAM lParamW, LPARAM lParamA);
bool HooksInstalled();
void ForgetHooks();

void KillWindowTimers(HWND window);
std::optional<uint64_t> NextTimerDue();
uint64_t NowMs();
/// Takes the next message for a loop; waits through the presentation when `wait` is set.
/// Returns false when there is nothing (and `wait` is not set).
bool NextMessage(MSG& msg, HWND filter, UINT first, UINT last, bool remove, bool wait);

/// Runs a modal loop for `window` until `done()`: messages are dispatched, keyboard input
/// goes through the dialog manager when `dialogKeys`.
void RunModalLoop(HWND window, const std::function<bool()>& done, bool dialogKeys);

/// Menus.
bool TrackSystemMenu(HWND window);
void DestroyWindowMenus(Window& w);
void ForgetMenus();

/// Cursors and icons of the system set.
HCURSOR SystemCursor(WORD id);
HICON SystemIcon(WORD id);
void ForgetCursorsAndIcons();

/// Resources of a module: the bytes of (type, name), or none. Types by number (RT_*).
std::optional<std::vector<BYTE>> ResourceBytes(HINSTANCE module, WORD type, const std::u16string& name);

/// Window procedures of the system classes.
LRESULT ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT EditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ComboBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT DialogProcOfClass(HWND, UINT, WPARAM, LPARAM);
/// Draws a control's face with its background; shared by the controls.
void FillBackground(HWND control, HDC dc, const RECT& rect);
HFONT FontOf(Window& w);

/// The dialog manager's data of a dialog window.
struct DialogData : ControlData {
    DLGPROC proc = nullptr;
    LONG_PTR msgResult = 0;
    LONG_PTR user = 0;
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    SIZE baseUnits{6, 13};
    HFONT font = nullptr;
    bool ownsFont = false;
    HWND initialFocus = nullptr;
    HWND disabledOwner = nullptr;  // the owner a modal loop disabled; EndDialog enables it again
    bool isMessageBox = false;
    MessageBoxInfo box;
};
DialogData* DialogOf(HWND window);

}  // namespace yolt::user
