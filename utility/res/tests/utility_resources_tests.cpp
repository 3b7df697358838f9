#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/base/errors.h"
#include "platform/kernel/modules.h"
#include "platform/kernel/paths.h"
#include "platform/kernel/tests/temp_machine.h"
#include "platform/resources/dialog_template.h"
#include "platform/resources/images.h"
#include "platform/resources/resources.h"
#include "platform/resources/version_info.h"

namespace {

using yolt::rsrc::ResourceKey;

class UtilityResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        module_ = LoadLibraryW(yolt::WindowsPathFromHost(UTILITY_RESOURCE_MODULE).c_str());
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override { FreeLibrary(module_); }

    std::optional<yolt::DecodedImage> Bitmap(WORD id)
    {
        auto bytes = yolt::ModuleResource(module_, ResourceKey::Id(2), ResourceKey::Id(id));
        return yolt::DecodeDib(bytes);
    }

    yolt::testing::TempMachine machine_;
    HMODULE module_ = nullptr;
};

TEST_F(UtilityResources, HasTheBackgroundsAndPressedButtonsAtTheirSizes)
{
    struct Case {
        WORD id;
        int width, height;
    };
    const Case cases[] = {{134, 496, 378}, {147, 496, 378}, {148, 496, 378}, {149, 496, 378}, {150, 496, 378},
        {151, 496, 378}, {152, 496, 378}, {142, 136, 136}, {143, 136, 136}, {144, 136, 136}, {146, 33, 35}};
    for (const auto& c : cases) {
        auto image = Bitmap(c.id);
        ASSERT_TRUE(image) << c.id;
        EXPECT_EQ(image->width, c.width) << c.id;
        EXPECT_EQ(image->height, c.height) << c.id;
    }
}

TEST_F(UtilityResources, PressedImagesMatchTheBackgroundOutsideTheirButton)
{
    // Each pressed image is drawn over every background at its place; its corners must be
    // the background's own pixels so that no seam shows.
    struct Case {
        WORD id;
        int x, y;
    };
    const Case cases[] = {{142, 20, 224}, {143, 180, 226}, {144, 340, 224}, {146, 449, 10}};
    for (WORD background : {134, 152}) {
        auto face = Bitmap(background);
        ASSERT_TRUE(face);
        for (const auto& c : cases) {
            auto pressed = Bitmap(c.id);
            ASSERT_TRUE(pressed);
            EXPECT_EQ(pressed->pixels[0], face->pixels[c.y * face->width + c.x]) << c.id;
            EXPECT_NE(pressed->pixels[(pressed->height / 2) * pressed->width + pressed->width / 2],
                face->pixels[(c.y + pressed->height / 2) * face->width + c.x + pressed->width / 2])
                << c.id << " shows no pushed button";
        }
    }
}

TEST_F(UtilityResources, HasTheCursorIconStringAndDialogs)
{
    auto hand = yolt::LoadIconImage(module_, MAKEINTRESOURCE(137), true, 32);
    ASSERT_TRUE(hand);
    EXPECT_EQ(hand->width, 32);
    EXPECT_EQ(hand->hotX, 5);
    EXPECT_EQ(hand->hotY, 0);
    EXPECT_EQ(hand->pixels[5] >> 24, 0xFFu);  // the fingertip is drawn
    for (int size : {32, 16}) {
        auto icon = yolt::LoadIconImage(module_, MAKEINTRESOURCE(128), false, size);
        ASSERT_TRUE(icon);
        EXPECT_EQ(icon->width, size);
    }

    char text[64];
    EXPECT_EQ(LoadStringA(module_, 101, text, 64), 22);
    EXPECT_STREQ(text, "&About YOLT Utility...");

    auto mainBytes = yolt::ModuleResource(module_, ResourceKey::Id(5), ResourceKey::Id(102));
    auto main = yolt::rsrc::ParseDialogTemplate(mainBytes.data(), mainBytes.size());
    ASSERT_TRUE(main);
    EXPECT_EQ(main->style, 0x80000000u | 0x10000000u | 0x40u);  // popup, visible, set font
    EXPECT_EQ(main->cx, 199);
    EXPECT_EQ(main->cy, 125);
    EXPECT_TRUE(main->items.empty());

    auto aboutBytes = yolt::ModuleResource(module_, ResourceKey::Id(5), ResourceKey::Id(100));
    auto about = yolt::rsrc::ParseDialogTemplate(aboutBytes.data(), aboutBytes.size());
    ASSERT_TRUE(about);
    EXPECT_EQ(about->cx, 235);
    EXPECT_EQ(about->faceName, u"MS Sans Serif");
    ASSERT_EQ(about->items.size(), 4u);
    EXPECT_EQ(about->items[0].text.ordinal, 128);
    EXPECT_EQ(about->items[3].id, 1u);
    EXPECT_EQ(about->items[3].x, 178);
}

TEST_F(UtilityResources, VersionBlockGivesTheLabelTextAndNoComments)
{
    auto path = yolt::WindowsPathFromHost(UTILITY_RESOURCE_MODULE);
    std::vector<uint8_t> block(GetFileVersionInfoSizeW(path.c_str(), nullptr));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    LPVOID value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\000004B0\\FileVersion", &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "1, 0, 1, 4");
    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\", &value, &length));
    EXPECT_EQ(static_cast<const VS_FIXEDFILEINFO*>(value)->dwProductVersionLS, 0x00010004u);
    EXPECT_FALSE(VerQueryValueA(block.data(), "\\StringFileInfo\\000004B0\\Comments", &value, &length));
    EXPECT_FALSE(VerQueryValueW(block.data(), u"\\StringFileInfo\\000004B0\\Comments", &value, &length));
}

}  // namespace
