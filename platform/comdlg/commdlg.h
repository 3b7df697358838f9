// The file-open dialog: a modal dialog of the window system that browses the machine's drives
// and folders, lists the files that match the chosen filter and returns the full Windows path of
// the file the user picked. Timers keep ticking while it is up.
#pragma once

#include "platform/user/window.h"

typedef UINT_PTR (*LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter;        // pairs of description and patterns ("a;b"), each ending in a zero, then a zero
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;        // 1-based; 0 takes the first pair
    LPSTR lpstrFile;           // in: the initial file name; out: the full path
    DWORD nMaxFile;            // the size of lpstrFile in characters
    LPSTR lpstrFileTitle;      // out (optional): the file's name without its folder
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;         // the caption, "Open" when null
    DWORD Flags;
    WORD nFileOffset;          // out: where the name starts in lpstrFile
    WORD nFileExtension;       // out: where the extension starts (0 without one)
    LPCSTR lpstrDefExt;        // appended (after a dot) to a name typed without an extension
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCSTR lpTemplateName;
};
typedef OPENFILENAMEA* LPOPENFILENAMEA;

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_EXPLORER 0x00080000

#define CDERR_STRUCTSIZE 0x0001
#define CDERR_INITIALIZATION 0x0002
#define FNERR_BUFFERTOOSMALL 0x3003

extern "C" {
/// Runs the file-open dialog owned by `ofn->hwndOwner`. TRUE when the user chose a file: its
/// full Windows path is in lpstrFile. FALSE when the dialog was cancelled (CommDlgExtendedError
/// 0) or failed (CommDlgExtendedError names why). With OFN_FILEMUSTEXIST a name that does not
/// exist is refused with a message and the dialog stays up; OFN_HIDEREADONLY hides the
/// read-only check box, whose state is returned as OFN_READONLY otherwise.
BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn);
DWORD CommDlgExtendedError();
}

#define GetOpenFileName GetOpenFileNameA
#define OPENFILENAME OPENFILENAMEA

namespace yolt::comdlg {

/// Control ids of the dialog, for tests and scripted steps.
enum : int {
    IdLookIn = 1137,
    IdItems = 1120,
    IdFileName = 1152,
    IdFileType = 1136,
    IdReadOnly = 1040,
};

/// The innermost open file dialog, or null.
HWND OpenFileDialog();
/// Types `path` into the innermost open file dialog and presses Open (posted, so the dialog acts
/// in its own loop); false when no file dialog is open.
bool ChooseFile(const std::u16string& path);
/// Presses Cancel of the innermost open file dialog; false when none is open.
bool CancelFileDialog();

}  // namespace yolt::comdlg
