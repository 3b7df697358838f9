#include "mediascan/playlist_name.h"

#include <gtest/gtest.h>

#include <string>

TEST(MakePlaylistName, ReplacesForbiddenCharactersTrimsAndNamesEmptyResultsUnknown)
{
    struct Case {
        std::u16string value;
        std::u16string name;
    };
    const Case cases[] = {
        {u"Rock/Pop", u"Rock Pop"},
        {u"a\\b:c*d?e\"f<g>h|i", u"a b c d e f g h i"},
        {u"?", u"Unknown"},
        {u"   ", u"Unknown"},
        {u"", u"Unknown"},
        {u" \tAbba\r\n", u"Abba"},
        {u"  Mixed.Case.  ", u"Mixed.Case."},
        // Control characters inside a value would make the name invalid and lose the entry.
        {u"Tab\tInside\x01", u"Tab Inside"},
        {std::u16string(u"A\0B", 3), u"AB"},
        {u"\u65E5\u672C \u00E9t\u00E9", u"\u65E5\u672C \u00E9t\u00E9"},
        {std::u16string(300, u'x'), std::u16string(260, u'x')},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakePlaylistName(c.value), c.name) << testing::PrintToString(c.value);
}

TEST(MakePlaylistName, TrimBlanksRemovesOnlyTheFourBlanksAtEitherEnd)
{
    std::u16string text = u"\t\r\n a\tb \n";
    TrimBlanks(text);
    EXPECT_EQ(text, u"a\tb");
    text = u" \t\r\n";
    TrimBlanks(text);
    EXPECT_EQ(text, u"");
    text = u"\x0B" u"v\x0B";
    TrimBlanks(text);
    EXPECT_EQ(text, u"\x0Bv\x0B");
}
