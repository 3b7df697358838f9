// Menus: items, the per-window system menu and the tracking of an open popup menu, which a
// session chooses from or dismisses.
#include "platform/user/menu.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/user/internal.h"

namespace yolt::user {
namespace {

struct MenuItem {
    UINT flags = 0;
    UINT_PTR id = 0;
    std::u16string text;
};

struct Menu {
    std::vector<MenuItem> items;
};

struct Menus {
    std::map<HMENU, Menu> menus;
    uintptr_t next = 0x40000;
    // The menu being tracked.
    HMENU open = nullptr;
    HWND owner = nullptr;
    bool done = false;
    UINT_PTR chosen = 0;
};

Menus& M()
{
    static Menus menus;
    return menus;
}

Menu* FindMenu(HMENU handle)
{
    auto it = M().menus.find(handle);
    if (it == M().menus.end()) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return nullptr;
    }
    return &it->second;
}

HMENU NewMenu()
{
    M().next += 4;
    HMENU handle = reinterpret_cast<HMENU>(M().next);
    M().menus[handle] = Menu{};
    return handle;
}

std::u16string WithoutPrefix(const std::u16string& text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        if (text[i] == u'\t')
            break;
        out += text[i];
    }
    return out;
}

// The item at a position or with a command id.
MenuItem* Item(Menu& menu, UINT item, UINT flags)
{
    if (flags & MF_BYPOSITION)
        return item < menu.items.size() ? &menu.items[item] : nullptr;
    for (auto& i : menu.items)
        if (!(i.flags & MF_SEPARATOR) && i.id == item)
            return &i;
    return nullptr;
}

BOOL Append(HMENU handle, UINT flags, UINT_PTR id, std::u16string text)
{
    Menu* menu = FindMenu(handle);
    if (!menu)
        return FALSE;
    menu->items.push_back({flags, (flags & MF_SEPARATOR) ? 0 : id, (flags & MF_SEPARATOR) ? u"" : std::move(text)});
    return TRUE;
}

UINT_PTR Track(HMENU handle, HWND owner)
{
    Menus& m = M();
    if (m.open)
        return 0;
    m.open = handle;
    m.owner = owner;
    m.done = false;
    m.chosen = 0;
    Send(owner, WM_ENTERMENULOOP, TRUE, 0);
    if (Peek(owner))
        Send(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(handle), 0);
    MSG msg;
    while (!m.done && Peek(owner) && NextMessage(msg, nullptr, 0, 0, true, true)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            break;
        }
        if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
            if (msg.wParam == VK_ESCAPE || msg.wParam == VK_MENU)
                m.done = true;
            continue;
        }
        if (msg.message == WM_LBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN) {
            m.done = true;  // a press outside the menu dismisses it
            continue;
        }
        if ((msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) || msg.message == WM_LBUTTONUP)
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    UINT_PTR chosen = m.chosen;
    m.open = nullptr;
    m.owner = nullptr;
    if (Peek(owner))
        Send(owner, WM_EXITMENULOOP, TRUE, 0);
    return chosen;
}

}  // namespace

bool TrackSystemMenu(HWND window)
{
    Window* w = Peek(window);
    if (!w)
        return false;
    HMENU menu = GetSystemMenu(window, FALSE);
    UINT_PTR chosen = Track(menu, window);
    if (chosen && Peek(window))
        Send(window, WM_SYSCOMMAND, chosen, 0);
    return chosen != 0;
}

void DestroyWindowMenus(Window& w)
{
    if (w.systemMenu)
        M().menus.erase(w.systemMenu);
    w.systemMenu = nullptr;
}

void ForgetMenus()
{
    Menus& m = M();
    m.menus.clear();
    m.open = nullptr;
    m.owner = nullptr;
}

std::optional<OpenMenuInfo> OpenMenu()
{
    Menus& m = M();
    Menu* menu = m.open ? FindMenu(m.open) : nullptr;
    if (!menu)
        return std::nullopt;
    OpenMenuInfo info{m.open, m.owner, {}};
    for (const auto& item : menu->items)
        info.items.push_back(WithoutPrefix(item.text));
    return info;
}

bool ChooseMenuItem(const std::u16string& text)
{
    Menus& m = M();
    Menu* menu = m.open ? FindMenu(m.open) : nullptr;
    if (!menu)
        return false;
    for (const auto& item : menu->items) {
        if (item.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED))
            continue;
        if (Upper(WithoutPrefix(item.text)) != Upper(WithoutPrefix(text)))
            continue;
        m.chosen = item.id;
        m.done = true;
        PostMessageW(m.owner, WM_NULL, 0, 0);  // wakes the menu loop
        return true;
    }
    return false;
}

bool DismissMenu()
{
    Menus& m = M();
    if (!m.open)
        return false;
    m.done = true;
    PostMessageW(m.owner, WM_NULL, 0, 0);
    return true;
}

}  // namespace yolt::user

