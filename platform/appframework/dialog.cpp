#include "platform/appframework/dialog.h"

#include "platform/appframework/application.h"

namespace {
CDialog*& Creating()
{
    static CDialog* creating = nullptr;
    return creating;
}
}  // namespace

const AFX_MSGMAP* CDialog::GetThisMessageMap()
{
    typedef CDialog ThisClass;
    static const AFX_MSGMAP_ENTRY entries[] = {ON_COMMAND(IDOK, OnOK) ON_COMMAND(IDCANCEL, OnCancel){0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {&CWnd::GetThisMessageMap, entries};
    return &map;
}

CDialog::~CDialog()
{
    if (m_hWnd && IsWindow(m_hWnd)) {
        HWND window = Detach();
        DestroyWindow(window);
    }
}

INT_PTR CDialog::DoModal()
{
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!parent && AfxGetApp() && AfxGetApp()->m_pMainWnd && AfxGetApp()->m_pMainWnd != this)
        parent = AfxGetApp()->m_pMainWnd->m_hWnd;
    CDialog* outer = Creating();
    Creating() = this;
    INT_PTR result = DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDHelp), parent, AfxDlgProc,
        reinterpret_cast<LPARAM>(this));
    Creating() = outer;
    return result;
}

void CDialog::EndDialog(int result)
{
    ::EndDialog(m_hWnd, result);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL save)
{
    CDataExchange dx(this, save);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

INT_PTR AfxDlgProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    CWnd* window = CWnd::FromHandlePermanent(dialog);
    if (!window) {
        // The first message of a framework dialog attaches its object to the window.
        CDialog* creating = Creating();
        if (!creating && message == WM_INITDIALOG)
            creating = reinterpret_cast<CDialog*>(lParam);
        if (!creating)
            return FALSE;
        Creating() = nullptr;
        creating->SubclassWindow(dialog);
        window = creating;
    }
    if (message == WM_INITDIALOG)
        if (auto* d = dynamic_cast<CDialog*>(window))
            return d->OnInitDialog();
    return FALSE;
}

void DDX_Text(CDataExchange* dx, int id, CString& value)
{
    HWND control = GetDlgItem(dx->m_pDlgWnd->m_hWnd, id);
    if (!control)
        return;
    if (!dx->m_bSaveAndValidate) {
        SetWindowTextA(control, value);
        return;
    }
    CWnd::FromHandle(control)->GetWindowText(value);
}
