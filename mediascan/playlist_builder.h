// The playlist builder: clears the player's "Playlist" folder and rebuilds it from the files
// below "Music": All.m3u (every file with an artist or title, extended form), Unknown.m3u
// (untagged music files) and one playlist per album, artist and genre in the folders Album,
// Artist and Genre. Entries are appended file by file; no playlist is held in memory.
#pragma once

#include <string>

#include "platform/base/types.h"

struct MediaFileInfo;

class PlaylistBuilder {
public:
    /// Rebuilds the playlists of the drive at `root` (a drive root such as "E:\\"). S_OK after
    /// the walk; E_INVALIDARG for a missing root; E_FAIL when All.m3u cannot be created (for
    /// example on a write-protected or full player), in which case nothing is walked and the
    /// caller must tell the user the scan failed.
    HRESULT Build(LPCWSTR root);
    /// Walks `folder` (with or without a trailing backslash) and every folder below it, depth
    /// first in the file system's listing order, handing each music or playlist file to AddFile.
    /// A folder that cannot be listed contributes nothing.
    void ScanFolder(LPCWSTR folder);
    /// Files one music file into the playlists its tags select; playlist files and other files
    /// are passed over. S_OK; E_INVALIDARG for a missing path. Entries that cannot be written
    /// are dropped.
    HRESULT AddFile(LPCWSTR path, const MediaFileInfo& info);

private:
    // Appends one entry for the file at `path` to the playlist file `playlist`.
    void AppendEntry(const std::u16string& playlist, LPCWSTR path, const std::u16string& title, bool extended);
    // Appends a plain entry to the group playlist of `value` in `folder`, when the value has one.
    void AppendToGroup(const std::u16string& folder, const std::u16string& value, LPCWSTR path);

    std::u16string m_albumFolder;
    std::u16string m_artistFolder;
    std::u16string m_genreFolder;
    std::u16string m_allPlaylist;
    std::u16string m_unknownPlaylist;
};
