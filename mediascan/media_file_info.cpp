#include "mediascan/media_file_info.h"

#include "mediascan/media_tags.h"
#include "platform/base/errors.h"
#include "platform/base/wtext.h"

namespace {

struct KindByExtension {
    const char16_t* extension;
    MediaKind kind;
    BOOL isMedia;
    BOOL isPlaylist;
};

// Tested in this order; the first match decides.
constexpr KindByExtension kKinds[] = {
    {u".MP3", MediaKind::Mp3, 1, 0},
    {u".WMA", MediaKind::WindowsMedia, 1, 0},
    {u".ASF", MediaKind::WindowsMedia, 1, 0},
    {u".WAV", MediaKind::Wav, 1, 0},
    {u".AAC", MediaKind::Aac, 1, 0},
    {u".OGG", MediaKind::Ogg, 1, 0},
    {u".M3U", MediaKind::M3u, 0, 1},
};

}  // namespace

bool GetFileExtension(std::u16string_view path, std::u16string& extension)
{
    extension.clear();
    size_t nameStart = path.find_last_of(u"\\/");
    nameStart = nameStart == std::u16string_view::npos ? 0 : nameStart + 1;
    size_t dot = path.rfind(u'.');
    if (dot != std::u16string_view::npos && dot >= nameStart)
        extension = path.substr(dot);
    return !extension.empty();
}

bool MediaFileInfo::Load(LPCWSTR filePath)
{
    kind = MediaKind::None;
    isMedia = 0;
    isPlaylist = 0;
    if (!filePath)
        return false;
    path = filePath;
    artist.clear();
    title.clear();
    album.clear();
    genre.clear();

    std::u16string extension;
    if (!GetFileExtension(path, extension))
        return true;
    for (const auto& row : kKinds) {
        if (_wcsicmp(extension.c_str(), row.extension) != 0)
            continue;
        kind = row.kind;
        isMedia = row.isMedia;
        isPlaylist = row.isPlaylist;
        break;
    }
    if (kind != MediaKind::Mp3 && kind != MediaKind::WindowsMedia)
        return true;

    MediaTags tags;
    if (FAILED(tags.Read(path.c_str())))
        return false;
    artist = tags.artist;
    title = tags.title;
    album = tags.album;
    genre = tags.genre;
    return true;
}