using namespace yolt::user;

extern "C" {

HMENU GetSystemMenu(HWND window, BOOL revert)
{
    Window* w = Find(window);
    if (!w)
        return nullptr;
    if (revert) {
        DestroyWindowMenus(*w);
        return nullptr;
    }
    if (w->systemMenu)
        return w->systemMenu;
    HMENU menu = NewMenu();
    Append(menu, MF_STRING, SC_RESTORE, u"&Restore");
    Append(menu, MF_STRING, SC_MOVE, u"&Move");
    Append(menu, MF_STRING, SC_SIZE, u"&Size");
    Append(menu, MF_STRING, SC_MINIMIZE, u"Mi&nimize");
    Append(menu, MF_STRING, SC_MAXIMIZE, u"Ma&ximize");
    Append(menu, MF_SEPARATOR, 0, u"");
    Append(menu, MF_STRING, SC_CLOSE, u"&Close\tAlt+F4");
    w->systemMenu = menu;
    return menu;
}

HMENU CreateMenu()
{
    return NewMenu();
}

HMENU CreatePopupMenu()
{
    return NewMenu();
}

BOOL DestroyMenu(HMENU menu)
{
    if (!FindMenu(menu))
        return FALSE;
    M().menus.erase(menu);
    return TRUE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text)
{
    return Append(menu, flags, id, (flags & MF_SEPARATOR) ? u"" : Widen(text));
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR id, LPCWSTR text)
{
    return Append(menu, flags, id, (flags & MF_SEPARATOR) || !text ? u"" : std::u16string(text));
}

BOOL InsertMenuA(HMENU handle, UINT position, UINT flags, UINT_PTR id, LPCSTR text)
{
    Menu* menu = FindMenu(handle);
    if (!menu)
        return FALSE;
    size_t at = menu->items.size();
    if (flags & MF_BYPOSITION)
        at = std::min<size_t>(position, menu->items.size());
    else
        for (size_t i = 0; i < menu->items.size(); ++i)
            if (menu->items[i].id == position)
                at = i;
    menu->items.insert(menu->items.begin() + long(at),
        {flags & ~UINT(MF_BYPOSITION), id, (flags & MF_SEPARATOR) ? u"" : Widen(text)});
    return TRUE;
}

BOOL DeleteMenu(HMENU handle, UINT position, UINT flags)
{
    return RemoveMenu(handle, position, flags);
}

BOOL RemoveMenu(HMENU handle, UINT position, UINT flags)
{
    Menu* menu = FindMenu(handle);
    if (!menu)
        return FALSE;
    MenuItem* item = Item(*menu, position, flags);
    if (!item)
        return FALSE;
    menu->items.erase(menu->items.begin() + (item - menu->items.data()));
    return TRUE;
}

int GetMenuItemCount(HMENU handle)
{
    Menu* menu = FindMenu(handle);
    return menu ? int(menu->items.size()) : -1;
}

UINT GetMenuItemID(HMENU handle, int position)
{
    Menu* menu = FindMenu(handle);
    if (!menu || position < 0 || size_t(position) >= menu->items.size())
        return UINT(-1);
    return UINT(menu->items[size_t(position)].id);
}

int GetMenuStringA(HMENU handle, UINT item, LPSTR buffer, int size, UINT flags)
{
    Menu* menu = FindMenu(handle);
    MenuItem* i = menu ? Item(*menu, item, flags) : nullptr;
    if (!i)
        return 0;
    std::string text = Narrow(i->text);
    if (!buffer || size <= 0)
        return int(text.size());
    int n = std::min(int(text.size()), size - 1);
    std::memcpy(buffer, text.data(), size_t(n));
    buffer[n] = 0;
    return n;
}

UINT GetMenuState(HMENU handle, UINT item, UINT flags)
{
    Menu* menu = FindMenu(handle);
    MenuItem* i = menu ? Item(*menu, item, flags) : nullptr;
    return i ? (i->flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_SEPARATOR)) : UINT(-1);
}

UINT EnableMenuItem(HMENU handle, UINT item, UINT enable)
{
    Menu* menu = FindMenu(handle);
    MenuItem* i = menu ? Item(*menu, item, enable) : nullptr;
    if (!i)
        return UINT(-1);
    UINT previous = i->flags & (MF_GRAYED | MF_DISABLED);
    i->flags = (i->flags & ~UINT(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return previous;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int, int, int, HWND owner, const RECT*)
{
    if (!FindMenu(menu) || !Find(owner))
        return FALSE;
    UINT_PTR chosen = Track(menu, owner);
    if (flags & TPM_RETURNCMD)
        return BOOL(chosen);
    if (chosen)
        PostMessageW(owner, WM_COMMAND, chosen, 0);
    return chosen != 0;
}

}  // extern "C"
