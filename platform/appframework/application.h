// The application object and the program's entry: one CWinApp per program, constructed before
// main runs. The entry sets up the presentation, fills the command-line tail and calls
// InitInstance; a FALSE result ends the program without a message loop of its own.
#pragma once

#include "platform/appframework/text.h"
#include "platform/appframework/wnd.h"

class CException {
public:
    virtual ~CException() = default;
    /// Frees a thrown exception object (the shared ones are kept).
    void Delete();
    bool m_bAutoDelete = true;
};

/// Thrown (as a pointer) when memory is exhausted.
class CMemoryException : public CException {};

/// Throws the shared CMemoryException object.
[[noreturn]] void AfxThrowMemoryException();

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCSTR appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
    /// The message loop, for programs whose InitInstance returns TRUE.
    virtual int Run();
    /// ActiveX control containment; nothing is needed for it here.
    void EnableControlContainer() {}

    HINSTANCE m_hInstance = nullptr;
    /// The command-line tail: the text after the program's name, leading blanks skipped.
    LPSTR m_lpCmdLine = nullptr;
    LPCSTR m_pszAppName = nullptr;
    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);
/// Starts OLE for the user-interface thread (a single-threaded apartment); TRUE on success.
/// OLE is ended when the program's entry returns.
BOOL AfxOleInit();
/// A message box owned by the main window, captioned with the application's name.
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);

/// The program's entry: runs the one application object. Returns the exit code.
int AfxWinMain(int argc, char** argv);

