// The media walk: PlaylistBuilder::ScanFolder visits every file below a folder, depth first in
// the order the file system lists each folder, and hands music and playlist files to AddFile.
#include "mediascan/playlist_builder.h"

#include "mediascan/fs.h"
#include "mediascan/media_file_info.h"
#include "platform/base/wtext.h"
#include "platform/kernel/files.h"

void PlaylistBuilder::ScanFolder(LPCWSTR folder)
{
    if (!folder || !*folder)
        return;
    std::u16string parent(folder);
    if (parent.back() != u'\\')
        parent += u'\\';
    const std::u16string pattern = parent + u"*";

    FsFindEntry entry;
    HANDLE find = FsFindFirst(pattern.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        // An empty name (one that could not be widened) would name this folder again and walk
        // it without end.
        if (entry.name[0] == u'\0' || wcscmp(entry.name, u".") == 0 || wcscmp(entry.name, u"..") == 0)
            continue;
        const std::u16string child = parent + entry.name;
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            ScanFolder(child.c_str());
            continue;
        }
        MediaFileInfo info;
        if (info.Load(child.c_str()) && (info.isMedia || info.isPlaylist))
            AddFile(child.c_str(), info);
    } while (FsFindNext(find, &entry));
    FsFindClose(find);
}
