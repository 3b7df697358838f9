// CFileDialog: the framework's file-open dialog, with the filter written as
// "Description|patterns|...||" and the chosen file's full path read with GetPathName.
#pragma once

#include <string>
#include <vector>

#include "platform/appframework/text.h"
#include "platform/appframework/wnd.h"
#include "platform/comdlg/commdlg.h"

class CFileDialog {
public:
    /// An open dialog (`openFileDialog` TRUE; save dialogs are not offered) with a default
    /// extension (without its dot), an initial file name, OFN_* flags, a filter and an owner.
    CFileDialog(BOOL openFileDialog, LPCSTR defaultExtension = nullptr, LPCSTR fileName = nullptr,
        DWORD flags = OFN_HIDEREADONLY, LPCSTR filter = nullptr, CWnd* parent = nullptr);
    virtual ~CFileDialog() = default;

    /// Runs the dialog: IDOK when a file was chosen, IDCANCEL otherwise.
    virtual INT_PTR DoModal();
    /// The chosen file's full path.
    CString GetPathName() const { return CString(m_file.data()); }
    /// The chosen file's name without its folder.
    CString GetFileName() const;

    OPENFILENAMEA m_ofn{};

private:
    std::string m_defaultExtension;
    std::string m_filter;  // the filter with '|' turned into zeros
    std::vector<char> m_file;
    CWnd* m_pParentWnd;
};
