// The file-level attributes of an MP3 or ASF file, read with TagLib from any TagLib stream.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <taglib/tiostream.h>

#include "platform/media/wmvcore.h"

namespace yolt::media {

struct Attribute {
    std::u16string name;
    WMT_ATTR_DATATYPE type;
    std::vector<BYTE> value;  // the bytes GetAttributeByName hands out, at most 0xFFFF of them
};

/// Reads the attributes of the file behind `stream`: ASF when it starts with the ASF header
/// object, MPEG audio otherwise. Nothing when the content is not a readable ASF file, or shows
/// neither an ID3 tag nor an MPEG audio frame.
std::optional<std::vector<Attribute>> ReadAttributes(TagLib::IOStream& stream);

}  // namespace yolt::media
