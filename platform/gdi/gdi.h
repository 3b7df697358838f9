// Drawing: device-dependent bitmaps (32-bit pixel buffers), device contexts for windows and
// memory, solid brushes, fonts rendered with FreeType, blits and text. One user-interface thread
// draws; handles are checked and a bad one fails the call with ERROR_INVALID_HANDLE.
#pragma once

#include "platform/base/types.h"

struct HDC__;
typedef HDC__* HDC;
struct HGDIOBJ__;
typedef void* HGDIOBJ;
struct HBITMAP__;
typedef HBITMAP__* HBITMAP;
struct HBRUSH__;
typedef HBRUSH__* HBRUSH;
struct HFONT__;
typedef HFONT__* HFONT;
struct HPEN__;
typedef HPEN__* HPEN;
struct HRGN__;
typedef HRGN__* HRGN;
typedef DWORD COLORREF;

#define RGB(r, g, b) (static_cast<COLORREF>((static_cast<BYTE>(r)) | (static_cast<DWORD>(static_cast<BYTE>(g)) << 8) | (static_cast<DWORD>(static_cast<BYTE>(b)) << 16)))
#define GetRValue(c) (static_cast<BYTE>((c) & 0xFF))
#define GetGValue(c) (static_cast<BYTE>(((c) >> 8) & 0xFF))
#define GetBValue(c) (static_cast<BYTE>(((c) >> 16) & 0xFF))
#define CLR_INVALID 0xFFFFFFFF

// Raster operations (only SRCCOPY is drawn; the others are accepted and treated as copies).
#define SRCCOPY 0x00CC0020
#define SRCPAINT 0x00EE0086
#define SRCAND 0x008800C6
#define PATCOPY 0x00F00021

// Background modes.
#define TRANSPARENT 1
#define OPAQUE 2

// Stock objects.
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define WHITE_PEN 6
#define BLACK_PEN 7
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEFAULT_GUI_FONT 17

// DrawText flags.
#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_WORDBREAK 0x00000010
#define DT_SINGLELINE 0x00000020
#define DT_EXPANDTABS 0x00000040
#define DT_NOCLIP 0x00000100
#define DT_CALCRECT 0x00000400
#define DT_NOPREFIX 0x00000800
#define DT_END_ELLIPSIS 0x00008000

// GetObjectType results.
#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_MEMDC 10

// GetDeviceCaps indexes.
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define LOGPIXELSX 88
#define LOGPIXELSY 90

#define BI_RGB 0
#define DIB_RGB_COLORS 0
#define CBM_INIT 0x04

#define FW_NORMAL 400
#define FW_BOLD 700
#define LF_FACESIZE 32

// System colours.
#define COLOR_BACKGROUND 1
#define COLOR_ACTIVECAPTION 2
#define COLOR_INACTIVECAPTION 3
#define COLOR_WINDOW 5
#define COLOR_WINDOWTEXT 8
#define COLOR_CAPTIONTEXT 9
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_BTNFACE 15
#define COLOR_3DFACE 15
#define COLOR_BTNSHADOW 16
#define COLOR_GRAYTEXT 17
#define COLOR_BTNTEXT 18
#define COLOR_BTNHIGHLIGHT 20
#define COLOR_3DDKSHADOW 21

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};
typedef BITMAP* LPBITMAP;

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
    WORD bfType;
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPFILEHEADER) == 14);

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
    BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved;
};
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct LOGFONTA {
    LONG lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight;
    BYTE lfItalic, lfUnderline, lfStrikeOut, lfCharSet, lfOutPrecision, lfClipPrecision, lfQuality,
        lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];
};
struct LOGFONTW {
    LONG lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight;
    BYTE lfItalic, lfUnderline, lfStrikeOut, lfCharSet, lfOutPrecision, lfClipPrecision, lfQuality,
        lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};

struct TEXTMETRICW {
    LONG tmHeight, tmAscent, tmDescent, tmInternalLeading, tmExternalLeading, tmAveCharWidth,
        tmMaxCharWidth, tmWeight;
};

extern "C" {
/// A device-dependent bitmap of the given size; `bits` (optional) are rows of 32-bit pixels
/// (only 32 bits per pixel is accepted), top row first. Null with ERROR_INVALID_PARAMETER.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
/// A black bitmap of the given size, compatible with the context (all bitmaps are 32-bit).
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
/// A device-dependent bitmap from a device-independent one (1, 4, 8, 24 or 32 bits, BI_RGB).
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
    const BITMAPINFO* info, UINT usage);
/// Describes a bitmap (BITMAP), brush or font; returns the bytes written, 0 on failure.
int GetObjectA(HGDIOBJ object, int size, LPVOID buffer);
int GetObjectW(HGDIOBJ object, int size, LPVOID buffer);
DWORD GetObjectType(HGDIOBJ object);
/// Deletes a bitmap, brush, font or pen; stock objects are left alone. A bitmap selected into a
/// context is deleted once it is no longer selected.
BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ GetStockObject(int index);
HBRUSH CreateSolidBrush(COLORREF color);
HFONT CreateFontIndirectA(const LOGFONTA* font);
HFONT CreateFontIndirectW(const LOGFONTW* font);
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
    DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
    DWORD pitchAndFamily, LPCSTR face);

/// A memory context (with a 1x1 bitmap selected) compatible with `dc` (may be null).
HDC CreateCompatibleDC(HDC dc);
/// Deletes a memory context; the objects selected into it stay alive.
BOOL DeleteDC(HDC dc);
/// Selects a bitmap (memory contexts only), brush, font or pen; returns the previous one.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int GetDeviceCaps(HDC dc, int index);
COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);

/// Copies a rectangle between contexts; the parts outside either surface or the destination's
/// clip are skipped.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
/// Copies a source rectangle scaled to the destination rectangle (nearest pixel).
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
    int srcHeight, DWORD rop);
/// Fills a rectangle (right and bottom excluded) with a brush.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
/// Draws a one-pixel frame with a brush.
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);

/// Draws text in the rectangle with the selected font and text colour; with DT_CALCRECT only
/// measures (and sets the rectangle's right and bottom). Returns the text's height.
int DrawTextA(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format);
int DrawTextW(HDC dc, LPCWSTR text, int length, LPRECT rect, UINT format);
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length);
BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int length);
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size);
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int length, SIZE* size);
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);

/// The colour of a system element (COLOR_*); a brush handle of (COLOR_* + 1) fills with it.
DWORD GetSysColor(int index);
int MulDiv(int number, int numerator, int denominator);
}

#define GetObject GetObjectA
