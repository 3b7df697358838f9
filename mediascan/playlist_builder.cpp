#include "mediascan/playlist_builder.h"

#include "mediascan/fs.h"
#include "mediascan/media_file_info.h"
#include "mediascan/playlist_file.h"
#include "mediascan/playlist_name.h"
#include "platform/base/errors.h"
#include "platform/base/wtext.h"

namespace {

// The path of a file below the drive root: its full path without the drive letter and colon.
std::u16string RelativePath(LPCWSTR path)
{
    std::u16string_view full(path);
    return std::u16string(full.size() > 2 ? full.substr(2) : std::u16string_view());
}

}  // namespace

HRESULT PlaylistBuilder::Build(LPCWSTR root)
{
    if (!root || !*root)
        return E_INVALIDARG;
    std::u16string base(root);
    if (base.back() != u'\\')
        base += u'\\';
    const std::u16string playlistFolder = base + u"Playlist";

    FsClearFolder(playlistFolder.c_str());
    FsCreateDirectory(playlistFolder.c_str());

    m_albumFolder = playlistFolder + u"\\Album";
    m_artistFolder = playlistFolder + u"\\Artist";
    m_genreFolder = playlistFolder + u"\\Genre";
    m_allPlaylist = playlistFolder + u"\\All.m3u";
    m_unknownPlaylist = playlistFolder + u"\\Unknown.m3u";

    // A group folder that cannot be made only loses the entries bound for it.
    FsCreateDirectory(m_albumFolder.c_str());
    FsCreateDirectory(m_artistFolder.c_str());
    FsCreateDirectory(m_genreFolder.c_str());

    PlaylistFile all;
    if (!all.Open(m_allPlaylist.c_str(), true, true))
        return E_FAIL;
    all.Close();

    ScanFolder((base + u"Music").c_str());
    return S_OK;
}

HRESULT PlaylistBuilder::AddFile(LPCWSTR path, const MediaFileInfo& info)
{
    if (!path)
        return E_INVALIDARG;
    if (info.isPlaylist || !info.isMedia)
        return S_OK;

    if (info.artist.empty() && info.album.empty() && info.genre.empty() && info.title.empty()) {
        AppendEntry(m_unknownPlaylist, path, u"", false);
        return S_OK;
    }
    if (!info.artist.empty() || !info.title.empty()) {
        std::u16string title = info.artist;
        if (!info.artist.empty() && !info.title.empty())
            title += u" - ";
        title += info.title;
        AppendEntry(m_allPlaylist, path, title, true);
    }
    AppendToGroup(m_albumFolder, info.album, path);
    AppendToGroup(m_artistFolder, info.artist, path);
    AppendToGroup(m_genreFolder, info.genre, path);
    return S_OK;
}

void PlaylistBuilder::AppendEntry(const std::u16string& playlist, LPCWSTR path, const std::u16string& title,
    bool extended)
{
    PlaylistFile file;
    if (!file.Open(playlist.c_str(), false, extended))
        return;
    file.Append(PlaylistEntry{title, RelativePath(path)});
    file.Close();
}

void PlaylistBuilder::AppendToGroup(const std::u16string& folder, const std::u16string& value, LPCWSTR path)
{
    if (value.empty() || value.size() >= kPlaylistNameLimit)
        return;
    AppendEntry(folder + u"\\" + MakePlaylistName(value) + u".m3u", path, u"", false);
}
