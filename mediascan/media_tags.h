// The tag reader: the artist, title, album and genre of an MP3 or Windows Media file, read by
// name through the media format runtime's metadata editor ("WMVCore.dll", loaded by name).
#pragma once

#include <string>

#include "platform/base/types.h"

struct IWMHeaderInfo;

/// Units of the buffer one attribute's text is copied into; longer texts are cut to one less.
inline constexpr size_t kTagBufferUnits = 1024;

struct MediaTags {
    /// Reads the four values of the file at `path`. Success when the metadata editor opened and
    /// closed the file; each value is then its text, or empty when the file has none (or holds
    /// it as another type). A failure (the runtime missing, the file refused, the close failed)
    /// means the values are not to be used.
    HRESULT Read(LPCWSTR path);

    std::u16string path;
    std::u16string artist;  // "Author"
    std::u16string title;   // "Title"
    std::u16string album;   // "WM/AlbumTitle"
    std::u16string genre;   // "WM/Genre"
};

/// Reads the text attribute `name` at stream 0 into `buffer` (kTagBufferUnits units, always
/// terminated when written) and sets *found to 1 only when a text was copied. An absent
/// attribute is success with *found 0; a failed request returns its status.
HRESULT ReadStringAttribute(IWMHeaderInfo* info, LPCWSTR name, WCHAR* buffer, BOOL* found);
