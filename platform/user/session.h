// What the presentation and the automation of sessions need from the window system: input
// injection, pumping, the open message box and menu, the modal loops and window pixels.
// Product code does not use this header.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/surface.h"
#include "platform/user/menu.h"
#include "platform/user/window.h"

namespace yolt::user {

enum class MouseAction { Move, LeftDown, LeftUp };

/// Queues pointer input at a screen point: the window under it (or the capture window) gets the
/// client or non-client mouse message.
void InjectMouse(MouseAction action, POINT screen);
/// Queues a key press and release for the focus window (or the active window); with `alt` the
/// system-key messages are used.
void InjectKey(UINT virtualKey, bool alt = false);
/// Dispatches everything pending (posted, input, paint, due timers) without waiting.
void PumpMessages();
/// When the next timer is due on the machine's clock, if any timer runs.
std::optional<uint64_t> NextTimerDuePublic();
/// The number of message loops of this thread that are waiting in GetMessage.
int WaitingLoops();

struct MessageBoxInfo {
    HWND box = nullptr;
    HWND owner = nullptr;
    std::u16string caption;
    std::u16string text;
    UINT style = 0;
};
/// The innermost message box that is open, if any.
std::optional<MessageBoxInfo> OpenMessageBox();
/// Presses a button of the innermost message box by its id; false when it has no such button.
bool AnswerMessageBox(int id);

/// The window of the innermost modal loop (dialog or message box), or null.
HWND InnermostModalWindow();
/// Top-level windows, topmost first.
std::vector<HWND> TopLevelWindows();
/// Whether a window is a message box of this system.
bool IsMessageBox(HWND window);
/// The pixels of a top-level window (frame included), after pending painting; null for a bad
/// handle or a child window.
std::shared_ptr<gdi::Surface> WindowPixels(HWND window);

struct OpenMenuInfo {
    HMENU menu = nullptr;
    HWND owner = nullptr;
    std::vector<std::u16string> items;  // texts without '&', separators empty
};
/// The popup menu being tracked, if any.
std::optional<OpenMenuInfo> OpenMenu();
/// Chooses an item of the open menu by its text ('&' ignored, case-insensitive); false when
/// no menu is open or no enabled item has that text.
bool ChooseMenuItem(const std::u16string& text);
/// Dismisses the open menu without a choice.
bool DismissMenu();

/// Where resources of modules come from: the bytes of (type, name) of a module, names as
/// "#123" for numbers. Set by the resource layer; tests may set their own.
using ResourceProvider =
    std::function<std::optional<std::vector<BYTE>>(HINSTANCE module, WORD type, const std::u16string& name)>;
void SetResourceProvider(ResourceProvider provider);

/// Forgets every window, class, timer, hook and queued message (between tests).
void ResetWindowSystem();

}  // namespace yolt::user
