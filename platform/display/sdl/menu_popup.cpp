#include "platform/display/sdl/menu_popup.h"

#include <algorithm>

#include "platform/gdi/surface.h"
#include "platform/user/menu.h"
#include "platform/user/message.h"
#include "platform/user/session.h"

namespace yolt::display::sdl {
namespace {

constexpr int kItemHeight = 20;
constexpr int kSeparatorHeight = 8;
constexpr int kTextIndent = 20;

}  // namespace

MenuPopup::~MenuPopup()
{
    Close();
}

void MenuPopup::Sync()
{
    auto open = yolt::user::OpenMenu();
    if (!open) {
        Close();
        return;
    }
    if (open->menu != m_menu)
        Open(open->menu, open->owner, open->items);
}

void MenuPopup::Open(HMENU menu, HWND owner, const std::vector<std::u16string>& texts)
{
    Close();
    m_menu = menu;
    HFONT font = gdi::DefaultGuiFont();
    int width = 120, y = 2;
    for (size_t i = 0; i < texts.size(); ++i) {
        Item item;
        item.text = texts[i];
        const UINT state = GetMenuState(menu, UINT(i), MF_BYPOSITION);
        item.separator = state != UINT(-1) && (state & MF_SEPARATOR);
        item.enabled = !item.separator && state != UINT(-1) && !(state & (MF_GRAYED | MF_DISABLED));
        item.top = y;
        y += item.separator ? kSeparatorHeight : kItemHeight;
        item.bottom = y;
        width = std::max<int>(width, gdi::MeasureText(font, item.text).cx + 2 * kTextIndent);
        m_items.push_back(item);
    }
    m_width = width;
    m_height = y + 2;
    POINT at{0, 0};
    ClientToScreen(owner, &at);
    m_sdl = SDL_CreateWindow("Menu", at.x, at.y, m_width, m_height,
        SDL_WINDOW_BORDERLESS | SDL_WINDOW_POPUP_MENU | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR |
            SDL_WINDOW_HIDDEN);
    if (!m_sdl)
        return;
    SDL_ShowWindow(m_sdl);
    Draw();
}

void MenuPopup::Close()
{
    if (m_sdl)
        SDL_DestroyWindow(m_sdl);
    m_sdl = nullptr;
    m_menu = nullptr;
    m_items.clear();
    m_hot = -1;
}

void MenuPopup::Draw()
{
    if (!m_sdl)
        return;
    HBITMAP bitmap = CreateBitmap(m_width, m_height, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, gdi::DefaultGuiFont());
    HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    HBRUSH shadow = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
    HBRUSH highlight = CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT));
    RECT all{0, 0, m_width, m_height};
    FillRect(dc, &all, face);
    FrameRect(dc, &all, shadow);
    SetBkMode(dc, TRANSPARENT);
    for (size_t i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        if (item.separator) {
            RECT line{4, item.top + kSeparatorHeight / 2 - 1, m_width - 4, item.top + kSeparatorHeight / 2};
            FillRect(dc, &line, shadow);
            continue;
        }
        const bool hot = int(i) == m_hot;
        if (hot) {
            RECT bar{2, item.top, m_width - 2, item.bottom};
            FillRect(dc, &bar, highlight);
        }
        SetTextColor(dc, GetSysColor(!item.enabled ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
        RECT text{kTextIndent, item.top, m_width - 4, item.bottom};
        DrawTextW(dc, item.text.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    DeleteObject(face);
    DeleteObject(shadow);
    DeleteObject(highlight);
    auto pixels = gdi::BitmapSurface(bitmap);
    SDL_Surface* target = SDL_GetWindowSurface(m_sdl);
    if (pixels && target) {
        SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(pixels->pixels.data(), pixels->width,
            pixels->height, 32, pixels->width * 4, SDL_PIXELFORMAT_RGB888);
        if (source) {
            SDL_BlitSurface(source, nullptr, target, nullptr);
            SDL_FreeSurface(source);
        }
        SDL_UpdateWindowSurface(m_sdl);
    }
    DeleteObject(bitmap);
}

int MenuPopup::ItemAt(int y) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (y >= m_items[i].top && y < m_items[i].bottom && m_items[i].enabled)
            return int(i);
    return -1;
}

void MenuPopup::Hover(int x, int y)
{
    const int hot = (x >= 0 && x < m_width) ? ItemAt(y) : -1;
    if (hot == m_hot)
        return;
    m_hot = hot;
    Draw();
}

void MenuPopup::Release(int x, int y)
{
    if (x >= 0 && x < m_width)
        Choose(ItemAt(y));
}

void MenuPopup::Choose(int index)
{
    if (index < 0 || index >= int(m_items.size()) || !m_items[size_t(index)].enabled)
        return;
    yolt::user::ChooseMenuItem(m_items[size_t(index)].text);
}

bool MenuPopup::Key(UINT virtualKey)
{
    if (virtualKey == VK_RETURN) {
        Choose(m_hot);
        return true;
    }
    if (virtualKey != VK_UP && virtualKey != VK_DOWN)
        return false;
    const int step = virtualKey == VK_DOWN ? 1 : -1;
    const int count = int(m_items.size());
    int next = m_hot;
    for (int tries = 0; tries < count; ++tries) {
        next = next < 0 ? (step > 0 ? 0 : count - 1) : (next + step + count) % count;
        if (m_items[size_t(next)].enabled)
            break;
    }
    if (next >= 0 && next < count && m_items[size_t(next)].enabled) {
        m_hot = next;
        Draw();
    }
    return true;
}

}  // namespace yolt::display::sdl
