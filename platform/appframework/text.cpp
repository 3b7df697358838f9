#include "platform/appframework/text.h"

#include <algorithm>
#include <cstdarg>

#include "platform/appframework/application.h"
#include "platform/base/bstr.h"
#include "platform/base/format.h"
#include "platform/base/wtext.h"
#include "platform/kernel/codepages.h"
#include "platform/resources/resources.h"

namespace yolt::afx {
namespace {
// By default strings come from the module's string table.
bool LoadFromModule(HINSTANCE module, UINT id, std::string& out)
{
    char buffer[4096];
    int n = LoadStringA(module, id, buffer, sizeof buffer);
    if (n <= 0)
        return false;
    out.assign(buffer, size_t(n));
    return true;
}

StringLoader& Loader()
{
    static StringLoader loader = LoadFromModule;
    return loader;
}
}  // namespace

void SetStringLoader(StringLoader loader)
{
    Loader() = loader;
}
}  // namespace yolt::afx

CString::CString(LPCWSTR text)
{
    if (!text || !*text)
        return;
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return;
    m_text.resize(size_t(n));
    WideCharToMultiByte(CP_ACP, 0, text, -1, m_text.data(), n, nullptr, nullptr);
    m_text.resize(size_t(n - 1));
}

CString CString::Mid(int first, int n) const
{
    if (first < 0 || size_t(first) >= m_text.size())
        return CString();
    return CString(m_text.substr(size_t(first), n < 0 ? std::string::npos : size_t(n)));
}

int CString::Find(LPCSTR text, int start) const
{
    size_t at = m_text.find(text ? text : "", size_t(std::max(0, start)));
    return at == std::string::npos ? -1 : int(at);
}

void CString::MakeUpper()
{
    for (auto& c : m_text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
}

void CString::Format(LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    m_text = yolt::VFormatA(format, args);
    va_end(args);
}

BOOL CString::LoadString(UINT id)
{
    auto loader = yolt::afx::Loader();
    std::string text;
    if (!loader || !loader(AfxGetResourceHandle(), id, text)) {
        m_text.clear();
        return FALSE;
    }
    m_text = text;
    return TRUE;
}

std::u16string CString::Wide() const
{
    if (m_text.empty())
        return {};
    int n = MultiByteToWideChar(CP_ACP, 0, m_text.data(), int(m_text.size()), nullptr, 0);
    std::u16string out(size_t(std::max(n, 0)), u'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, m_text.data(), int(m_text.size()), out.data(), n);
    return out;
}

BSTR CString::AllocSysString() const
{
    std::u16string wide = Wide();
    BSTR result = SysAllocStringLen(wide.data(), UINT(wide.size()));
    if (!result)
        AfxThrowMemoryException();
    return result;
}
