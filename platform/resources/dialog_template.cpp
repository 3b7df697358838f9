#include "platform/resources/dialog_template.h"

#include "platform/resources/byte_reader.h"

namespace yolt::rsrc {
namespace {

bool ReadNameOrOrdinal(ByteReader& in, NameOrOrdinal& out)
{
    auto marker = in.PeekU16();
    if (!marker)
        return false;
    if (*marker == kOrdinalMarker) {
        in.U16();
        auto ordinal = in.U16();
        out.isOrdinal = true;
        out.ordinal = ordinal.value_or(0);
        return ordinal.has_value();
    }
    auto text = in.Text();
    out.text = text.value_or(u"");
    return text.has_value();
}

bool ReadText(ByteReader& in, std::u16string& out)
{
    auto text = in.Text();
    out = text.value_or(u"");
    return text.has_value();
}

}  // namespace

std::optional<DialogTemplate> ParseDialogTemplate(const void* data, size_t size)
{
    ByteReader in(static_cast<const uint8_t*>(data), size);
    DialogTemplate dialog;
    if (in.U32() != kDialogSignature)
        return std::nullopt;
    auto flags = in.U32();
    auto style = in.U32(), exStyle = in.U32(), helpId = in.U32();
    auto x = in.U16(), y = in.U16(), cx = in.U16(), cy = in.U16();
    auto count = in.U16(), pointSize = in.U16(), weight = in.U16();
    auto italic = in.U8(), charset = in.U8();
    if (!charset)
        return std::nullopt;
    dialog.extended = (*flags & kDialogExtended) != 0;
    dialog.style = *style;
    dialog.exStyle = *exStyle;
    dialog.helpId = *helpId;
    dialog.x = static_cast<SHORT>(*x);
    dialog.y = static_cast<SHORT>(*y);
    dialog.cx = static_cast<SHORT>(*cx);
    dialog.cy = static_cast<SHORT>(*cy);
    dialog.pointSize = *pointSize;
    dialog.weight = *weight;
    dialog.italic = *italic;
    dialog.charset = *charset;
    if (!ReadNameOrOrdinal(in, dialog.menu) || !ReadNameOrOrdinal(in, dialog.windowClass)
        || !ReadText(in, dialog.caption) || !ReadText(in, dialog.faceName))
        return std::nullopt;

    for (uint16_t i = 0; i < *count; ++i) {
        in.Align(4);
        DialogItemTemplate item;
        auto itemHelp = in.U32(), itemEx = in.U32(), itemStyle = in.U32();
        auto ix = in.U16(), iy = in.U16(), icx = in.U16(), icy = in.U16();
        auto id = in.U32();
        if (!id)
            return std::nullopt;
        item.helpId = *itemHelp;
        item.exStyle = *itemEx;
        item.style = *itemStyle;
        item.x = static_cast<SHORT>(*ix);
        item.y = static_cast<SHORT>(*iy);
        item.cx = static_cast<SHORT>(*icx);
        item.cy = static_cast<SHORT>(*icy);
        item.id = *id;
        if (!ReadNameOrOrdinal(in, item.windowClass) || !ReadNameOrOrdinal(in, item.text))
            return std::nullopt;
        auto extraCount = in.U16();
        if (!extraCount)
            return std::nullopt;
        auto extra = in.Bytes(*extraCount);
        if (!extra)
            return std::nullopt;
        item.extra = std::move(*extra);
        dialog.items.push_back(std::move(item));
    }
    return dialog;
}

}  // namespace yolt::rsrc
