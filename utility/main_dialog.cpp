#include "utility/main_dialog.h"

#include <string>
#include <vector>

#include "platform/base/format.h"
#include "platform/com/com_runtime.h"
#include "platform/kernel/modules.h"
#include "platform/resources/version_info.h"
#include "utility/about_dialog.h"
#include "utility/messages.h"
#include "utility/res/resource.h"
#include "shared/text_conversion.h"

namespace {

constexpr RECT kHotRects[MainDialog::HotCount] = {
    {449, 10, 482, 45},    // close
    {20, 224, 155, 360},   // left round button
    {180, 226, 317, 363},  // middle round button
    {340, 224, 475, 360},  // right round button
    {410, 10, 444, 45},    // minimise
};
constexpr UINT kPressedImages[MainDialog::kPressedCount] = {
    IDB_PRESSED_CLOSE, IDB_PRESSED_LEFT, IDB_PRESSED_MIDDLE, IDB_PRESSED_RIGHT};

// Presses left of and above these coordinates drag the window.
constexpr int kDragRight = 380;
constexpr int kDragBottom = 80;

constexpr RECT kVersionLabel = {425, 360, 493, 375};
constexpr COLORREF kVersionColour = RGB(64, 64, 64);

bool Contains(const RECT& r, CPoint p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// The file version text of the program's version resource ("1, 0, 1, 4"), or "" without one.
std::string ProgramVersionText()
{
    char path[MAX_PATH] = {};
    if (!GetModuleFileNameA(nullptr, path, MAX_PATH))
        return std::string();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (!size)
        return std::string();
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoA(path, handle, size, block.data()))
        return std::string();
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translation = nullptr;
    UINT length = 0;
    std::string key = "\\StringFileInfo\\000004b0\\FileVersion";
    if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<LPVOID*>(&translation), &length) &&
        length >= sizeof(Translation))
        key = yolt::FormatA("\\StringFileInfo\\%04x%04x\\FileVersion", unsigned(translation->language),
            unsigned(translation->codePage));
    char* text = nullptr;
    if (!VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<LPVOID*>(&text), &length) || !text)
        return std::string();
    return std::string(text);
}

}  // namespace

BEGIN_MESSAGE_MAP(MainDialog, SkinDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_TIMER()
ON_WM_DESTROY()
END_MESSAGE_MAP()

MainDialog::MainDialog(CWnd* parent) : SkinDialog(IDD_MAIN_DIALOG, parent)
{
    m_hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

MainDialog::~MainDialog()
{
    SysFreeString(m_bstrPendingPackage);
    m_bstrPendingPackage = nullptr;
    if (m_pDetector)
        m_pDetector->Release();
    m_pDetector = nullptr;
    for (CBitmap& image : m_bmpPressed)
        image.DeleteObject();
}

const RECT& MainDialog::HotRect(int index)
{
    return kHotRects[index];
}

void MainDialog::SetPendingPackage(BSTR package)
{
    SysFreeString(m_bstrPendingPackage);
    m_bstrPendingPackage = IsEmptyBstr(package) ? nullptr : package;
    if (!m_bstrPendingPackage)
        SysFreeString(package);
}

void MainDialog::DoDataExchange(CDataExchange* dx)
{
    SkinDialog::DoDataExchange(dx);
}

BOOL MainDialog::CreateDetector()
{
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(u"KVXRDTCT.KVXRDetect", &clsid)))
        return FALSE;
    // The class context admits an out-of-process server, so the object is run before use.
    IUnknown* unknown = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void**>(&unknown))) ||
        !unknown)
        return FALSE;
    IKVXRDetect* detector = nullptr;
    HRESULT hr = OleRun(unknown);
    if (SUCCEEDED(hr))
        hr = unknown->QueryInterface(IID_IKVXRDetect, reinterpret_cast<void**>(&detector));
    unknown->Release();
    if (FAILED(hr) || !detector)
        return FALSE;
    m_pDetector = detector;
    return TRUE;
}

BOOL MainDialog::ConfirmPendingPackage()
{
    if (IsEmptyBstr(m_bstrPendingPackage))
        return TRUE;
    std::string path = NarrowFromWide(m_bstrPendingPackage, int(SysStringLen(m_bstrPendingPackage)));
    CString question;
    question.Format(yolt::messages::kConfirmPendingPackage, path.c_str());
    return MessageBox(question, yolt::messages::kCaption, MB_ICONQUESTION | MB_YESNOCANCEL) == IDYES;
}

