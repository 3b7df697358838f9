#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/kernel/modules.h"
#include "platform/kernel/paths.h"
#include "platform/kernel/tests/temp_machine.h"
#include "platform/resources/resources.h"
#include "platform/resources/version_info.h"

namespace {

TEST(ComponentResources, StringTableHoldsTheFormatDriverTexts)
{
    yolt::testing::TempMachine machine;
    HMODULE module = LoadLibraryW(yolt::WindowsPathFromHost(COMPONENT_RESOURCE_MODULE).c_str());
    ASSERT_NE(module, nullptr);
    struct Case {
        UINT id;
        const char16_t* text;
    };
    const Case cases[] = {
        {38200, u"Error"},
        {38201, u"Not possible to open the Disk Format dialog\n\nOpen 'My Computer' and format the disk manually.\n\n"},
        {38202, u"%sSet volume label to: '%s'"},
        {38203, u"%sLeave volume name empty!%s"},
    };
    WCHAR text[256];
    for (const auto& c : cases) {
        EXPECT_EQ(LoadStringW(module, c.id, text, 256), static_cast<int>(std::u16string(c.text).size()));
        EXPECT_EQ(std::u16string(text), c.text);
    }
    EXPECT_EQ(LoadStringW(module, 38204, text, 256), 0);
    FreeLibrary(module);
}

TEST(ComponentResources, FileCarriesTheTypeLibraryAndTheAboutStrings)
{
    yolt::testing::TempMachine machine;
    std::vector<uint8_t> typelib;
    DWORD error = 0;
    ASSERT_TRUE(yolt::ReadFileResource(COMPONENT_RESOURCE_MODULE, yolt::rsrc::ResourceKey::FromWide(u"TYPELIB"),
        yolt::rsrc::ResourceKey::Id(1), typelib, error));
    std::ifstream file(KVXRDTCT_TYPELIB_PATH, std::ios::binary);
    EXPECT_EQ(typelib, std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()));

    auto path = yolt::WindowsPathFromHost(COMPONENT_RESOURCE_MODULE);
    std::vector<uint8_t> block(GetFileVersionInfoSizeW(path.c_str(), nullptr));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    for (const char16_t* name : {u"ProductName", u"Comments", u"FileVersion", u"LegalCopyright"}) {
        LPVOID value = nullptr;
        UINT length = 0;
        std::u16string query = std::u16string(u"\\StringFileInfo\\000004B0\\") + name;
        ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), &value, &length));
        EXPECT_GT(length, 1u) << "empty";
    }
}

}  // namespace
