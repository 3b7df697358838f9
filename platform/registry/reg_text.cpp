#include "platform/registry/reg_text.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "platform/base/wtext.h"
#include "platform/kernel/codepages.h"
#include "platform/registry/registry.h"

namespace yolt::registry {

namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";

// ---- Reading ----------------------------------------------------------------------------

bool IsValidUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        size_t extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 9;
        if (extra == 9 || (extra == 1 && c < 0xC2))
            return false;
        if (extra > 0 && i + extra >= s.size())
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += extra + 1;
    }
    return true;
}

std::u16string WideFromAnsi(std::string_view text, UINT codePage)
{
    if (text.empty())
        return {};
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0)
        return WideFromUtf8(text);
    std::u16string wide(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

// The file's text as UTF-8, whatever form it was stored in.
std::string DecodeText(std::string_view bytes, UINT codePage)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::u16string wide;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        return Utf8FromWide(wide);
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return Utf8FromWide(WideFromAnsi(bytes, codePage));
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

struct Failure {
    std::string reason;
};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads a quoted text at the start of `s` (which begins with '"'), consuming it.
std::optional<std::string> ReadQuoted(std::string_view& s, std::string& reason)
{
    std::string out;
    size_t i = 1;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return out;
        }
        if (c != '\\') {
            out.push_back(c);
            continue;
        }
        if (++i >= s.size())
            break;
        switch (s[i]) {
        case '\\': out.push_back('\\'); break;
        case '"': out.push_back('"'); break;
        case 'n': out.push_back('\n'); break;
        case 'r': out.push_back('\r'); break;
        case 't': out.push_back('\t'); break;
        default:
            reason = std::string("unknown escape \\") + s[i];
            return std::nullopt;
        }
    }
    reason = "missing closing quote";
    return std::nullopt;
}

std::optional<std::vector<BYTE>> ReadHexBytes(std::string_view s, std::string& reason)
{
    std::vector<BYTE> bytes;
    size_t i = 0;
    while (true) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
        if (i >= s.size())
            return bytes;
        int hi = HexDigit(s[i]);
        if (hi < 0) {
            reason = "bad hexadecimal byte";
            return std::nullopt;
        }
        int value = hi;
        ++i;
        if (i < s.size() && HexDigit(s[i]) >= 0)
            value = value * 16 + HexDigit(s[i++]);
        bytes.push_back(static_cast<BYTE>(value));
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
        if (i >= s.size())
            return bytes;
        if (s[i] != ',') {
            reason = "expected ',' between hexadecimal bytes";
            return std::nullopt;
        }
        ++i;
    }
}

bool IsTextType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

std::vector<BYTE> Utf16Bytes(std::u16string_view text)
{
    std::vector<BYTE> data;
    for (char16_t c : text) {
        data.push_back(static_cast<BYTE>(c & 0xFF));
        data.push_back(static_cast<BYTE>(c >> 8));
    }
    return data;
}

class Parser {
public:
    Parser(HiveId hive, UINT codePage) : m_hive(hive), m_codePage(codePage), m_root(std::make_unique<Key>()) {}

    ParseResult Run(std::string_view bytes)
    {
        std::string text = DecodeText(bytes, m_codePage);
        std::vector<std::string_view> lines;
        for (size_t start = 0; start <= text.size();) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            lines.push_back(std::string_view(text).substr(start, end - start));
            start = end + 1;
        }

        bool headerSeen = false;
        for (size_t n = 0; n < lines.size(); ++n) {
            int lineNumber = static_cast<int>(n + 1);
            std::string_view line = Trim(lines[n]);
            if (line.empty())
                continue;
            if (!headerSeen) {
                if (line != kHeader4 && line != kHeader5)
                    return Fail(lineNumber, "expected the header \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\"");
                m_narrowText = line == kHeader4;
                headerSeen = true;
                continue;
            }
            if (line.front() == ';')
                continue;
            std::string joined(line);
            while (!joined.empty() && joined.back() == '\\' && joined.front() != '[' && n + 1 < lines.size()) {
                joined.pop_back();
                joined += Trim(lines[++n]);
            }
            std::string reason;
            if (joined.front() == '[')
                reason = Section(joined);
            else if (joined.front() == '"' || joined.front() == '@')
                reason = ValueLine(joined);
            else
                reason = "unexpected text";
            if (!reason.empty())
                return Fail(lineNumber, reason);
        }
        return ParseResult{std::move(m_root), 0, {}};
    }

