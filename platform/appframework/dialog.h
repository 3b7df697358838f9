// CDialog: a dialog from a template of the program's resource module, run modally with
// OnInitDialog, data exchange and the default OK and Cancel handling.
#pragma once

#include "platform/appframework/wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL save) : m_pDlgWnd(dialog), m_bSaveAndValidate(save) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

/// Exchanges a control's text with a string.
void DDX_Text(CDataExchange* dx, int id, CString& value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_nIDHelp(templateId), m_pParentWnd(parent) {}
    ~CDialog() override;

    /// Runs the dialog modally; returns the EndDialog result, -1 when it could not be created.
    virtual INT_PTR DoModal();
    void EndDialog(int result);
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange*) {}
    /// Moves data between the controls and the members; FALSE when validation failed.
    BOOL UpdateData(BOOL save = TRUE);
    virtual void OnOK();
    virtual void OnCancel();

    UINT m_nIDHelp;
    CWnd* m_pParentWnd;

    static const AFX_MSGMAP* GetThisMessageMap();

protected:
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }
    friend INT_PTR AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
};

/// The dialog procedure of framework dialogs.
INT_PTR AfxDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
