#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "platform/base/errors.h"
#include "platform/resources/dialog_template.h"
#include "platform/resources/resource_directory.h"
#include "platform/resources/version_tree.h"
#include "tools/rc/script_compiler.h"
#include "platform/resources/tests/fixture_files.h"

namespace {

using namespace yolt::rc;
using yolt::rsrc::ResourceKey;
namespace fs = std::filesystem;

constexpr uint32_t kChild = 0x40000000, kVisible = 0x10000000, kGroup = 0x00020000, kTabStop = 0x00010000;
constexpr uint32_t kBorder = 0x00800000;

class RcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("rc_tests_" + std::to_string(::getpid()) + "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path Write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir_ / name, std::ios::binary) << text;
        return dir_ / name;
    }

    // Compiles the script text and lays it out as a blob.
    std::vector<uint8_t> Blob(const std::string& script, std::vector<std::string> defines = {})
    {
        try {
            auto compiled = CompileScript(Write("test.rc", script), {}, defines);
            return BuildBlob(compiled.items);
        } catch (const CompileError& error) {
            ADD_FAILURE() << error.file << ":" << error.line << ": " << error.what();
            return {};
        }
    }

    // The error message rc gives for the script, with its line.
    std::string ErrorOf(const std::string& script)
    {
        try {
            CompileScript(Write("bad.rc", script), {}, {});
        } catch (const CompileError& error) {
            return std::to_string(error.line) + ": " + error.what();
        }
        return "no error";
    }

    fs::path dir_;
};

const char* const kIds = R"(#ifndef IDS_H
#define IDS_H
#define IDI_APP 128
#define IDC_HAND 137
#define IDB_FACE 134  /* the face */
#define IDS_ABOUT 101
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define VS_VERSION_INFO 1
int a_c_declaration_that_scripts_ignore;
#endif
)";

const char* const kScript = R"(#include "ids.h"
LANGUAGE LANG_NEUTRAL, SUBLANG_NEUTRAL

IDI_APP ICON "app.ico"
IDC_HAND CURSOR "hand.cur"
IDB_FACE BITMAP DISCARDABLE "face.bmp"
LOGO BITMAP "face.bmp"
1 TYPELIB TYPELIB_FILE

STRINGTABLE
BEGIN
    IDS_ABOUT "&About..."
    38200, "Error"
    38203 "Say ""hi""\n\ttwice"
END

IDD_MAIN DIALOGEX 0, 0, 199, 125
STYLE WS_POPUP | WS_VISIBLE
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
END

IDD_ABOUT DIALOG 0, 0, 235, 55
STYLE DS_MODALFRAME | WS_POPUP | WS_SYSMENU
CAPTION "About"
FONT 8, "MS Sans Serif"
{
    ICON IDI_APP, IDC_STATIC, 11, 17, 20, 20
    LTEXT "Left", IDC_STATIC, 40, 10, 119, 8, SS_NOPREFIX
    RTEXT "Right", 1001, 1, 2, 3, 4
    CTEXT "Centre", 1002, 1, 2, 3, 4, NOT WS_GROUP
    PUSHBUTTON "Push", 1003, 1, 2, 3, 4
    DEFPUSHBUTTON "OK", IDOK, 178, 7, 50, 14, WS_GROUP
    GROUPBOX "Group", 1004, 1, 2, 3, 4
    CHECKBOX "Check", 1005, 1, 2, 3, 4
    AUTOCHECKBOX "Auto", 1006, 1, 2, 3, 4
    AUTORADIOBUTTON "Radio", 1007, 1, 2, 3, 4
    EDITTEXT 1008, 1, 2, 3, 4, ES_AUTOHSCROLL | NOT WS_BORDER
    COMBOBOX 1009, 1, 2, 3, 4, CBS_DROPDOWNLIST | WS_VSCROLL
    CONTROL "Custom", 1010, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, 1, 2, 3, 4, WS_EX_CLIENTEDGE
    CONTROL "", 1011, STATIC, SS_BLACKFRAME, (2+3)*2, -1, 3, 4
}

VS_VERSION_INFO VERSIONINFO
 FILEVERSION 1,0,1,4
 PRODUCTVERSION 1,0,1,4
 FILEFLAGSMASK 0x3fL
 FILEOS VOS_NT_WINDOWS32
 FILETYPE VFT_DLL
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        BLOCK "000004b0"
        BEGIN
            VALUE "ProductName", "Demo"
            VALUE "FileVersion", "1, 0, 1, 4"
        END
    END
    BLOCK "VarFileInfo"
    BEGIN
        VALUE "Translation", 0x0, 1200
    END
