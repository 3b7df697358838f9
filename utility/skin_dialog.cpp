#include "utility/skin_dialog.h"

BEGIN_MESSAGE_MAP(SkinDialog, CDialog)
ON_WM_LBUTTONDOWN()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
END_MESSAGE_MAP()

SkinDialog::SkinDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

SkinDialog::~SkinDialog()
{
    if (m_hBackground)
        ::DeleteObject(m_hBackground);
}

BOOL SkinDialog::SetBackgroundBitmap(HBITMAP bitmap)
{
    if (m_hBackground)
        ::DeleteObject(m_hBackground);
    m_hBackground = nullptr;
    if (bitmap) {
        BITMAP info{};
        if (!::GetObjectA(bitmap, sizeof info, &info)) {
            ::DeleteObject(bitmap);
            return FALSE;
        }
        m_hBackground = bitmap;
        m_sizeBackground = CSize(info.bmWidth, info.bmHeight);
    }
    if (m_hWnd && ::IsWindow(m_hWnd))
        Invalidate(TRUE);
    return TRUE;
}

BOOL SkinDialog::LoadBackgroundBitmap(UINT id)
{
    HANDLE image = ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
    return SetBackgroundBitmap(static_cast<HBITMAP>(image));
}

void SkinDialog::SetBackgroundMode(int mode)
{
    m_nBackgroundMode = mode;
    if (mode != BackgroundFitWindow || !m_hBackground)
        return;
    SetWindowPos(nullptr, 0, 0, m_sizeBackground.cx, m_sizeBackground.cy, SWP_NOMOVE | SWP_NOOWNERZORDER);
}

void SkinDialog::EnableDrag(BOOL enable)
{
    m_bDraggable = enable;
}

BOOL SkinDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    return TRUE;
}

void SkinDialog::OnLButtonDown(UINT flags, CPoint point)
{
    if (m_bDraggable)
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    CDialog::OnLButtonDown(flags, point);
}

BOOL SkinDialog::OnEraseBkgnd(CDC* dc)
{
    BOOL erased = CDialog::OnEraseBkgnd(dc);
    if (!m_hBackground)
        return erased;
    CRect client;
    GetClientRect(&client);
    CDC memory;
    memory.CreateCompatibleDC(dc);
    HGDIOBJ previous = memory.SelectObject(static_cast<HGDIOBJ>(m_hBackground));
    const int width = client.Width();
    const int height = client.Height();
    switch (m_nBackgroundMode) {
    case BackgroundCopy:
    case BackgroundFitWindow:
        dc->BitBlt(0, 0, width, height, &memory, 0, 0, SRCCOPY);
        break;
    case BackgroundTile:
        // A bitmap without pixels cannot tile anything; stepping by 0 would never end.
        if (m_sizeBackground.cx <= 0 || m_sizeBackground.cy <= 0)
            break;
        for (int y = 0; y < height; y += m_sizeBackground.cy)
            for (int x = 0; x < width; x += m_sizeBackground.cx)
                dc->BitBlt(x, y, width, height, &memory, 0, 0, SRCCOPY);
        break;
    case BackgroundCenter:
        dc->BitBlt((width - m_sizeBackground.cx) / 2, (height - m_sizeBackground.cy) / 2, width, height, &memory, 0,
            0, SRCCOPY);
        break;
    case BackgroundStretch:
        dc->StretchBlt(0, 0, width, height, &memory, 0, 0, m_sizeBackground.cx, m_sizeBackground.cy, SRCCOPY);
        break;
    default:
        break;
    }
    memory.SelectObject(previous);
    memory.DeleteDC();
    return erased;
}

void SkinDialog::OnSize(UINT type, int width, int height)
{
    CDialog::OnSize(type, width, height);
    if (m_hBackground)
        Invalidate(TRUE);
}
