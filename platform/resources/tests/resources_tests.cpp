#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/kernel/modules.h"
#include "platform/kernel/paths.h"
#include "platform/kernel/tests/temp_machine.h"
#include "platform/resources/dialog_template.h"
#include "platform/resources/images.h"
#include "platform/resources/resources.h"
#include "platform/resources/tests/fixture_pixels.h"
#include "platform/resources/version_info.h"

namespace {

using yolt::rsrc::ResourceKey;

class LoadedModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = yolt::WindowsPathFromHost(RESOURCE_TEST_MODULE);
        module_ = LoadLibraryW(path_.c_str());
        ASSERT_NE(module_, nullptr) << GetLastError();
    }
    void TearDown() override { FreeLibrary(module_); }

    yolt::testing::TempMachine machine_;
    std::u16string path_;
    HMODULE module_ = nullptr;
};

TEST_F(LoadedModule, FindsBitmapsAndReadsTheirPixelsBack)
{
    HRSRC found = FindResourceW(module_, MAKEINTRESOURCE(10), RT_BITMAP);
    ASSERT_NE(found, nullptr);
    // The data is the module's own, reached through its exported blob.
    auto blob = static_cast<const uint8_t*>(yolt::ModuleSymbol(module_, "yolt_resource_blob"));
    ASSERT_NE(blob, nullptr);
    EXPECT_EQ(yolt::ModuleFromAddress(LoadResource(module_, found)), module_);
    EXPECT_EQ(FindResourceA(module_, "#10", RT_BITMAP), found);
    auto data = static_cast<const uint8_t*>(LockResource(LoadResource(module_, found)));
    ASSERT_NE(data, nullptr);
    auto image = yolt::DecodeDib({data, SizeofResource(module_, found)});
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width, yolt::rsrc::test::kBitmapWidth);
    ASSERT_EQ(image->height, yolt::rsrc::test::kBitmapHeight);
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x)
            EXPECT_EQ(image->pixels[y * image->width + x], 0xFF000000u | yolt::rsrc::test::BitmapPixel(x, y)) << x << "," << y;
    }
}

