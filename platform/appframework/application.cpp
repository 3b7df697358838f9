#include "platform/appframework/application.h"

#include <cstdio>
#include <string>
#include <utility>

#include "platform/com/com_runtime.h"
#include "platform/kernel/modules.h"
#include "platform/display/script.h"

namespace {

CWinApp*& App()
{
    static CWinApp* app = nullptr;
    return app;
}

HINSTANCE& ResourceHandle()
{
    static HINSTANCE handle = nullptr;
    return handle;
}

bool& OleStarted()
{
    static bool started = false;
    return started;
}

// The program's own module, whose resources the framework loads by default.
HINSTANCE ProgramModule()
{
    return GetModuleHandleA(nullptr);
}

}  // namespace

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

void AfxThrowMemoryException()
{
    static CMemoryException shared = [] {
        CMemoryException e;
        e.m_bAutoDelete = false;
        return e;
    }();
    throw &shared;
}

CWinApp::CWinApp(LPCSTR appName) : m_pszAppName(appName)
{
    App() = this;
    m_hInstance = ProgramModule();
}

CWinApp::~CWinApp()
{
    if (App() == this)
        App() = nullptr;
}

int CWinApp::Run()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ExitInstance();
}

CWinApp* AfxGetApp()
{
    return App();
}

HINSTANCE AfxGetInstanceHandle()
{
    return App() ? App()->m_hInstance : ProgramModule();
}

HINSTANCE AfxGetResourceHandle()
{
    return ResourceHandle() ? ResourceHandle() : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE module)
{
    ResourceHandle() = module;
}

BOOL AfxOleInit()
{
    if (OleStarted())
        return TRUE;
    if (FAILED(OleInitialize(nullptr)))
        return FALSE;
    OleStarted() = true;
    return TRUE;
}

int AfxMessageBox(LPCSTR text, UINT type, UINT)
{
    CWinApp* app = AfxGetApp();
    HWND owner = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : GetActiveWindow();
    if (owner && !IsWindow(owner))
        owner = nullptr;
    return MessageBoxA(owner, text, app && app->m_pszAppName ? app->m_pszAppName : "", type);
}

int AfxWinMain(int argc, char** argv)
{
    yolt::display::InitPresentationFromEnvironment();
    CWinApp* app = AfxGetApp();
    if (!app) {
        std::fprintf(stderr, "the program has no application object\n");
        return 1;
    }
    // The command-line tail: the words after the program's name, joined by blanks.
    static std::string tail;
    tail.clear();
    for (int i = 1; i < argc; ++i)
        tail += (i > 1 ? " " : "") + std::string(argv[i]);
    app->m_lpCmdLine = tail.data();
    if (!app->m_pszAppName && argc > 0) {
        static std::string name;
        name = argv[0];
        name = name.substr(name.find_last_of('/') + 1);
        app->m_pszAppName = name.c_str();
    }
    int code = app->InitInstance() ? app->Run() : app->ExitInstance();
    // OLE ends with the program, as the framework's exit does.
    if (std::exchange(OleStarted(), false))
        OleUninitialize();
    std::fflush(stdout);
    return code;
}