END
)";

class FullScript : public RcTest {
protected:
    void SetUp() override
    {
        RcTest::SetUp();
        Write("ids.h", kIds);
        yolt::rsrc::test::WriteBytes(dir_ / "face.bmp", yolt::rsrc::test::MakeBmp(3, 2, [](int x, int y) { return 0x102030u * (x + 1) + y; }));
        yolt::rsrc::test::WriteBytes(dir_ / "app.ico", yolt::rsrc::test::MakeIconFile({32, 16}, false));
        yolt::rsrc::test::WriteBytes(dir_ / "hand.cur", yolt::rsrc::test::MakeIconFile({32}, true));
        Write("lib.tlb", "TLB-BYTES");
        blob_ = Blob(kScript, {"TYPELIB_FILE=\"" + (dir_ / "lib.tlb").string() + "\""});
        auto directory = yolt::rsrc::ResourceDirectory::Open(blob_.data(), blob_.size());
        ASSERT_TRUE(directory);
        directory_.emplace(*directory);
    }

    std::span<const uint8_t> Data(const ResourceKey& type, const ResourceKey& name)
    {
        DWORD error = 0;
        auto entry = directory_->Find(type, name, yolt::rsrc::kAnyLanguage, &error);
        EXPECT_NE(entry, nullptr) << "error " << error;
        return entry ? directory_->Data(*entry) : std::span<const uint8_t>();
    }

    std::vector<uint8_t> blob_;
    std::optional<yolt::rsrc::ResourceDirectory> directory_;
};

