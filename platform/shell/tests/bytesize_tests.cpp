#include <gtest/gtest.h>

#include <string>

#include "platform/kernel/memory.h"
#include "platform/shell/bytesize.h"

TEST(ByteSize, FormatsWithThreeSignificantDigits)
{
    struct Case {
        LONGLONG size;
        const char* text;
    };
    const Case cases[] = {
        {0, "0 bytes"},
        {1023, "1023 bytes"},
        {1024, "1.00 KB"},
        {1535, "1.49 KB"},
        {10 * 1024 + 512, "10.5 KB"},
        {123 * 1024, "123 KB"},
        {3430000, "3.27 MB"},
        {5LL * 1024 * 1024 * 1024, "5.00 GB"},
        {2LL * 1024 * 1024 * 1024 * 1024, "2.00 TB"},
    };
    for (const auto& c : cases) {
        char narrow[128];
        ASSERT_NE(StrFormatByteSize64A(c.size, narrow, sizeof narrow), nullptr);
        EXPECT_STREQ(narrow, c.text);
        char16_t wide[128];
        ASSERT_NE(StrFormatByteSizeW(c.size, wide, 128), nullptr);
        EXPECT_EQ(std::u16string(wide), std::u16string(c.text, c.text + std::char_traits<char>::length(c.text)));
    }
    char tiny[4];
    EXPECT_EQ(StrFormatByteSizeA(1024, tiny, sizeof tiny), nullptr);
}

TEST(Memory, TellsWritableFromReadOnlyAndNull)
{
    int local = 0;
    static const char kConstant[] = "constant";
    EXPECT_FALSE(IsBadWritePtr(&local, sizeof local));
    EXPECT_TRUE(IsBadWritePtr(nullptr, 4));
    EXPECT_TRUE(IsBadWritePtr(const_cast<char*>(kConstant), 4));
    EXPECT_FALSE(IsBadReadPtr(kConstant, 4));
}
