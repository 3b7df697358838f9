// Music files for the scan's tests, written with TagLib into a drive's folders: MPEG audio
// frames with ID3v2.3, ID3v2.4 or ID3v1 tags, an ASF (WMA) file with a numeric album, and a file
// the tag runtime cannot parse.
#pragma once

#include <taglib/asffile.h>
#include <taglib/asftag.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <filesystem>
#include <string>

#include "platform/media/tests/media_fixtures.h"

namespace scan_testing {

enum class TagFormat { Id3v23, Id3v24, Id3v1, None };

/// The four values a test gives a file; an empty value is not written.
struct Tags {
    std::u16string artist, title, album, genre;
};

inline TagLib::String TagText(const std::u16string& text)
{
    return TagLib::String(std::wstring(text.begin(), text.end()));
}

inline void CreateParents(const std::filesystem::path& path)
{
    std::filesystem::create_directories(path.parent_path());
}

/// An MP3 of a few frames with the values in the given tag format (none: no tag at all).
inline void WriteMp3(const std::filesystem::path& path, const Tags& tags, TagFormat format = TagFormat::Id3v24)
{
    CreateParents(path);
    media_fixtures::WriteMpegFrames(path, 4);
    if (format == TagFormat::None)
        return;
    TagLib::MPEG::File file(path.c_str(), false);
    TagLib::Tag* tag = format == TagFormat::Id3v1 ? static_cast<TagLib::Tag*>(file.ID3v1Tag(true))
                                                  : static_cast<TagLib::Tag*>(file.ID3v2Tag(true));
    if (!tags.artist.empty())
        tag->setArtist(TagText(tags.artist));
    if (!tags.title.empty())
        tag->setTitle(TagText(tags.title));
    if (!tags.album.empty())
        tag->setAlbum(TagText(tags.album));
    if (!tags.genre.empty())
        tag->setGenre(TagText(tags.genre));
    const int kind = format == TagFormat::Id3v1 ? TagLib::MPEG::File::ID3v1 : TagLib::MPEG::File::ID3v2;
    const auto version = format == TagFormat::Id3v23 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4;
    file.save(kind, TagLib::File::StripOthers, version);
}

/// A WMA (ASF) file with artist, title and genre as text and the album stored as a number.
inline void WriteWmaWithNumericAlbum(const std::filesystem::path& path, const Tags& tags, unsigned album)
{
    CreateParents(path);
    media_fixtures::WriteBareAsf(path);
    TagLib::ASF::File file(path.c_str(), false);
    if (!tags.artist.empty())
        file.tag()->setArtist(TagText(tags.artist));
    if (!tags.title.empty())
        file.tag()->setTitle(TagText(tags.title));
    if (!tags.genre.empty())
        file.tag()->setAttribute("WM/Genre", TagLib::ASF::Attribute(TagText(tags.genre)));
    file.tag()->setAttribute("WM/AlbumTitle", TagLib::ASF::Attribute(album));
    file.save();
}

/// A file with a music name whose content no tag runtime can read.
inline void WriteUnparseable(const std::filesystem::path& path)
{
    CreateParents(path);
    media_fixtures::WriteBytes(path, "This is a text file, not MPEG audio.\n");
}

/// A file whose content is not looked at (wav, aac, ogg, playlists, other names).
inline void WriteOther(const std::filesystem::path& path)
{
    CreateParents(path);
    media_fixtures::WriteBytes(path, "RIFF");
}

}  // namespace scan_testing
