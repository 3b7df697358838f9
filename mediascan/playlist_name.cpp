#include "mediascan/playlist_name.h"

namespace {

bool IsBlank(WCHAR unit)
{
    return unit == u'\t' || unit == u'\r' || unit == u'\n' || unit == u' ';
}

}  // namespace

bool IsNameCharAllowed(WCHAR unit)
{
    // Control characters are refused by the player's file system too; replacing them keeps the
    // entry instead of losing it to a playlist that cannot be created.
    if (unit < 0x20)
        return false;
    switch (unit) {
    case u'\\':
    case u'/':
    case u':':
    case u'*':
    case u'?':
    case u'"':
    case u'<':
    case u'>':
    case u'|':
        return false;
    default:
        return true;
    }
}

void TrimBlanks(std::u16string& text)
{
    size_t first = 0;
    while (first < text.size() && IsBlank(text[first]))
        ++first;
    text.erase(0, first);
    while (!text.empty() && IsBlank(text.back()))
        text.pop_back();
}

std::u16string MakePlaylistName(std::u16string_view value)
{
    std::u16string name;
    for (WCHAR unit : value) {
        if (unit == u'\0')
            continue;
        name += IsNameCharAllowed(unit) ? unit : u' ';
    }
    if (name.size() > kPlaylistNameLimit)
        name.resize(kPlaylistNameLimit);
    TrimBlanks(name);
    if (name.empty())
        return u"Unknown";
    return name;
}
