// Dialogs: windows of class "#32770" built from a template, the dialog procedure, modal loops,
// and the dialog manager's keyboard handling (Enter for the default push button, Escape for
// IDCANCEL).
#pragma once

#include <string>
#include <vector>

#include "platform/user/message.h"
#include "platform/user/window.h"

typedef INT_PTR (*DLGPROC)(HWND, UINT, WPARAM, LPARAM);

#define DS_ABSALIGN 0x01L
#define DS_SYSMODAL 0x02L
#define DS_LOCALEDIT 0x20L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define DS_NOIDLEMSG 0x100L
#define DS_SETFOREGROUND 0x200L
#define DS_3DLOOK 0x0004L
#define DS_FIXEDSYS 0x0008L
#define DS_CONTROL 0x0400L
#define DS_CENTER 0x0800L
#define DS_SHELLFONT (DS_SETFONT | DS_FIXEDSYS)

#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B

#ifndef IDOK
#define IDOK 1
#define IDCANCEL 2
#endif

extern "C" {
/// Runs a modal dialog from the module's dialog template `name`: the owner is disabled, and the
/// loop dispatches messages (timers included) until EndDialog. Returns EndDialog's result, or
/// -1 when the dialog could not be created.
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param);
INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM param);
/// Creates a modeless dialog from a template; null on failure.
HWND CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param);
HWND CreateDialogParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM param);
/// Ends a modal dialog with `result`: the owner is enabled and activated again, the dialog is
/// hidden, and the modal loop returns and destroys it.
BOOL EndDialog(HWND dialog, INT_PTR result);
/// Handles keyboard input meant for a dialog (Enter, Escape, Tab); TRUE when the message was
/// the dialog's (it has then been handled or dispatched).
BOOL IsDialogMessageA(HWND dialog, LPMSG msg);
BOOL IsDialogMessageW(HWND dialog, LPMSG msg);
/// The default processing of dialog windows: calls the dialog procedure, then the dialog manager.
LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
/// Converts a rectangle from dialog units to pixels with the dialog's font.
BOOL MapDialogRect(HWND dialog, LPRECT rect);
LONG GetDialogBaseUnits();
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size);
UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
}

#define DialogBoxParam DialogBoxParamA
#define CreateDialogParam CreateDialogParamA
#define IsDialogMessage IsDialogMessageA
#define SetDlgItemText SetDlgItemTextA
#define GetDlgItemText GetDlgItemTextA

namespace yolt::user {

/// Predefined class of a template item, given by the usual ordinal atoms.
enum : WORD { DialogClassButton = 0x0080, DialogClassEdit = 0x0081, DialogClassStatic = 0x0082,
    DialogClassListBox = 0x0083, DialogClassScrollBar = 0x0084, DialogClassComboBox = 0x0085 };

struct DialogItemTemplate {
    std::u16string className;  // "Button", "Edit", "Static", "ComboBox" or a registered class
    std::u16string text;       // for SS_ICON statics: the icon's resource name ("#128" for a number)
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
};

/// Everything the dialog manager needs of a dialog template.
struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    std::u16string caption;
    std::u16string fontName;  // with DS_SETFONT
    WORD pointSize = 8;
    std::vector<DialogItemTemplate> items;
};

/// Makes a template available under (module, resource number) to DialogBoxParam and
/// CreateDialogParam, ahead of the module's own resources (tests, programs built in code).
void RegisterDialogTemplate(HINSTANCE module, int id, DialogTemplate dialogTemplate);
/// Reads a dialog template in the resource format; false when it is malformed.
bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate& out);

INT_PTR DialogBoxFromTemplate(HINSTANCE instance, const DialogTemplate& dialogTemplate, HWND owner, DLGPROC proc,
    LPARAM param);
HWND CreateDialogFromTemplate(HINSTANCE instance, const DialogTemplate& dialogTemplate, HWND owner, DLGPROC proc,
    LPARAM param);

}  // namespace yolt::user