TEST_F(FullScript, PlacesEveryResourceUnderItsTypeAndName)
{
    auto bmp = yolt::rsrc::test::MakeBmp(3, 2, [](int x, int y) { return 0x102030u * (x + 1) + y; });
    auto bitmap = Data(ResourceKey::Id(2), ResourceKey::Id(134));
    EXPECT_EQ(std::vector<uint8_t>(bitmap.begin(), bitmap.end()), std::vector<uint8_t>(bmp.begin() + 14, bmp.end()));
    EXPECT_EQ(Data(ResourceKey::Id(2), ResourceKey::FromWide(u"logo")).size(), bitmap.size());

    auto typelib = Data(ResourceKey::FromWide(u"TYPELIB"), ResourceKey::Id(1));
    EXPECT_EQ(std::string(typelib.begin(), typelib.end()), "TLB-BYTES");

    // The icon group names its two images; the cursor image starts with its hot spot.
    auto group = Data(ResourceKey::Id(14), ResourceKey::Id(128));
    ASSERT_EQ(group.size(), 6u + 2 * 14);
    EXPECT_EQ(group[4], 2);
    EXPECT_EQ(group[6], 32);
    uint16_t firstImage = static_cast<uint16_t>(group[6 + 12] | (group[6 + 13] << 8));
    EXPECT_FALSE(Data(ResourceKey::Id(3), ResourceKey::Id(firstImage)).empty());
    auto cursorGroup = Data(ResourceKey::Id(12), ResourceKey::Id(137));
    ASSERT_EQ(cursorGroup.size(), 6u + 14);
    uint16_t cursorImage = static_cast<uint16_t>(cursorGroup[6 + 12] | (cursorGroup[6 + 13] << 8));
    auto cursor = Data(ResourceKey::Id(1), ResourceKey::Id(cursorImage));
    ASSERT_GE(cursor.size(), 4u);
    EXPECT_EQ(cursor[0], 5);
    EXPECT_EQ(cursor[2], 0);

    DWORD error = 0;
    EXPECT_EQ(directory_->Find(ResourceKey::Id(2), ResourceKey::Id(999), yolt::rsrc::kAnyLanguage, &error), nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(directory_->Find(ResourceKey::Id(9), ResourceKey::Id(1), yolt::rsrc::kAnyLanguage, &error), nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
}

TEST_F(FullScript, GroupsStringsInBlocksOfSixteen)
{
    auto text = [&](uint16_t id) {
        auto block = Data(ResourceKey::Id(6), ResourceKey::Id(static_cast<uint16_t>(id / 16 + 1)));
        size_t at = 0;
        for (int i = 0;; ++i) {
            size_t length = block[at] | (block[at + 1] << 8);
            at += 2;
            if (i == id % 16)
                return std::u16string(reinterpret_cast<const char16_t*>(block.data() + at), length);
            at += length * 2;
        }
    };
    EXPECT_EQ(text(101), u"&About...");
    EXPECT_EQ(text(38200), u"Error");
    EXPECT_EQ(text(38203), u"Say \"hi\"\n\ttwice");
    EXPECT_EQ(text(38201), u"");
}

TEST_F(FullScript, WritesDialogsWithDefaultStylesAndControls)
{
    auto about = Data(ResourceKey::Id(5), ResourceKey::Id(100));
    auto dialog = yolt::rsrc::ParseDialogTemplate(about.data(), about.size());
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->extended);
    EXPECT_EQ(dialog->style, 0x80u | 0x80000000u | 0x00080000u | 0x00C00000u | 0x40u);  // + caption, + set font
    EXPECT_EQ(dialog->caption, u"About");
    EXPECT_EQ(dialog->faceName, u"MS Sans Serif");
    EXPECT_EQ(dialog->pointSize, 8);
    EXPECT_EQ(dialog->cx, 235);
    ASSERT_EQ(dialog->items.size(), 14u);

    struct Expected {
        const char16_t* windowClass;
        DWORD id;
        DWORD style;
    };
    const Expected expected[] = {
        {u"Static", 0xFFFF, kChild | kVisible | 0x3},
        {u"Static", 0xFFFF, kChild | kVisible | kGroup | 0x80},
        {u"Static", 1001, kChild | kVisible | kGroup | 0x2},
        {u"Static", 1002, kChild | kVisible | 0x1},
        {u"Button", 1003, kChild | kVisible | kTabStop},
        {u"Button", 1, kChild | kVisible | kTabStop | kGroup | 0x1},
        {u"Button", 1004, kChild | kVisible | 0x7},
        {u"Button", 1005, kChild | kVisible | kTabStop | 0x2},
        {u"Button", 1006, kChild | kVisible | kTabStop | 0x3},
        {u"Button", 1007, kChild | kVisible | 0x9},
        {u"Edit", 1008, kChild | kVisible | kTabStop | 0x80},
        {u"ComboBox", 1009, kChild | kVisible | kTabStop | 0x3 | 0x00200000},
        {u"Button", 1010, kChild | kVisible | kTabStop | 0x3},
        {u"Static", 1011, kChild | kVisible | 0x7},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const auto& item = dialog->items[i];
        EXPECT_EQ(item.windowClass.text, expected[i].windowClass);
        EXPECT_EQ(item.id, expected[i].id);
        EXPECT_EQ(item.style, expected[i].style);
    }
    EXPECT_TRUE(dialog->items[0].text.isOrdinal);
    EXPECT_EQ(dialog->items[0].text.ordinal, 128);
    EXPECT_EQ(dialog->items[0].cx, 20);
    EXPECT_EQ(dialog->items[5].text.text, u"OK");
    EXPECT_EQ(dialog->items[5].x, 178);
    EXPECT_EQ(dialog->items[12].exStyle, 0x200u);
    EXPECT_EQ(dialog->items[13].x, 10);
    EXPECT_EQ(dialog->items[13].y, -1);
    EXPECT_EQ(dialog->items[13].text.text, u"");
    EXPECT_EQ(dialog->items[4].style & kBorder, 0u);

    auto mainBytes = Data(ResourceKey::Id(5), ResourceKey::Id(102));
    auto main = yolt::rsrc::ParseDialogTemplate(mainBytes.data(), mainBytes.size());
    ASSERT_TRUE(main);
    EXPECT_TRUE(main->extended);
    EXPECT_EQ(main->style, 0x80000000u | 0x10000000u | 0x40u);
    EXPECT_EQ(main->charset, 1);
    EXPECT_TRUE(main->items.empty());
    EXPECT_FALSE(yolt::rsrc::ParseDialogTemplate(mainBytes.data(), mainBytes.size() - 4));
}

TEST_F(FullScript, WritesAVersionTreeThatCanBeWalked)
{
    auto tree = Data(ResourceKey::Id(16), ResourceKey::Id(1));
    ASSERT_GE(tree.size(), 6u);
    EXPECT_EQ(tree[0] | (tree[1] << 8), static_cast<int>(tree.size()));

    auto root = yolt::rsrc::FindVersionValue(tree.data(), u"\\");
    ASSERT_TRUE(root);
    ASSERT_EQ(root->length, 52);
    uint32_t fixed[13];
    std::memcpy(fixed, tree.data() + root->offset, sizeof fixed);
    EXPECT_EQ(fixed[0], 0xFEEF04BDu);
    EXPECT_EQ(fixed[2], 0x00010000u);  // file version 1.0
    EXPECT_EQ(fixed[3], 0x00010004u);  // .1.4
    EXPECT_EQ(fixed[6], 0x3Fu);
    EXPECT_EQ(fixed[8], 0x40004u);
    EXPECT_EQ(fixed[9], 2u);

    auto name = yolt::rsrc::FindVersionValue(tree.data(), u"\\StringFileInfo\\000004B0\\productname");
    ASSERT_TRUE(name);
    EXPECT_TRUE(name->isText);
    EXPECT_EQ(name->length, 5);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(tree.data() + name->offset)), u"Demo");

    auto translation = yolt::rsrc::FindVersionValue(tree.data(), u"\\VarFileInfo\\Translation");
    ASSERT_TRUE(translation);
    EXPECT_FALSE(translation->isText);
    ASSERT_EQ(translation->length, 4);
    EXPECT_EQ(std::vector<uint8_t>(tree.data() + translation->offset, tree.data() + translation->offset + 4),
        (std::vector<uint8_t>{0x00, 0x00, 0xB0, 0x04}));

    EXPECT_FALSE(yolt::rsrc::FindVersionValue(tree.data(), u"\\StringFileInfo\\000004B0\\Comments"));
}

