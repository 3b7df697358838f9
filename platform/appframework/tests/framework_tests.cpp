#include <gtest/gtest.h>

#include <vector>

#include "platform/appframework/framework.h"
#include "platform/display/session.h"

using yolt::display::Session;

namespace {

std::vector<std::string> g_calls;

// A dialog whose handlers chain to the base as derived classes of the product do.
class ProbeDialog : public CDialog {
public:
    ProbeDialog() : CDialog(300) {}
    CString m_name = "initial";

    BOOL OnInitDialog() override
    {
        g_calls.push_back("init");
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, 10, m_name); }
    void OnOK() override
    {
        g_calls.push_back("ok");
        CDialog::OnOK();
    }

protected:
    BOOL OnEraseBkgnd(CDC* dc)
    {
        BOOL result = CDialog::OnEraseBkgnd(dc);
        g_calls.push_back(result ? "erase default" : "erase none");
        return result;
    }
    void OnSysCommand(UINT id, LPARAM lParam)
    {
        g_calls.push_back("syscommand " + std::to_string(id & 0xFFF0));
        CDialog::OnSysCommand(id, lParam);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeDialog, CDialog)
ON_WM_ERASEBKGND()
ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

class TestApp : public CWinApp {
public:
    TestApp() : CWinApp("Probe") {}
} theApp;

void RegisterTemplate()
{
    yolt::user::DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT;
    t.cx = 120;
    t.cy = 50;
    t.fontName = u"MS Sans Serif";
    t.items.push_back({u"Edit", u"", 10, WS_BORDER | WS_TABSTOP | WS_VISIBLE, 0, 5, 5, 60, 12});
    t.items.push_back({u"Button", u"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, 70, 5, 40, 14});
    yolt::user::RegisterDialogTemplate(AfxGetResourceHandle(), 300, t);
}

}  // namespace

TEST(Framework, DialogRunsItsMapsDataExchangeAndDefaultOk)
{
    Session session;
    RegisterTemplate();
    g_calls.clear();
    ProbeDialog dialog;
    session.Then([&] {
            EXPECT_EQ(GetWindowTextLengthA(GetDlgItem(dialog.m_hWnd, 10)), 7) << "data went to the control";
            SetDlgItemTextA(dialog.m_hWnd, 10, "typed");
        })
        .Key(VK_RETURN);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_name, "typed") << "OnOK saved the control's text";
    ASSERT_GE(g_calls.size(), 3u);
    EXPECT_EQ(g_calls.front(), "init");
    EXPECT_EQ(g_calls.back(), "ok");
    EXPECT_NE(std::find(g_calls.begin(), g_calls.end(), "erase default"), g_calls.end())
        << "the base's erase filled the background";
    EXPECT_EQ(dialog.m_hWnd, nullptr) << "detached when the window went";
}

TEST(Framework, SystemMenuCommandsReachTheHandlerAndCloseCancels)
{
    Session session;
    RegisterTemplate();
    g_calls.clear();
    ProbeDialog dialog;
    session.Key(VK_SPACE, true).ChooseMenu(u"Close");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_NE(std::find(g_calls.begin(), g_calls.end(), "syscommand " + std::to_string(SC_CLOSE)), g_calls.end());
}

TEST(Framework, WaitCursorStringsAndMemoryException)
{
    Session session;
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    SetCursor(arrow);
    {
        CWaitCursor wait;
        EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
    }
    EXPECT_EQ(GetCursor(), arrow);

    CString text;
    text.Format("Error code 0x%08X", 0x80070057u);
    EXPECT_EQ(text, "Error code 0x80070057");
    EXPECT_EQ(CString(u"Caf\u00E9"), "Caf\xE9");
    EXPECT_FALSE(text.LoadString(101)) << "the test program has no string table";

    bool caught = false;
    try {
        AfxThrowMemoryException();
    } catch (CMemoryException* e) {
        caught = true;
        e->Delete();
    }
    EXPECT_TRUE(caught);
}
