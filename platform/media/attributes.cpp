#include "platform/media/attributes.h"

#include <taglib/asffile.h>
#include <taglib/asftag.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include "platform/media/mpeg_probe.h"

namespace yolt::media {
namespace {

constexpr size_t kMaxValueBytes = 0xFFFF;
// How far past an ID3v2 tag the first MPEG audio frame is looked for.
constexpr unsigned int kProbeWindow = 64 * 1024;

const TagLib::ByteVector kAsfHeaderGuid("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);

std::vector<BYTE> TextValue(const TagLib::String& text)
{
    TagLib::ByteVector bytes = text.data(TagLib::String::UTF16LE);
    // The value's length is 16-bit: a longer text is cut to what fits with its terminator.
    size_t keep = std::min<size_t>(bytes.size(), (kMaxValueBytes - 2) & ~size_t{1});
    std::vector<BYTE> value(bytes.data(), bytes.data() + keep);
    value.push_back(0);
    value.push_back(0);
    return value;
}

std::vector<BYTE> LittleEndian(unsigned long long number, size_t bytes)
{
    std::vector<BYTE> value(bytes);
    for (size_t i = 0; i < bytes; ++i)
        value[i] = static_cast<BYTE>(number >> (8 * i));
    return value;
}

std::u16string Name(const TagLib::String& name)
{
    TagLib::ByteVector bytes = name.data(TagLib::String::UTF16LE);
    std::u16string text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(static_cast<BYTE>(bytes[2 * i]) | (static_cast<BYTE>(bytes[2 * i + 1]) << 8));
    return text;
}

void AddText(std::vector<Attribute>& attributes, const char16_t* name, const TagLib::String& text)
{
    attributes.push_back({name, WMT_TYPE_STRING, TextValue(text)});
}

// One file-level text attribute of an MP3: the ID3v2 frame when the tag has it (even if empty),
// else the ID3v1 field when that is not empty.
void AddMpegField(std::vector<Attribute>& attributes, const char16_t* name, TagLib::ID3v2::Tag* v2,
    const char* frameId, TagLib::String (TagLib::Tag::*field)() const, TagLib::ID3v1::Tag* v1)
{
    if (v2 && v2->frameListMap().contains(frameId)) {
        AddText(attributes, name, (v2->*field)());
        return;
    }
    if (v1 && !(v1->*field)().isEmpty())
        AddText(attributes, name, (v1->*field)());
}

std::optional<std::vector<Attribute>> ReadMpeg(TagLib::IOStream& stream)
{
    stream.seek(0);
    TagLib::ByteVector head = stream.readBlock(kProbeWindow);
    unsigned int tagSize = Id3v2TagSize(head);
    if (tagSize > 0) {
        stream.seek(tagSize);
        head = stream.readBlock(kProbeWindow);
        tagSize = 0;
    }

    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    if (!file.isValid())
        return std::nullopt;
    bool hasTag = file.hasID3v2Tag() || file.hasID3v1Tag();
    if (!hasTag && !HasMpegAudioFrame(head, tagSize))
        return std::nullopt;

    TagLib::ID3v2::Tag* v2 = file.hasID3v2Tag() ? file.ID3v2Tag() : nullptr;
    TagLib::ID3v1::Tag* v1 = file.hasID3v1Tag() ? file.ID3v1Tag() : nullptr;
    std::vector<Attribute> attributes;
    AddMpegField(attributes, u"Author", v2, "TPE1", &TagLib::Tag::artist, v1);
    AddMpegField(attributes, u"Title", v2, "TIT2", &TagLib::Tag::title, v1);
    AddMpegField(attributes, u"WM/AlbumTitle", v2, "TALB", &TagLib::Tag::album, v1);
    AddMpegField(attributes, u"WM/Genre", v2, "TCON", &TagLib::Tag::genre, v1);
    return attributes;
}

std::optional<Attribute> FromAsf(const TagLib::String& name, const TagLib::ASF::Attribute& attribute)
{
    switch (attribute.type()) {
    case TagLib::ASF::Attribute::UnicodeType: return Attribute{Name(name), WMT_TYPE_STRING, TextValue(attribute.toString())};
    case TagLib::ASF::Attribute::BoolType: return Attribute{Name(name), WMT_TYPE_BOOL, LittleEndian(attribute.toBool() ? 1 : 0, 4)};
    case TagLib::ASF::Attribute::DWordType: return Attribute{Name(name), WMT_TYPE_DWORD, LittleEndian(attribute.toUInt(), 4)};
    case TagLib::ASF::Attribute::QWordType: return Attribute{Name(name), WMT_TYPE_QWORD, LittleEndian(attribute.toULongLong(), 8)};
    case TagLib::ASF::Attribute::WordType: return Attribute{Name(name), WMT_TYPE_WORD, LittleEndian(attribute.toUShort(), 2)};
    case TagLib::ASF::Attribute::BytesType:
    case TagLib::ASF::Attribute::GuidType: {
        TagLib::ByteVector bytes = attribute.toByteVector();
        // A value the 16-bit length cannot state is left out rather than cut.
        if (bytes.size() > kMaxValueBytes)
            return std::nullopt;
        auto type = attribute.type() == TagLib::ASF::Attribute::GuidType ? WMT_TYPE_GUID : WMT_TYPE_BINARY;
        return Attribute{Name(name), type, std::vector<BYTE>(bytes.data(), bytes.data() + bytes.size())};
    }
    }
    return std::nullopt;
}

std::optional<std::vector<Attribute>> ReadAsf(TagLib::IOStream& stream)
{
    TagLib::ASF::File file(&stream, false);
    if (!file.isValid() || !file.tag())
        return std::nullopt;
    TagLib::ASF::Tag* tag = file.tag();
    std::vector<Attribute> attributes;
    // The content description keeps no difference between an empty and an absent field.
    const std::pair<const char16_t*, TagLib::String> described[] = {
        {u"Author", tag->artist()}, {u"Title", tag->title()}, {u"Copyright", tag->copyright()},
        {u"Description", tag->comment()}};
    for (const auto& [name, text] : described) {
        if (!text.isEmpty())
            AddText(attributes, name, text);
    }
    for (const auto& [name, list] : tag->attributeListMap()) {
        std::u16string wideName = Name(name);
        bool taken = false;
        for (const auto& existing : attributes)
            taken = taken || existing.name == wideName;
        for (const auto& attribute : list) {
            if (taken || attribute.stream() != 0)
                continue;
            if (auto converted = FromAsf(name, attribute)) {
                attributes.push_back(std::move(*converted));
                taken = true;
            }
        }
    }
    return attributes;
}

}  // namespace

std::optional<std::vector<Attribute>> ReadAttributes(TagLib::IOStream& stream)
{
    stream.seek(0);
    TagLib::ByteVector start = stream.readBlock(kAsfHeaderGuid.size());
    stream.seek(0);
    if (start == kAsfHeaderGuid)
        return ReadAsf(stream);
    return ReadMpeg(stream);
}

}  // namespace yolt::media
