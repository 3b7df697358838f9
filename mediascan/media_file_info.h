// One visited file of the media walk: its path, kind and, for MP3 and Windows Media files, the
// four tag values read from it.
#pragma once

#include <string>

#include "mediascan/media_kind.h"
#include "platform/base/types.h"

struct MediaFileInfo {
    /// Fills the record for the file at `path`: kind and flags from the extension, tags for MP3,
    /// WMA and ASF files. True when the record may be used (files of kind None included); false
    /// for a missing path and for a tag-bearing file whose tags cannot be read (tags empty).
    bool Load(LPCWSTR path);

    std::u16string path;
    std::u16string artist;  // each tag value empty when the file has no such tag
    std::u16string title;
    std::u16string album;
    std::u16string genre;
    MediaKind kind = MediaKind::None;
    BOOL isMedia = 0;     // a music file
    BOOL isPlaylist = 0;  // an M3U playlist
};

/// The extension of the path's last component, from its last dot, dot included; true when that
/// extension is not empty.
bool GetFileExtension(std::u16string_view path, std::u16string& extension);