TEST_F(RcTest, ConditionalsAndMacrosSelectWhatIsCompiled)
{
    auto blob = Blob(R"(#define BASE 0x10
#define NEXT (BASE + 1)
#if defined(BASE) && BASE == 16
STRINGTABLE BEGIN NEXT "taken" END
#else
STRINGTABLE BEGIN NEXT "not taken" END
#endif
#ifdef MISSING
#error must not be reached
#endif
)");
    auto directory = yolt::rsrc::ResourceDirectory::Open(blob.data(), blob.size());
    ASSERT_TRUE(directory);
    auto entry = directory->Find(ResourceKey::Id(6), ResourceKey::Id(17 / 16 + 1), yolt::rsrc::kAnyLanguage, nullptr);
    ASSERT_NE(entry, nullptr);
    auto data = directory->Data(*entry);
    EXPECT_EQ(data[2], 5);  // string 17 is the second of its block: "taken" has 5 characters
}

TEST_F(RcTest, ReportsErrorsWithTheirLine)
{
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"1 DIALOG 0, 0, 10, 10\nSTYLE WS_POPUP | WS_NOSUCH\nBEGIN\nEND\n", "2: undefined name 'WS_NOSUCH'"},
        {"\n1 BITMAP \"missing.bmp\"\n", "2: cannot find file 'missing.bmp'"},
        {"STRINGTABLE\nBEGIN\n1 \"a\"\n", "3: missing END"},
        {"STRINGTABLE\nBEGIN\n1 \"a\"\n1 \"b\"\nEND\n", "4: string 1 defined twice"},
        {"1 TYPELIB \"test.rc\"\n1 TYPELIB \"test.rc\"\n", "2: resource defined twice"},
        {"1 DIALOG 0, 0, 10, 10\nBEGIN\nSLIDER 1, 2, 3, 4, 5\nEND\n", "3: unknown control 'SLIDER'"},
        {"1 DIALOG 0, 0, 10\nBEGIN\nEND\n", "2: expected ',' before 'BEGIN'"},
        {"#if 1\n", "1: #if without #endif"},
        {"STRINGTABLE\nBEGIN\n1 \"open\nEND\n", "3: string not closed"},
        {"1 VERSIONINFO\nBEGIN\nBLOCK \"x\"\nBEGIN\nWHAT \"y\"\nEND\nEND\n", "5: expected BLOCK, VALUE or END"},
    };
    Write("test.rc", "");
    for (const auto& c : cases)
        EXPECT_EQ(ErrorOf(c.script), c.error) << c.script;
}

}  // namespace
