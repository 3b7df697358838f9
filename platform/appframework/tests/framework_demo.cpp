// A tiny program on the application framework for scripted-session tests: an optional question
// at start (when a command-line tail is given), a dialog with a 2000 ms timer, a message box
// telling the ticks on a release in its top-left corner, and the result printed at the end.
#include <cstdio>

#include "platform/appframework/framework.h"

namespace {

class DemoDialog : public CDialog {
public:
    DemoDialog() : CDialog(102) {}
    int m_ticks = 0;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetWindowText("Demo");
        SetTimer(1, 2000, nullptr);
        return TRUE;
    }

protected:
    void OnTimer(UINT_PTR id)
    {
        if (id == 1)
            ++m_ticks;
        CDialog::OnTimer(id);
    }
    void OnLButtonUp(UINT, CPoint point)
    {
        if (!CRect(0, 0, 50, 50).PtInRect(point))
            return;
        CString text;
        text.Format("Ticks: %d", m_ticks);
        MessageBox(text, "Demo", MB_ICONINFORMATION);
    }
    void OnDestroy()
    {
        KillTimer(1);
        CDialog::OnDestroy();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DemoDialog, CDialog)
ON_WM_TIMER()
ON_WM_LBUTTONUP()
ON_WM_DESTROY()
END_MESSAGE_MAP()

class DemoApp : public CWinApp {
public:
    DemoApp() : CWinApp("Demo") {}
    BOOL InitInstance() override
    {
        AfxOleInit();
        EnableControlContainer();
        yolt::user::DialogTemplate t;
        t.style = WS_POPUP | WS_VISIBLE | DS_SETFONT;
        t.cx = 199;
        t.cy = 125;
        t.fontName = u"MS Sans Serif";
        yolt::user::RegisterDialogTemplate(AfxGetResourceHandle(), 102, t);
        if (*m_lpCmdLine) {
            CString question;
            question.Format("Install from:\n%s ?", m_lpCmdLine);
            if (AfxMessageBox(question, MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES)
                return FALSE;
        }
        DemoDialog dialog;
        m_pMainWnd = &dialog;
        INT_PTR result = dialog.DoModal();
        m_pMainWnd = nullptr;
        std::printf("dialog-result %d ticks=%d\n", int(result), dialog.m_ticks);
        return FALSE;
    }
};

DemoApp theApp;

}  // namespace
