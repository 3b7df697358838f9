// The SDL2 presentation's class: keeps one WindowMirror per visible top-level window, the
// popup of the open menu and the pointer's shape, and turns SDL's events into input of the
// window system.
#pragma once

#include <SDL.h>

#include <map>
#include <memory>
#include <optional>

#include "platform/display/presentation.h"
#include "platform/display/sdl/cursor_shapes.h"
#include "platform/display/sdl/menu_popup.h"
#include "platform/display/sdl/window_mirror.h"
#include "platform/user/session.h"

namespace yolt::display::sdl {

class SdlBackend final : public Presentation {
public:
    /// `globalPointer`: the desktop reports the pointer's screen position (X11), which is used
    /// in place of window-relative positions so that a window moving under the pointer does
    /// not disturb a drag.
    explicit SdlBackend(bool globalPointer) : m_globalPointer(globalPointer) {}
    ~SdlBackend() override;

    const char* Name() const override { return "sdl"; }
    bool WaitForEvents(std::optional<uint64_t> deadlineMs) override;
    void WindowChanged(HWND window) override;
    void WindowDestroyed(HWND window) override;
    void CursorChanged(HCURSOR cursor) override;

private:
    /// Brings the desktop in line with the window system: windows, the active window, the menu.
    void Sync();
    void Handle(const SDL_Event& event);
    void Pointer(Uint32 windowId, int x, int y, yolt::user::MouseAction action);
    void Key(const SDL_KeyboardEvent& key);
    void WindowEvent(const SDL_WindowEvent& event);
    WindowMirror* MirrorById(Uint32 id);
    /// Raises the window of the innermost modal loop (a click reached a window it disables).
    void RaiseModal();

    bool m_globalPointer;
    std::map<HWND, std::unique_ptr<WindowMirror>> m_mirrors;
    MenuPopup m_menu;
    CursorShapes m_cursors;
    HWND m_lastActive = nullptr;
};

}  // namespace yolt::display::sdl
