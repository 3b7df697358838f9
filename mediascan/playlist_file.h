// The writer of one playlist file on the player: opens it, appends one entry in the extended
// form (header line, title lines) or the plain form (path lines only), and closes it.
// Text is stored as narrow bytes in the conversion code page; every line ends with one line feed.
#pragma once

#include <string>

#include "platform/base/types.h"

/// One entry: the display title (extended form only) and the file's path below the drive root,
/// beginning with a backslash.
struct PlaylistEntry {
    std::u16string title;
    std::u16string path;
};

class PlaylistFile {
public:
    PlaylistFile() = default;
    ~PlaylistFile();
    PlaylistFile(const PlaylistFile&) = delete;
    PlaylistFile& operator=(const PlaylistFile&) = delete;

    /// With `create`: creates or truncates the file and, for the extended form, writes the
    /// header line; true only when the file is open and the whole header was written.
    /// Without `create`: opens the file, created empty when missing, content kept, no header.
    /// The file is opened without sharing.
    bool Open(LPCWSTR path, bool create, bool extended);
    /// Appends one entry at the end of the file in the file's form; true only when every byte
    /// was written. On a failed or short write the file is cut back to its length before the
    /// append, so no partial line is left behind.
    bool Append(const PlaylistEntry& entry);
    /// Closes the file if it is open.
    void Close();

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    BOOL m_extended = 0;
};