private:
    ParseResult Fail(int line, std::string reason) { return ParseResult{nullptr, line, std::move(reason)}; }

    // The key path inside this hive that a section's root name and path stand for.
    std::string Section(std::string_view line)
    {
        if (line.back() != ']')
            return "a key line must end with ']'";
        std::string_view inner = line.substr(1, line.size() - 2);
        bool remove = !inner.empty() && inner.front() == '-';
        if (remove)
            inner.remove_prefix(1);
        std::vector<std::u16string> parts;
        for (size_t start = 0;;) {
            size_t end = inner.find('\\', start);
            std::string_view part = inner.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
            if (part.empty())
                return "empty key name";
            parts.push_back(WideFromUtf8(part));
            if (end == std::string_view::npos)
                break;
            start = end + 1;
        }
        std::vector<std::u16string> prefix;
        if (!RootPrefix(Utf8FromWide(parts.front()), prefix))
            return "the key is not in " + std::string(HiveRootName(m_hive));
        parts.erase(parts.begin());
        parts.insert(parts.begin(), prefix.begin(), prefix.end());

        m_current = nullptr;
        if (remove) {
            RemovePath(parts);
            return {};
        }
        Key* key = m_root.get();
        for (auto& part : parts)
            key = &key->Child(part);
        m_current = key;
        return {};
    }

    bool RootPrefix(const std::string& rootName, std::vector<std::u16string>& prefix)
    {
        auto is = [&](const char* name) { return _stricmp(rootName.c_str(), name) == 0; };
        switch (m_hive) {
        case HiveId::Machine:
            if (is("HKEY_LOCAL_MACHINE") || is("HKLM"))
                return true;
            if (is("HKEY_CLASSES_ROOT") || is("HKCR")) {
                prefix = {u"Software", u"Classes"};
                return true;
            }
            return false;
        case HiveId::User:
            return is("HKEY_CURRENT_USER") || is("HKCU");
        case HiveId::Users:
            return is("HKEY_USERS") || is("HKU");
        }
        return false;
    }

    void RemovePath(const std::vector<std::u16string>& parts)
    {
        if (parts.empty()) {
            m_root = std::make_unique<Key>();
            return;
        }
        Key* key = m_root.get();
        for (size_t i = 0; i + 1 < parts.size() && key; ++i)
            key = key->FindChild(parts[i]);
        if (key)
            key->RemoveChild(parts.back());
    }

    std::string ValueLine(std::string_view line)
    {
        if (!m_current)
            return "a value outside a key";
        std::string reason;
        std::u16string name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else {
            auto quoted = ReadQuoted(line, reason);
            if (!quoted)
                return reason;
            name = WideFromUtf8(*quoted);
        }
        line = Trim(line);
        if (line.empty() || line.front() != '=')
            return "expected '=' after the value name";
        line = Trim(line.substr(1));
        return ValueData(name, line);
    }

    std::string ValueData(const std::u16string& name, std::string_view data)
    {
        std::string reason;
        if (data == "-") {
            m_current->RemoveValue(name);
            return {};
        }
        if (!data.empty() && data.front() == '"') {
            auto text = ReadQuoted(data, reason);
            if (!text)
                return reason;
            if (!Trim(data).empty())
                return "unexpected text after the closing quote";
            m_current->SetString(name, WideFromUtf8(*text));
            return {};
        }
        if (data.substr(0, 6) == "dword:") {
            std::string_view digits = data.substr(6);
            if (digits.empty() || digits.size() > 8)
                return "a dword needs 1 to 8 hexadecimal digits";
            DWORD number = 0;
            for (char c : digits) {
                if (HexDigit(c) < 0)
                    return "a dword needs 1 to 8 hexadecimal digits";
                number = number * 16 + static_cast<DWORD>(HexDigit(c));
            }
            m_current->SetDword(name, number);
            return {};
        }
        if (data.substr(0, 3) != "hex")
            return "unrecognised value data";
        data.remove_prefix(3);
        DWORD type = REG_BINARY;
        if (!data.empty() && data.front() == '(') {
            size_t close = data.find(')');
            if (close == std::string_view::npos || close == 1 || close > 9)
                return "bad value type in hex(...)";
            type = 0;
            for (char c : data.substr(1, close - 1)) {
                if (HexDigit(c) < 0)
                    return "bad value type in hex(...)";
                type = type * 16 + static_cast<DWORD>(HexDigit(c));
            }
            data.remove_prefix(close + 1);
        }
        if (data.empty() || data.front() != ':')
            return "expected ':' after hex";
        auto bytes = ReadHexBytes(data.substr(1), reason);
        if (!bytes)
            return reason;
        if (m_narrowText && IsTextType(type)) {
            std::string narrow(bytes->begin(), bytes->end());
            *bytes = Utf16Bytes(WideFromAnsi(narrow, m_codePage));
        }
        m_current->SetValue(name, type, std::move(*bytes));
        return {};
    }

    HiveId m_hive;
    UINT m_codePage;
    bool m_narrowText = false;
    std::unique_ptr<Key> m_root;
    Key* m_current = nullptr;
};

