// The menu the window system is tracking (the system menu opened with Alt+Space), shown as a
// popup window at its owner's top-left corner. A release on an item chooses it; Up and Down
// move the highlight and Enter chooses the highlighted item. Escape and presses elsewhere are
// left to the window system's menu loop, which dismisses the menu.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "platform/user/window.h"

namespace yolt::display::sdl {

class MenuPopup {
public:
    MenuPopup() = default;
    ~MenuPopup();
    MenuPopup(const MenuPopup&) = delete;
    MenuPopup& operator=(const MenuPopup&) = delete;

    /// Shows the open menu, or closes the popup when no menu is open.
    void Sync();
    bool IsOpen() const { return m_sdl != nullptr; }
    Uint32 Id() const { return m_sdl ? SDL_GetWindowID(m_sdl) : 0; }

    /// The pointer moved or the left button was released at a point of the popup.
    void Hover(int x, int y);
    void Release(int x, int y);
    /// A key pressed while the menu is open; true when the popup used it.
    bool Key(UINT virtualKey);
    /// Draws the popup again (the desktop lost its pixels).
    void Draw();

private:
    struct Item {
        std::u16string text;
        bool separator = false;
        bool enabled = true;
        int top = 0;
        int bottom = 0;
    };
    void Open(HMENU menu, HWND owner, const std::vector<std::u16string>& texts);
    void Close();
    int ItemAt(int y) const;
    void Choose(int index);

    SDL_Window* m_sdl = nullptr;
    HMENU m_menu = nullptr;
    std::vector<Item> m_items;
    int m_width = 0;
    int m_height = 0;
    int m_hot = -1;
};

}  // namespace yolt::display::sdl
