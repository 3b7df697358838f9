#include <gtest/gtest.h>

#include <memory>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/locale.h"
#include "platform/kernel/version.h"
#include "platform/machine/machine.h"

TEST(Version, AnswersBothStructureSizesAndRefusesOthers)
{
    auto machine = std::make_shared<yolt::machine::MemoryMachine>();
    yolt::machine::SetCurrentMachine(machine);

    OSVERSIONINFOEXA ex = {};
    ex.dwOSVersionInfoSize = sizeof ex;
    ASSERT_TRUE(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex)));
    EXPECT_EQ(ex.dwMajorVersion, 5u);
    EXPECT_EQ(ex.dwMinorVersion, 1u);
    EXPECT_EQ(ex.dwPlatformId, 2u);
    EXPECT_STREQ(ex.szCSDVersion, "Service Pack 2");
    EXPECT_EQ(ex.wProductType, VER_NT_WORKSTATION);

    OSVERSIONINFOA plain = {};
    plain.dwOSVersionInfoSize = 100;
    EXPECT_FALSE(GetVersionExA(&plain));
    EXPECT_EQ(plain.dwMajorVersion, 0u);

    machine->version.extendedQueryWorks = false;
    EXPECT_FALSE(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex)));
    plain.dwOSVersionInfoSize = sizeof plain;
    EXPECT_TRUE(GetVersionExA(&plain));
    yolt::machine::SetCurrentMachine(nullptr);
}

TEST(Locale, ReportsDefaultAnsiCodePageAsText)
{
    auto machine = std::make_shared<yolt::machine::MemoryMachine>();
    yolt::machine::SetCurrentMachine(machine);
    char text[7];
    EXPECT_EQ(GetLocaleInfoA(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, text, sizeof text), 5);
    EXPECT_STREQ(text, "1252");
    EXPECT_EQ(GetLocaleInfoA(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, text, 3), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    machine->locale.localeAnsiCodePage.clear();
    EXPECT_EQ(GetLocaleInfoA(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, text, sizeof text), 0);
    yolt::machine::SetCurrentMachine(nullptr);
}
