#include "platform/appframework/file_dialog.h"

#include <cstring>

#include "platform/appframework/application.h"

CFileDialog::CFileDialog(BOOL openFileDialog, LPCSTR defaultExtension, LPCSTR fileName, DWORD flags, LPCSTR filter,
    CWnd* parent)
    : m_defaultExtension(defaultExtension ? defaultExtension : ""), m_file(MAX_PATH * 2, '\0'), m_pParentWnd(parent)
{
    (void)openFileDialog;
    if (filter) {
        m_filter = filter;
        for (char& c : m_filter)
            if (c == '|')
                c = '\0';
        m_filter.push_back('\0');
    }
    if (fileName)
        std::strncpy(m_file.data(), fileName, m_file.size() - 1);
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.Flags = flags | OFN_EXPLORER;
    m_ofn.lpstrDefExt = m_defaultExtension.empty() ? nullptr : m_defaultExtension.c_str();
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.nFilterIndex = 1;
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.lpstrFile = m_file.data();
    m_ofn.nMaxFile = DWORD(m_file.size());
    CWnd* owner = m_pParentWnd;
    if (!owner && AfxGetApp())
        owner = AfxGetApp()->m_pMainWnd;
    m_ofn.hwndOwner = owner ? owner->m_hWnd : nullptr;
    return GetOpenFileNameA(&m_ofn) ? IDOK : IDCANCEL;
}

CString CFileDialog::GetFileName() const
{
    const char* path = m_file.data();
    const char* slash = std::strrchr(path, '\\');
    return CString(slash ? slash + 1 : path);
}