TEST_F(LoadedModule, ReportsWhatIsMissingAndRejectsForeignHandles)
{
    struct Case {
        LPCWSTR name;
        LPCWSTR type;
        DWORD error;
    };
    const Case cases[] = {
        {MAKEINTRESOURCEW(99), RT_BITMAP, ERROR_RESOURCE_NAME_NOT_FOUND},
        {MAKEINTRESOURCEW(10), RT_MENU, ERROR_RESOURCE_TYPE_NOT_FOUND},
        {u"NOSUCH", u"TYPELIB", ERROR_RESOURCE_NAME_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_EQ(FindResourceW(module_, c.name, c.type), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    int notAResource = 0;
    SetLastError(0);
    EXPECT_EQ(LoadResource(module_, reinterpret_cast<HRSRC>(&notAResource)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(SizeofResource(module_, nullptr), 0u);
    // A handle of one module is not a resource of another.
    HRSRC typelib = FindResourceW(module_, MAKEINTRESOURCE(1), u"typelib");
    ASSERT_NE(typelib, nullptr);
    EXPECT_EQ(LoadResource(nullptr, typelib), nullptr);
}

TEST_F(LoadedModule, LoadsStringsPresentTruncatedAndAbsent)
{
    WCHAR wide[32];
    EXPECT_EQ(LoadStringW(module_, 17, wide, 32), 12);
    EXPECT_EQ(std::u16string(wide), u"Hello, world");
    EXPECT_EQ(LoadStringW(module_, 17, wide, 6), 5);
    EXPECT_EQ(std::u16string(wide), u"Hello");
    const WCHAR* direct = nullptr;
    EXPECT_EQ(LoadStringW(module_, 17, reinterpret_cast<LPWSTR>(&direct), 0), 12);
    EXPECT_EQ(std::u16string(direct, 12), u"Hello, world");

    char narrow[32];
    EXPECT_EQ(LoadStringA(module_, 18, narrow, 32), 5);
    EXPECT_STREQ(narrow, "Gr\xFC\xDF" "e");  // code page 1252

    for (UINT absent : {16u, 19u, 1000u}) {
        wide[0] = u'x';
        narrow[0] = 'x';
        EXPECT_EQ(LoadStringW(module_, absent, wide, 32), 0) << absent;
        EXPECT_EQ(wide[0], 0);
        EXPECT_EQ(LoadStringA(module_, absent, narrow, 32), 0) << absent;
        EXPECT_EQ(narrow[0], 0);
    }
}

TEST_F(LoadedModule, DecodesIconAndCursorImagesWithMaskAndHotSpot)
{
    auto cursor = yolt::LoadIconImage(module_, MAKEINTRESOURCE(12), true, 32);
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->width, 32);
    EXPECT_EQ(cursor->height, 32);
    EXPECT_EQ(cursor->hotX, 5);
    EXPECT_EQ(cursor->hotY, 0);
    EXPECT_EQ(cursor->pixels[31 * 32 + 0], 0xFFFFFFFFu);  // x < y: opaque white
    EXPECT_EQ(cursor->pixels[0 * 32 + 31] >> 24, 0u);     // elsewhere transparent

    auto small = yolt::LoadIconImage(module_, MAKEINTRESOURCE(11), false, 16);
    ASSERT_TRUE(small);
    EXPECT_EQ(small->width, 16);
    EXPECT_EQ(small->height, 16);
    EXPECT_FALSE(yolt::LoadIconImage(module_, MAKEINTRESOURCE(99), false, 16));
}

TEST_F(LoadedModule, GivesDialogTemplates)
{
    auto bytes = yolt::ModuleResource(module_, ResourceKey::Id(5), ResourceKey::Id(200));
    auto dialog = yolt::rsrc::ParseDialogTemplate(bytes.data(), bytes.size());
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->caption, u"Sample");
    ASSERT_EQ(dialog->items.size(), 1u);
    EXPECT_EQ(dialog->items[0].id, 1u);
    EXPECT_EQ(dialog->items[0].windowClass.text, u"Button");
}

TEST(ProgramResources, AreFoundThroughTheProgramsExportedBlob)
{
    ASSERT_NE(yolt::ModuleSymbol(nullptr, "yolt_resource_blob"), nullptr);
    WCHAR text[32];
    EXPECT_EQ(LoadStringW(nullptr, 5, text, 32), 16);
    EXPECT_EQ(std::u16string(text), u"from the program");
    EXPECT_EQ(LoadStringW(GetModuleHandleA(nullptr), 5, text, 32), 16);
}

TEST(FileResources, AreReadByPathWithoutLoadingTheModule)
{
    yolt::testing::TempMachine machine;
    std::vector<uint8_t> data;
    DWORD error = 0;
    ASSERT_TRUE(yolt::ReadFileResource(RESOURCE_TEST_MODULE, ResourceKey::FromWide(u"TYPELIB"), ResourceKey::Id(1), data, error));
    EXPECT_EQ(std::string(data.begin(), data.end()), "TYPELIB PLACEHOLDER\n");
    auto windowsPath = yolt::WindowsPathFromHost(RESOURCE_TEST_MODULE);
    data.clear();
    ASSERT_TRUE(yolt::ReadFileResourceW(windowsPath.c_str(), ResourceKey::FromWide(u"TYPELIB"), ResourceKey::Id(1), data, error));
    EXPECT_EQ(data.size(), 20u);

    auto notModule = std::filesystem::path(machine.root) / "plain.txt";
    std::ofstream(notModule) << "not a module";
    struct Case {
        std::filesystem::path path;
        DWORD error;
    };
    const Case cases[] = {
        {std::filesystem::path(machine.root) / "missing.dll", ERROR_FILE_NOT_FOUND},
        {notModule, ERROR_BAD_EXE_FORMAT},
        {RESOURCE_FREE_MODULE, ERROR_RESOURCE_DATA_NOT_FOUND},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(yolt::ReadFileResource(c.path, ResourceKey::Id(16), ResourceKey::Id(1), data, error));
        EXPECT_EQ(error, c.error) << c.path;
    }
}

TEST(VersionInformation, AnswersFixedInfoTextsInBothFormsAndTranslation)
{
    yolt::testing::TempMachine machine;
    auto path = yolt::WindowsPathFromHost(RESOURCE_TEST_MODULE);
    std::string narrowPath = yolt::Utf8FromWide(path);
    DWORD handle = 7;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA(narrowPath.c_str(), nullptr), size);
    std::vector<uint8_t> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(narrowPath.c_str(), 0, size, block.data()));

    LPVOID value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    auto fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00020003u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00040005u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\StringFileInfo\\000004B0\\ProductName", &value, &length));
    EXPECT_EQ(std::u16string(static_cast<const WCHAR*>(value)), u"Caf\u00E9 Module");
    EXPECT_EQ(length, 12u);
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\000004B0\\ProductName", &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "Caf\xE9 Module");
    // The 8-bit answer leaves the UTF-16 one intact.
    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\StringFileInfo\\000004b0\\productname", &value, &length));
    EXPECT_EQ(std::u16string(static_cast<const WCHAR*>(value)), u"Caf\u00E9 Module");

    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(static_cast<const WORD*>(value)[0], 0);
    EXPECT_EQ(static_cast<const WORD*>(value)[1], 1200);

    EXPECT_TRUE(VerQueryValueW(block.data(), u"\\StringFileInfo\\000004B0\\Comments", &value, &length));
    EXPECT_FALSE(VerQueryValueW(block.data(), u"\\StringFileInfo\\000004B0\\LegalCopyright", &value, &length));
    EXPECT_FALSE(VerQueryValueW(block.data(), u"\\StringFileInfo\\040904B0\\ProductName", &value, &length));
}

TEST(VersionInformation, FailsForFilesWithoutItAndForShortBuffers)
{
    yolt::testing::TempMachine machine;
    auto plain = yolt::WindowsPathFromHost(RESOURCE_FREE_MODULE);
    SetLastError(0);
    EXPECT_EQ(GetFileVersionInfoSizeW(plain.c_str(), nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
    EXPECT_EQ(GetFileVersionInfoSizeW(u"Z:\\no\\such\\file.dll", nullptr), 0u);

    auto path = yolt::WindowsPathFromHost(RESOURCE_TEST_MODULE);
    std::vector<uint8_t> block(16);
    SetLastError(0);
    EXPECT_FALSE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

}  // namespace
