// Device contexts and drawing objects of the framework: CDC with its paint, client and window
// forms, CGdiObject with CBitmap, CBrush and CFont, CMenu, and the wait cursor.
#pragma once

#include <utility>

#include "platform/appframework/wnd.h"

class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL Attach(HGDIOBJ object);
    HGDIOBJ Detach() { return std::exchange(m_hObject, nullptr); }
    /// Deletes the object (if any); the wrapper becomes empty.
    BOOL DeleteObject();
    int GetObject(int size, LPVOID buffer) const { return ::GetObjectA(m_hObject, size, buffer); }
};

class CBitmap : public CGdiObject {
public:
    /// Loads a bitmap resource of the program's resource module; FALSE when it cannot.
    BOOL LoadBitmap(UINT id);
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    int GetBitmap(BITMAP* info) const { return GetObject(sizeof(BITMAP), info); }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { m_hObject = ::CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CFont : public CGdiObject {
public:
    BOOL CreatePointFont(int tenthsOfPoint, LPCSTR face);
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    BOOL Attach(HDC dc);
    HDC Detach() { return std::exchange(m_hDC, nullptr); }
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();

    /// Selects an object and returns the previous one (a handle-only stand-in owned by the
    /// context, valid until the next selection of that kind).
    CBitmap* SelectObject(CBitmap* bitmap);
    CFont* SelectObject(CFont* font);
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    BOOL BitBlt(int x, int y, int width, int height, CDC* src, int srcX, int srcY, DWORD rop);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* src, int srcX, int srcY, int srcWidth, int srcHeight,
        DWORD rop);
    void FillRect(LPCRECT rect, CBrush* brush) { ::FillRect(m_hDC, rect, *brush); }
    void FillSolidRect(LPCRECT rect, COLORREF color);
    int DrawText(const CString& text, LPRECT rect, UINT format) { return ::DrawTextA(m_hDC, text, -1, rect, format); }
    int DrawText(LPCSTR text, int length, LPRECT rect, UINT format) { return ::DrawTextA(m_hDC, text, length, rect, format); }
    BOOL TextOut(int x, int y, const CString& text) { return ::TextOutA(m_hDC, x, y, text, text.GetLength()); }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int GetBkMode() const { return ::GetBkMode(m_hDC); }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
    BOOL DrawIcon(POINT p, HICON icon) { return ::DrawIcon(m_hDC, p.x, p.y, icon); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

private:
    CBitmap m_previousBitmap;
    CFont m_previousFont;
};

/// Painting: BeginPaint at construction, EndPaint at destruction.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

/// The client area's context of a window, released at destruction.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* window);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};

class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* window);
    ~CWindowDC() override;

private:
    HWND m_hWnd;
};

class CMenu {
public:
    CMenu() = default;
    ~CMenu() = default;
    HMENU m_hMenu = nullptr;
    operator HMENU() const { return m_hMenu; }
    /// The framework object of a menu; the window's system menu object lives with the process.
    static CMenu* FromHandle(HMENU menu);
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCSTR text = nullptr) { return ::AppendMenuA(m_hMenu, flags, id, text); }
    UINT GetMenuItemCount() const { return UINT(::GetMenuItemCount(m_hMenu)); }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
    BOOL CreatePopupMenu() { return (m_hMenu = ::CreatePopupMenu()) != nullptr; }
    BOOL DestroyMenu() { return ::DestroyMenu(std::exchange(m_hMenu, nullptr)); }
};

/// Shows the wait cursor for its lifetime and puts the previous cursor back.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    void Restore();

private:
    HCURSOR m_previous;
};
