#include <gtest/gtest.h>

#include <memory>

#include "platform/base/errors.h"
#include "platform/kernel/codepages.h"
#include "platform/machine/machine.h"
#include "shared/platform_record.h"

namespace {

struct System {
    const char* name;
    DWORD platformId, major, minor;
    bool extended;
    bool recognised;
};

const System kSystems[] = {
    {"95", 1, 4, 0, false, true},
    {"95 OSR2", 1, 4, 0, false, true},
    {"98", 1, 4, 10, false, true},
    {"98 SE", 1, 4, 10, false, true},
    {"Me", 1, 4, 90, false, true},
    {"NT 4.0", 2, 4, 0, false, true},
    {"2000", 2, 5, 0, true, true},
    {"XP", 2, 5, 1, true, true},
    {"Server 2003", 2, 5, 2, true, true},
    {"NT 6.0", 2, 6, 0, true, false},
    {"10", 2, 10, 0, true, false},
    {"95 family 4.20", 1, 4, 20, false, false},
};

class PlatformRecord : public ::testing::Test {
protected:
    void SetUp() override
    {
        machine = std::make_shared<yolt::machine::MemoryMachine>();
        yolt::machine::SetCurrentMachine(machine);
        ResetConversionCodePageRule();
    }
    void TearDown() override
    {
        ResetConversionCodePageRule();
        yolt::machine::SetCurrentMachine(nullptr);
    }
    void Run(const System& s)
    {
        machine->version.platformId = s.platformId;
        machine->version.major = s.major;
        machine->version.minor = s.minor;
        machine->version.extendedQueryWorks = s.extended;
    }
    std::shared_ptr<yolt::machine::MemoryMachine> machine;
};

}  // namespace

TEST_F(PlatformRecord, FillsOnlyForKnownSystems)
{
    for (const auto& s : kSystems) {
        Run(s);
        OsVersionRecord record;
        HRESULT hr = FillOsVersionRecord(record);
        if (s.recognised) {
            EXPECT_EQ(hr, S_OK) << s.name;
            EXPECT_EQ(record.majorVersion, s.major) << s.name;
            EXPECT_EQ(record.minorVersion, s.minor) << s.name;
            EXPECT_EQ(record.platformId, s.platformId) << s.name;
        } else {
            EXPECT_EQ(hr, E_FAIL) << s.name;
            EXPECT_EQ(record.majorVersion, 4u) << s.name;
            EXPECT_EQ(record.minorVersion, 0u) << s.name;
            EXPECT_EQ(record.platformId, 1u) << s.name;
            EXPECT_FALSE(IsNtFamily(record)) << s.name;
        }
    }
}

TEST_F(PlatformRecord, FailedFillKeepsEarlierValues)
{
    Run(kSystems[7]);  // XP
    OsVersionRecord record;
    ASSERT_EQ(FillOsVersionRecord(record), S_OK);
    Run(kSystems[9]);  // NT 6.0
    EXPECT_EQ(FillOsVersionRecord(record), E_FAIL);
    EXPECT_TRUE(IsNtFamily(record));
    EXPECT_EQ(record.minorVersion, 1u);
}

TEST_F(PlatformRecord, ConversionRuleFollowsFamilyAndMajorVersion)
{
    struct Case {
        System system;
        UINT expected;
    };
    machine->locale.localeAnsiCodePage = "1250";
    const Case cases[] = {
        {kSystems[3], 1250},           // 98 SE: locale rule
        {kSystems[5], 1250},           // NT 4.0: locale rule
        {kSystems[7], CP_THREAD_ACP},  // XP: thread rule
        {kSystems[10], CP_THREAD_ACP}, // 10: unrecognised, still the thread rule
    };
    for (const auto& c : cases) {
        ResetConversionCodePageRule();
        Run(c.system);
        EXPECT_EQ(ConversionCodePage(), c.expected) << c.system.name;
    }
}

TEST_F(PlatformRecord, LocaleRuleFallsBackToSystemCodePage)
{
    Run(kSystems[3]);
    machine->locale.ansiCodePage = 1251;
    machine->locale.localeAnsiCodePage = "0";
    EXPECT_EQ(ConversionCodePage(), 1251u);
    machine->locale.localeAnsiCodePage = "";
    EXPECT_EQ(ConversionCodePage(), 1251u);
    machine->locale.localeAnsiCodePage = "932";
    EXPECT_EQ(ConversionCodePage(), 932u);
}

TEST_F(PlatformRecord, RuleIsChosenOnceAndKept)
{
    Run(kSystems[7]);
    EXPECT_EQ(ConversionCodePage(), static_cast<UINT>(CP_THREAD_ACP));
    Run(kSystems[3]);
    EXPECT_EQ(ConversionCodePage(), static_cast<UINT>(CP_THREAD_ACP));
}
