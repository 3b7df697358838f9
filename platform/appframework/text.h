// CString: the framework's narrow text string (text in the ANSI code page), as far as programs
// need it: formatting, resource strings and conversions to and from UTF-16.
#pragma once

#include <string>

#include "platform/base/types.h"

class CString {
public:
    CString() = default;
    CString(LPCSTR text) : m_text(text ? text : "") {}
    CString(LPCSTR text, int length) : m_text(text ? std::string(text, size_t(length)) : std::string()) {}
    /// UTF-16 text converted to the ANSI code page.
    CString(LPCWSTR text);
    CString(const std::string& text) : m_text(text) {}

    int GetLength() const { return int(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    operator LPCSTR() const { return m_text.c_str(); }
    LPCSTR GetString() const { return m_text.c_str(); }
    char GetAt(int i) const { return m_text.at(size_t(i)); }
    CString Left(int n) const { return CString(m_text.substr(0, size_t(std::max(0, n)))); }
    CString Mid(int first, int n = -1) const;
    int Find(LPCSTR text, int start = 0) const;
    void MakeUpper();

    /// printf-style formatting with the system's meaning of the conversions (%s, %S, %d, %X...).
    void Format(LPCSTR format, ...);
    /// Loads a string resource of the program's resource module; FALSE when there is none.
    BOOL LoadString(UINT id);
    /// The text as UTF-16 in a new automation string (freed with SysFreeString).
    BSTR AllocSysString() const;
    std::u16string Wide() const;

    CString& operator=(LPCSTR text)
    {
        m_text = text ? text : "";
        return *this;
    }
    CString& operator+=(LPCSTR text)
    {
        m_text += text ? text : "";
        return *this;
    }
    CString& operator+=(char c)
    {
        m_text += c;
        return *this;
    }
    friend CString operator+(const CString& a, LPCSTR b) { return CString(a.m_text + (b ? b : "")); }
    friend bool operator==(const CString& a, LPCSTR b) { return a.m_text == (b ? b : ""); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }

private:
    std::string m_text;
};

namespace yolt::afx {
/// Where CString::LoadString finds string resources (the module's string table unless set):
/// fills `out` and returns true when the module has the string.
using StringLoader = bool (*)(HINSTANCE module, UINT id, std::string& out);
void SetStringLoader(StringLoader loader);
}  // namespace yolt::afx
