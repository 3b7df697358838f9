// Recognises MPEG audio: TagLib's MPEG reader accepts almost any bytes, so a file is taken as
// MPEG audio only when a real frame header is found, confirmed by the frame that follows it.
#pragma once

#include <taglib/tbytevector.h>

namespace yolt::media {

/// Whether `data` holds an MPEG audio frame at or after `start` whose successor directly follows
/// it (or which ends exactly at the end of `data`).
bool HasMpegAudioFrame(const TagLib::ByteVector& data, unsigned int start);

/// The bytes an ID3v2 tag at the start of `data` occupies (header, body and footer), or 0.
unsigned int Id3v2TagSize(const TagLib::ByteVector& data);

}  // namespace yolt::media