BOOL MainDialog::OnInitDialog()
{
    if (!CreateDetector()) {
        MessageBox(yolt::messages::kComponentMissing, yolt::messages::kCaption, MB_ICONWARNING);
        EndDialog(IDOK);
        return FALSE;
    }
    if (!ConfirmPendingPackage()) {
        EndDialog(IDOK);
        return FALSE;
    }
    SkinDialog::OnInitDialog();

    if (CMenu* systemMenu = GetSystemMenu(FALSE)) {
        CString about;
        about.LoadString(IDS_ABOUTBOX);
        if (!about.IsEmpty()) {
            systemMenu->AppendMenu(MF_SEPARATOR);
            systemMenu->AppendMenu(MF_STRING, kAboutCommand, about);
        }
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    for (int i = 0; i < HotCount; ++i)
        m_rcHot[i] = kHotRects[i];
    for (int i = 0; i < kPressedCount; ++i)
        m_bmpPressed[i].LoadBitmap(kPressedImages[i]);
    EnableDrag(TRUE);
    UpdateModelDisplay();
    SetBackgroundMode(BackgroundFitWindow);
    SetWindowText(yolt::messages::kCaption);
    m_nTimerID = SetTimer(kWatchTimer, kWatchPeriodMs, nullptr);
    m_hHandCursor = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_POINTING_HAND));
    m_hArrowCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    return TRUE;
}

void MainDialog::OnSysCommand(UINT id, LPARAM param)
{
    if ((id & 0xFFF0) == kAboutCommand) {
        AboutDialog about;
        about.DoModal();
        return;
    }
    SkinDialog::OnSysCommand(id, param);
}

void MainDialog::OnPaint()
{
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        CRect client;
        GetClientRect(&client);
        int x = (client.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
        int y = (client.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
        return;
    }
    CPaintDC dc(this);
    SkinDialog::OnPaint();
    static const std::string version = ProgramVersionText();
    CString label = CString("v.") + version.c_str();
    RECT box = kVersionLabel;
    int previousMode = dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kVersionColour);
    dc.DrawText(label, &box, DT_RIGHT);
    dc.SetBkMode(previousMode);
}

HCURSOR MainDialog::OnQueryDragIcon()
{
    return m_hIcon;
}

void MainDialog::OnLButtonDown(UINT flags, CPoint point)
{
    for (int i = 0; i < HotCount; ++i) {
        if (!Contains(m_rcHot[i], point) || i >= kPressedCount || !m_bmpPressed[i].GetSafeHandle())
            continue;
        CClientDC dc(this);
        CDC memory;
        memory.CreateCompatibleDC(&dc);
        CBitmap* previous = memory.SelectObject(&m_bmpPressed[i]);
        BITMAP info{};
        m_bmpPressed[i].GetBitmap(&info);
        dc.BitBlt(m_rcHot[i].left, m_rcHot[i].top, info.bmWidth, info.bmHeight, &memory, 0, 0, SRCCOPY);
        memory.SelectObject(previous);
    }
    if (point.x < kDragRight && point.y < kDragBottom)
        SkinDialog::OnLButtonDown(flags, point);
}

void MainDialog::OnMouseMove(UINT, CPoint point)
{
    for (int i = 0; i < HotCount; ++i) {
        if (!Contains(m_rcHot[i], point))
            continue;
        if (::GetCursor() != m_hHandCursor)
            ::SetCursor(m_hHandCursor);
        m_nLastHot = i;
        return;
    }
    if (m_nLastHot == -1)
        return;
    if (::GetCursor() != m_hArrowCursor)
        ::SetCursor(m_hArrowCursor);
    m_nLastHot = -1;
}

void MainDialog::OnDestroy()
{
    SkinDialog::OnDestroy();
    if (m_nTimerID)
        KillTimer(m_nTimerID);
    m_nTimerID = 0;
}

bool MainDialog::Confirm(const char* question)
{
    return MessageBox(question, yolt::messages::kCaption, MB_ICONQUESTION | MB_OKCANCEL) == IDOK;
}

void MainDialog::ShowResult(const char* text)
{
    MessageBox(text, yolt::messages::kCaption, MB_ICONINFORMATION);
}

void MainDialog::ShowError(const char* text)
{
    MessageBox(text, yolt::messages::kErrorCaption, MB_ICONERROR);
}

void MainDialog::ShowErrorCode(const char* format, HRESULT hr)
{
    ShowError(yolt::FormatA(format, static_cast<unsigned>(hr)).c_str());
}

IKVXRDevice* MainDialog::AttachedDevice(HRESULT& failure)
{
    ULONG count = 0;
    failure = m_pDetector ? m_pDetector->GetDeviceCount(&count) : E_POINTER;
    if (FAILED(failure) || count == 0)
        return nullptr;
    IKVXRDevice* device = nullptr;
    failure = m_pDetector->GetDevice(0, &device);
    if (failure == S_OK && device)
        return device;
    if (device)
        device->Release();
    if (failure == S_OK)
        failure = E_POINTER;
    return nullptr;
}
