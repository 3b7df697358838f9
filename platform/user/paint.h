// Painting: device contexts for windows, invalid areas, WM_PAINT and WM_ERASEBKGND.
#pragma once

#include "platform/user/window.h"

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;  // the background still needs erasing (WM_ERASEBKGND returned 0)
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
typedef PAINTSTRUCT* LPPAINTSTRUCT;

#define RDW_INVALIDATE 0x0001
#define RDW_INTERNALPAINT 0x0002
#define RDW_ERASE 0x0004
#define RDW_VALIDATE 0x0008
#define RDW_NOINTERNALPAINT 0x0010
#define RDW_NOERASE 0x0020
#define RDW_NOCHILDREN 0x0040
#define RDW_ALLCHILDREN 0x0080
#define RDW_UPDATENOW 0x0100
#define RDW_ERASENOW 0x0200
#define RDW_FRAME 0x0400
#define RDW_NOFRAME 0x0800

extern "C" {
/// A context for the client area (null window: the screen); released with ReleaseDC.
HDC GetDC(HWND window);
/// A context for the whole window, frame included.
HDC GetWindowDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
/// Starts painting: sends WM_ERASEBKGND when the background is to be erased, validates the
/// window and returns a context clipped to the area that was invalid.
HDC BeginPaint(HWND window, LPPAINTSTRUCT paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
/// Adds a client rectangle (null: the whole client area) to the window's invalid area.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL GetUpdateRect(HWND window, LPRECT rect, BOOL erase);
/// Sends WM_PAINT at once when the window (or one of its children) is invalid.
BOOL UpdateWindow(HWND window);
BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);
}
