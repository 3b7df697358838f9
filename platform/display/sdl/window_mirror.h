// One SDL window standing for one visible top-level window of the window system. A window with
// a caption gets the desktop's frame and title and shows its client area; any other window (the
// skinned main window) is borderless and shows all of its pixels.
#pragma once

#include <SDL.h>

#include <string>

#include "platform/user/window.h"

namespace yolt::display::sdl {

class WindowMirror {
public:
    /// Creates the SDL window, hidden, at the window's place; Created() tells whether it worked.
    explicit WindowMirror(HWND window);
    ~WindowMirror();
    WindowMirror(const WindowMirror&) = delete;
    WindowMirror& operator=(const WindowMirror&) = delete;

    /// Whether a window gets the desktop's frame: it has a caption.
    static bool WantsFrame(HWND window);

    bool Created() const { return m_sdl != nullptr; }
    HWND Window() const { return m_window; }
    SDL_Window* Sdl() const { return m_sdl; }
    Uint32 Id() const { return m_sdl ? SDL_GetWindowID(m_sdl) : 0; }
    bool Framed() const { return m_framed; }

    /// The window's pixels changed; they are presented at the next Sync.
    void MarkDirty() { m_dirty = true; }
    /// Brings the SDL window in line with the window: title, icon, owner, place, size, shown or
    /// minimised, and presents the pixels when they changed. `owner` is the owner's mirror.
    void Sync(WindowMirror* owner);
    void Hide();
    /// Shows the last presented frame again (the desktop lost it).
    void Present();

    /// The screen point of a point in the SDL window's coordinates.
    POINT ToScreen(int x, int y) const;
    /// The desktop moved the SDL window (its frame was dragged): the window follows.
    void MovedByDesktop(int x, int y);
    /// The desktop minimised or restored the SDL window; the window system is told through
    /// the window's system commands, as a task bar would.
    void MinimizedByDesktop();
    void RestoredByDesktop();

private:
    /// Where the SDL window belongs on the screen: the client area of a framed window, else
    /// the whole window.
    SDL_Rect Place() const;
    void UpdateTitleAndIcon();
    void PresentPixels();

    HWND m_window;
    SDL_Window* m_sdl = nullptr;
    bool m_framed = false;
    bool m_shown = false;
    bool m_dirty = true;
    bool m_minimized = false;
    SDL_Rect m_place{};
    std::u16string m_title;
    HICON m_icon = nullptr;
    HWND m_owner = nullptr;
};

}  // namespace yolt::display::sdl
