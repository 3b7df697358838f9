// Cursors, icons and images loaded from a module's resources or the system's own set.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/user/window.h"

#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_CROSS MAKEINTRESOURCEA(32515)
#define IDC_HAND MAKEINTRESOURCEA(32649)
#define IDI_APPLICATION MAKEINTRESOURCEA(32512)
#define IDI_HAND MAKEINTRESOURCEA(32513)
#define IDI_ERROR IDI_HAND
#define IDI_QUESTION MAKEINTRESOURCEA(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCEA(32515)
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_ASTERISK MAKEINTRESOURCEA(32516)
#define IDI_INFORMATION IDI_ASTERISK

#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define IMAGE_CURSOR 2
#define LR_DEFAULTCOLOR 0x0000
#define LR_LOADFROMFILE 0x0010
#define LR_DEFAULTSIZE 0x0040
#define LR_CREATEDIBSECTION 0x2000
#define LR_SHARED 0x8000

extern "C" {
/// A cursor of a module's resources, or with a null module a system cursor (IDC_*). Null with
/// ERROR_RESOURCE_NAME_NOT_FOUND.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
/// Makes `cursor` the pointer's shape (null hides it); returns the previous one.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
int ShowCursor(BOOL show);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);
BOOL DestroyIcon(HICON icon);
BOOL DestroyCursor(HCURSOR cursor);
/// Draws an icon at its size with its mask.
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH brush, UINT flags);
/// A bitmap of a module's resources as a device-dependent bitmap; null when it cannot be loaded.
HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name);
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
/// A bitmap, icon or cursor of a module's resources (or a file with LR_LOADFROMFILE, bitmaps
/// only), at its own size unless `width` and `height` are given.
HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags);
HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height, UINT flags);
}

namespace yolt::user {
/// Creates an icon or cursor from 32-bit pixels (0x00RRGGBB) and a mask (true = drawn), for
/// resources and tools. Destroyed with DestroyIcon.
HICON CreateIconFromPixels(int width, int height, const uint32_t* pixels, const bool* mask, POINT hotSpot,
    bool cursor);
/// The size and hot spot of an icon or cursor, and whether the handle is valid.
bool IconInfo(HICON icon, SIZE* size, POINT* hotSpot);
/// The pixels (0x00RRGGBB, top row first) and mask (true = drawn) of an icon or cursor, for a
/// presentation that shows them; false for a bad handle.
bool IconPixels(HICON icon, std::vector<uint32_t>& pixels, std::vector<bool>& mask);
/// The system cursor with an IDC_* number (32512 arrow, 32513 I-beam, 32514 wait...) if `cursor`
/// is one, else 0.
WORD SystemCursorId(HCURSOR cursor);
}  // namespace yolt::user

#define LoadCursor LoadCursorA
#define LoadIcon LoadIconA
#define LoadBitmap LoadBitmapA
#define LoadImage LoadImageA
