#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry/reg_text.h"
#include "platform/registry/registry.h"

using namespace yolt::registry;

namespace {

std::vector<BYTE> Bytes(std::initializer_list<int> list)
{
    std::vector<BYTE> out;
    for (int b : list)
        out.push_back(static_cast<BYTE>(b));
    return out;
}

const Value& ValueAt(const Key& root, std::initializer_list<std::u16string_view> path, std::u16string_view name)
{
    const Key* key = &root;
    for (auto part : path) {
        key = key->FindChild(part);
        EXPECT_NE(key, nullptr);
        if (!key) {
            static Value none;
            return none;
        }
    }
    const Value* value = key->FindValue(name);
    EXPECT_NE(value, nullptr) << std::string(name.begin(), name.end());
    static Value none;
    return value ? *value : none;
}

// The same content in both header forms: texts of hex(2)/hex(7) data are narrow in the older form.
TEST(RegText, ReadsBothHeaderFormsWithEveryValueKind)
{
    const std::string regedit4 =
        "REGEDIT4\r\n"
        "\r\n"
        "; a comment\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n"
        "@=\"default \\\"quoted\\\" C:\\\\path\"\r\n"
        "\"Number\"=dword:0000002a\r\n"
        "\"Blob\"=hex:01,02,\\\r\n"
        "  ff\r\n"
        "\"Expand\"=hex(2):25,41,25,00\r\n"
        "\"Multi\"=hex(7):61,00,62,00,00\r\n"
        "\"Latin\"=\"caf\xE9\"\r\n";
    const std::string version5 =
        "Windows Registry Editor Version 5.00\n"
        "\n"
        "[HKLM\\software\\test]\n"
        "@=\"default \\\"quoted\\\" C:\\\\path\"\n"
        "\"Number\"=dword:2A\n"
        "\"Blob\"=hex:01,02,ff\n"
        "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\n"
        "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n"
        "\"Latin\"=\"caf\xC3\xA9\"\n";

    for (const std::string& text : {regedit4, version5}) {
        SCOPED_TRACE(text.substr(0, 8));
        ParseResult parsed = ParseRegText(text, HiveId::Machine, 1252);
        ASSERT_NE(parsed.root, nullptr) << parsed.errorLine << ": " << parsed.error;
        const Key& root = *parsed.root;
        EXPECT_EQ(ValueAt(root, {u"Software", u"Test"}, u"").data, StringData(u"default \"quoted\" C:\\path"));
        EXPECT_EQ(ValueAt(root, {u"Software", u"Test"}, u"Number").type, DWORD(REG_DWORD));
        EXPECT_EQ(ValueAt(root, {u"Software", u"Test"}, u"Number").data, Bytes({42, 0, 0, 0}));
        EXPECT_EQ(ValueAt(root, {u"Software", u"Test"}, u"Blob").data, Bytes({1, 2, 0xFF}));
        EXPECT_EQ(ValueAt(root, {u"Software", u"Test"}, u"Expand").type, DWORD(REG_EXPAND_SZ));
        EXPECT_EQ(ValueAt(root, {u"Software", u"Test"}, u"Expand").data, StringData(u"%A%"));
        EXPECT_EQ(ValueAt(root, {u"Software", u"Test"}, u"Multi").data, Bytes({'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}));
        EXPECT_EQ(ValueAt(root, {u"Software", u"Test"}, u"Latin").data, StringData(u"caf\u00E9"));
        EXPECT_EQ(root.children.size(), 1u) << "sections differing in case name one key";
    }
}

TEST(RegText, ClassesRootSectionsLandBelowSoftwareClasses)
{
    ParseResult parsed = ParseRegText("REGEDIT4\n[HKEY_CLASSES_ROOT\\A.B\\CLSID]\n@=\"{x}\"\n", HiveId::Machine, 1252);
    ASSERT_NE(parsed.root, nullptr);
    EXPECT_EQ(ValueAt(*parsed.root, {u"Software", u"Classes", u"A.B", u"CLSID"}, u"").data, StringData(u"{x}"));
}

TEST(RegText, DeletionLinesRemoveKeysAndValues)
{
    ParseResult parsed = ParseRegText(
        "REGEDIT4\n[HKLM\\A\\B]\n\"v\"=\"1\"\n\"w\"=\"2\"\n[HKLM\\A\\C]\n[-HKLM\\A\\C]\n[HKLM\\A\\B]\n\"v\"=-\n",
        HiveId::Machine, 1252);
    ASSERT_NE(parsed.root, nullptr);
    const Key* a = parsed.root->FindChild(u"A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->FindChild(u"C"), nullptr);
    EXPECT_EQ(a->FindChild(u"B")->FindValue(u"v"), nullptr);
    EXPECT_NE(a->FindChild(u"B")->FindValue(u"w"), nullptr);
}

TEST(RegText, WrittenTextReadsBackUnchanged)
{
    Key root;
    Key& key = root.Child(u"Software").Child(u"Odd \"names\" [here]");
    key.SetString(u"", u"plain");
    key.SetString(u"quote\"back\\slash", u"caf\u00E9 \U0001F600");
    key.SetDword(u"dword", 0xDEADBEEF);
    key.SetValue(u"binary", REG_BINARY, std::vector<BYTE>(100, 0xAB));
    key.SetValue(u"no terminator", REG_SZ, Bytes({'a', 0}));
    key.SetValue(u"line break", REG_SZ, StringData(u"a\r\nb"));
    key.SetValue(u"short dword", REG_DWORD, Bytes({1, 2}));
    key.SetValue(u"qword", REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
    key.SetValue(u"none", REG_NONE, {});
    root.Child(u"Empty");
    root.SetString(u"at root", u"x");

    std::string text = FormatRegText(root, HiveId::Machine);
    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\n", 0), 0u);
    ParseResult parsed = ParseRegText(text, HiveId::Machine, 1252);
    ASSERT_NE(parsed.root, nullptr) << parsed.errorLine << ": " << parsed.error << "\n" << text;
    EXPECT_EQ(FormatRegText(*parsed.root, HiveId::Machine), text);
    const Key* back = parsed.root->FindChild(u"Software")->FindChild(u"Odd \"names\" [here]");
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->values.size(), key.values.size());
    for (size_t i = 0; i < key.values.size(); ++i) {
        EXPECT_EQ(back->values[i].name, key.values[i].name);
        EXPECT_EQ(back->values[i].type, key.values[i].type);
        EXPECT_EQ(back->values[i].data, key.values[i].data);
    }
    EXPECT_NE(parsed.root->FindChild(u"Empty"), nullptr);
    EXPECT_EQ(parsed.root->children[0]->name, u"Software") << "creation order is kept";
}

TEST(RegText, ReportsTheLineOfTheFirstError)
{
    struct Case {
        const char* text;
        int line;
        const char* reason;
    } cases[] = {
        {"[HKLM\\A]\n", 1, "header"},
        {"REGEDIT4\n\"v\"=\"x\"\n", 2, "outside a key"},
        {"REGEDIT4\n[HKLM\\A]\n\"v\"=\"unterminated\n", 3, "closing quote"},
        {"REGEDIT4\n[HKLM\\A]\n\"v\" \"x\"\n", 3, "'='"},
        {"REGEDIT4\n[HKLM\\A]\n\"v\"=dword:123456789\n", 3, "dword"},
        {"REGEDIT4\n[HKLM\\A]\n\"v\"=hex:0g\n", 3, "hexadecimal"},
        {"REGEDIT4\n[HKLM\\A]\n\"v\"=\"a\\q\"\n", 3, "escape"},
        {"REGEDIT4\n\n[HKLM\\A\n", 3, "']'"},
        {"REGEDIT4\n[HKLM\\\\A]\n", 2, "empty key name"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n", 2, "not in HKEY_LOCAL_MACHINE"},
        {"REGEDIT4\n[HKLM\\A]\n\"v\"=wrong\n", 3, "unrecognised"},
        {"REGEDIT4\n[HKLM\\A]\ngarbage\n", 3, "unexpected"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.text);
        ParseResult parsed = ParseRegText(c.text, HiveId::Machine, 1252);
        EXPECT_EQ(parsed.root, nullptr);
        EXPECT_EQ(parsed.errorLine, c.line);
        EXPECT_NE(parsed.error.find(c.reason), std::string::npos) << parsed.error;
    }
}

TEST(RegText, AcceptsEmptyAndUtf16Files)
{
    EXPECT_NE(ParseRegText("", HiveId::User, 1252).root, nullptr);
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("Windows Registry Editor Version 5.00\r\n[HKCU\\A]\r\n\"v\"=\"\xE9\"\r\n")) {
        utf16.push_back(c == '\xE9' ? '\xE9' : c);
        utf16.push_back('\0');
    }
    ParseResult parsed = ParseRegText(utf16, HiveId::User, 1252);
    ASSERT_NE(parsed.root, nullptr) << parsed.error;
    EXPECT_EQ(ValueAt(*parsed.root, {u"A"}, u"v").data, StringData(u"\u00E9"));
}

}  // namespace