// ---- Writing ----------------------------------------------------------------------------

std::string Quote(std::u16string_view text)
{
    std::string out = "\"";
    for (char c : Utf8FromWide(text)) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out.push_back(c);
        }
    }
    return out + "\"";
}

// The text of REG_SZ data that can be written as a quoted string and read back unchanged.
std::optional<std::u16string> PlainText(const std::vector<BYTE>& data)
{
    if (data.size() < 2 || data.size() % 2 != 0)
        return std::nullopt;
    std::u16string text;
    for (size_t i = 0; i + 2 < data.size(); i += 2)
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    if (data[data.size() - 2] != 0 || data.back() != 0)
        return std::nullopt;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c < 0x20 && c != '\t')
            return std::nullopt;
        bool high = c >= 0xD800 && c < 0xDC00;
        bool low = c >= 0xDC00 && c < 0xE000;
        if (low)
            return std::nullopt;
        if (high) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] >= 0xE000)
                return std::nullopt;
            ++i;
        }
    }
    return text;
}

std::string HexData(std::string prefix, const std::vector<BYTE>& data)
{
    std::string out = std::move(prefix);
    size_t column = out.size();
    char byteText[4];
    for (size_t i = 0; i < data.size(); ++i) {
        std::snprintf(byteText, sizeof byteText, "%02x", data[i]);
        if (column + 3 > 78) {
            out += "\\\n  ";
            column = 2;
        }
        out += byteText;
        column += 2;
        if (i + 1 < data.size()) {
            out += ',';
            ++column;
        }
    }
    return out;
}

std::string ValueText(const Value& value)
{
    std::string out = value.name.empty() ? "@=" : Quote(value.name) + "=";
    if (value.type == REG_SZ) {
        if (auto text = PlainText(value.data))
            return out + Quote(*text);
    }
    if (value.type == REG_DWORD && value.data.size() == 4) {
        char number[16];
        DWORD n = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) | (static_cast<DWORD>(value.data[3]) << 24);
        std::snprintf(number, sizeof number, "dword:%08x", static_cast<unsigned>(n));
        return out + number;
    }
    if (value.type == REG_BINARY)
        return HexData(out + "hex:", value.data);
    char type[24];
    std::snprintf(type, sizeof type, "hex(%x):", static_cast<unsigned>(value.type));
    return HexData(out + type, value.data);
}

void WriteKey(const Key& key, const std::string& path, bool isRoot, std::string& out)
{
    if (!isRoot || !key.values.empty()) {
        out += "[" + path + "]\n";
        for (auto& value : key.values)
            out += ValueText(value) + "\n";
        out += "\n";
    }
    for (auto& child : key.children)
        WriteKey(*child, path + "\\" + Utf8FromWide(child->name), false, out);
}

}  // namespace

const char* HiveRootName(HiveId hive)
{
    switch (hive) {
    case HiveId::Machine: return "HKEY_LOCAL_MACHINE";
    case HiveId::User: return "HKEY_CURRENT_USER";
    case HiveId::Users: return "HKEY_USERS";
    }
    return "";
}

ParseResult ParseRegText(std::string_view bytes, HiveId hive, UINT ansiCodePage)
{
    return Parser(hive, ansiCodePage).Run(bytes);
}

std::string FormatRegText(const Key& root, HiveId hive)
{
    std::string out = std::string(kHeader5) + "\n\n";
    WriteKey(root, HiveRootName(hive), true, out);
    return out;
}

}  // namespace yolt::registry
