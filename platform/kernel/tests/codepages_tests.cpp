#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/codepages.h"
#include "platform/machine/machine.h"

namespace {

class CodePages : public ::testing::Test {
protected:
    void SetUp() override
    {
        machine = std::make_shared<yolt::machine::MemoryMachine>();
        yolt::machine::SetCurrentMachine(machine);
    }
    void TearDown() override { yolt::machine::SetCurrentMachine(nullptr); }

    std::string ToNarrow(UINT cp, const char16_t* text)
    {
        char buffer[64] = {};
        int n = WideCharToMultiByte(cp, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
        EXPECT_GT(n, 0);
        return std::string(buffer);
    }

    std::u16string ToWide(UINT cp, const char* text)
    {
        char16_t buffer[64] = {};
        int n = MultiByteToWideChar(cp, 0, text, -1, buffer, 64);
        EXPECT_GT(n, 0);
        return std::u16string(buffer);
    }

    std::shared_ptr<yolt::machine::MemoryMachine> machine;
};

}  // namespace

TEST_F(CodePages, ConvertsInEachCodePage)
{
    struct Case {
        UINT cp;
        const char16_t* wide;
        const char* narrow;
    };
    const Case cases[] = {
        {1252, u"Caf\u00e9", "Caf\xe9"},
        {1250, u"\u0159ada", "\xf8" "ada"},
        {1251, u"\u041c\u0438\u0440", "\xcc\xe8\xf0"},
        {932, u"\u65e5\u672c", "\x93\xfa\x96\x7b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToNarrow(c.cp, c.wide), c.narrow) << c.cp;
        EXPECT_EQ(ToWide(c.cp, c.narrow), c.wide) << c.cp;
    }
}

TEST_F(CodePages, UnrepresentableCharacterBecomesDefaultCharacter)
{
    BOOL used = FALSE;
    char buffer[16];
    int n = WideCharToMultiByte(1252, 0, u"a\u65e5b", -1, buffer, sizeof buffer, nullptr, &used);
    EXPECT_EQ(n, 4);
    EXPECT_STREQ(buffer, "a?b");
    EXPECT_TRUE(used);
    EXPECT_EQ(ToNarrow(932, u"x\u0159y"), "x?y");
}

TEST_F(CodePages, SizesBuffersAndErrors)
{
    EXPECT_EQ(WideCharToMultiByte(932, 0, u"\u65e5a", -1, nullptr, 0, nullptr, nullptr), 4);
    EXPECT_EQ(WideCharToMultiByte(932, 0, u"\u65e5a", 2, nullptr, 0, nullptr, nullptr), 3);
    char small[2];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"abc", -1, small, sizeof small, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    char16_t wide[8];
    EXPECT_EQ(MultiByteToWideChar(932, 0, "\x93", 1, wide, 8), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    EXPECT_EQ(MultiByteToWideChar(12345, 0, "a", 1, wide, 8), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(CodePages, SymbolicCodePagesFollowTheMachine)
{
    machine->locale.ansiCodePage = 1251;
    machine->locale.localeAnsiCodePage = "932";
    EXPECT_EQ(yolt::ResolveCodePage(CP_ACP), 1251u);
    EXPECT_EQ(yolt::ResolveCodePage(CP_THREAD_ACP), 932u);
    EXPECT_EQ(ToNarrow(CP_ACP, u"\u041c"), "\xcc");
    machine->locale.localeAnsiCodePage = "0";
    EXPECT_EQ(yolt::ResolveCodePage(CP_THREAD_ACP), 1251u);
}
