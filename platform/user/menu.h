// Menus: the window's system menu (opened by Alt+Space), popup menus and their items.
#pragma once

#include "platform/user/window.h"

#define MF_STRING 0x0000
#define MF_ENABLED 0x0000
#define MF_BYCOMMAND 0x0000
#define MF_GRAYED 0x0001
#define MF_DISABLED 0x0002
#define MF_CHECKED 0x0008
#define MF_POPUP 0x0010
#define MF_BYPOSITION 0x0400
#define MF_SEPARATOR 0x0800

#define SC_SIZE 0xF000
#define SC_MOVE 0xF010
#define SC_MINIMIZE 0xF020
#define SC_MAXIMIZE 0xF030
#define SC_CLOSE 0xF060
#define SC_KEYMENU 0xF100
#define SC_RESTORE 0xF120

#define TPM_LEFTALIGN 0x0000
#define TPM_RETURNCMD 0x0100

extern "C" {
/// The window's system menu (Restore, Move, Size, Minimize, Maximize, Close), created at first
/// use; `revert` TRUE drops the window's changes and returns null.
HMENU GetSystemMenu(HWND window, BOOL revert);
HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
/// Appends an item: a string with a command id, a separator (MF_SEPARATOR) or a submenu.
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text);
BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR id, LPCWSTR text);
BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR text);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);
int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
UINT EnableMenuItem(HMENU menu, UINT item, UINT enable);
/// Shows a popup menu and waits (dispatching messages) until an item is chosen or the menu is
/// dismissed. With TPM_RETURNCMD returns the chosen id (0 for none); else posts WM_COMMAND.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);
}

#define AppendMenu AppendMenuA
