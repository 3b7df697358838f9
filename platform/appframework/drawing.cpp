#include "platform/appframework/drawing.h"

#include <map>
#include <memory>

#include "platform/appframework/application.h"

BOOL CGdiObject::Attach(HGDIOBJ object)
{
    if (!object)
        return FALSE;
    DeleteObject();
    m_hObject = object;
    return TRUE;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(std::exchange(m_hObject, nullptr));
}

BOOL CBitmap::LoadBitmap(UINT id)
{
    return Attach(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id)));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height)
{
    return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, width, height));
}

BOOL CFont::CreatePointFont(int tenthsOfPoint, LPCSTR face)
{
    return Attach(::CreateFontA(-MulDiv(tenthsOfPoint, 96, 720), 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, face));
}

CDC::~CDC()
{
    // The stand-ins for previous selections never own their handles.
    m_previousBitmap.Detach();
    m_previousFont.Detach();
    if (m_hDC && GetObjectType(m_hDC) == OBJ_MEMDC)
        DeleteDC();
}

BOOL CDC::Attach(HDC dc)
{
    if (!dc)
        return FALSE;
    m_hDC = dc;
    return TRUE;
}

BOOL CDC::CreateCompatibleDC(CDC* dc)
{
    m_hDC = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
    return m_hDC != nullptr;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    return ::DeleteDC(std::exchange(m_hDC, nullptr));
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    HGDIOBJ previous = ::SelectObject(m_hDC, bitmap ? bitmap->m_hObject : nullptr);
    if (!previous)
        return nullptr;
    m_previousBitmap.Detach();
    m_previousBitmap.m_hObject = previous;
    return &m_previousBitmap;
}

CFont* CDC::SelectObject(CFont* font)
{
    HGDIOBJ previous = ::SelectObject(m_hDC, font ? font->m_hObject : nullptr);
    if (!previous)
        return nullptr;
    m_previousFont.Detach();
    m_previousFont.m_hObject = previous;
    return &m_previousFont;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* src, int srcX, int srcY, DWORD rop)
{
    return ::BitBlt(m_hDC, x, y, width, height, src ? src->m_hDC : nullptr, srcX, srcY, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* src, int srcX, int srcY, int srcWidth, int srcHeight,
    DWORD rop)
{
    return ::StretchBlt(m_hDC, x, y, width, height, src ? src->m_hDC : nullptr, srcX, srcY, srcWidth, srcHeight, rop);
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color)
{
    HBRUSH brush = ::CreateSolidBrush(color);
    ::FillRect(m_hDC, rect, brush);
    ::DeleteObject(brush);
}

CPaintDC::CPaintDC(CWnd* window) : m_hWnd(window->m_hWnd)
{
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}

CClientDC::CClientDC(CWnd* window) : m_hWnd(window ? window->m_hWnd : nullptr)
{
    m_hDC = ::GetDC(m_hWnd);
}

CClientDC::~CClientDC()
{
    ::ReleaseDC(m_hWnd, std::exchange(m_hDC, nullptr));
}

CWindowDC::CWindowDC(CWnd* window) : m_hWnd(window ? window->m_hWnd : nullptr)
{
    m_hDC = ::GetWindowDC(m_hWnd);
}

CWindowDC::~CWindowDC()
{
    ::ReleaseDC(m_hWnd, std::exchange(m_hDC, nullptr));
}

CMenu* CMenu::FromHandle(HMENU menu)
{
    if (!menu)
        return nullptr;
    static std::map<HMENU, std::unique_ptr<CMenu>> menus;
    auto& wrapper = menus[menu];
    if (!wrapper)
        wrapper = std::make_unique<CMenu>();
    wrapper->m_hMenu = menu;
    return wrapper.get();
}

CWaitCursor::CWaitCursor() : m_previous(::SetCursor(::LoadCursorA(nullptr, IDC_WAIT))) {}

CWaitCursor::~CWaitCursor()
{
    ::SetCursor(m_previous);
}

void CWaitCursor::Restore()
{
    ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
}
