#include "tools/yolt-machine/sample_music.h"

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <fstream>
#include <string>

namespace yolt::tools {

namespace {

struct Song {
    const char* file;  // relative to the Music folder
    const char* artist;
    const char* title;
    const char* album;
    const char* genre;
};

constexpr Song kSongs[] = {
    {"Night Drive/01 Neon Avenue.mp3", "The Lanterns", "Neon Avenue", "Night Drive", "Synthpop"},
    {"Night Drive/02 Slow Signal.mp3", "The Lanterns", "Slow Signal", "Night Drive", "Synthpop"},
    {"Night Drive/03 Harbour Lights.mp3", "The Lanterns", "Harbour Lights", "Night Drive", "Synthpop"},
    {"Field Notes/01 Morning Frost.mp3", "Ada Winter", "Morning Frost", "Field Notes", "Folk"},
    {"Field Notes/02 Paper Boats.mp3", "Ada Winter", "Paper Boats", "Field Notes", "Folk"},
    {"Field Notes/03 The Long Walk.mp3", "Ada Winter & Jonas Reed", "The Long Walk", "Field Notes", "Folk"},
    {"Live at the Depot/01 Opening.mp3", "Circuit Choir", "Opening", "Live at the Depot", "Rock/Pop"},
    {"Live at the Depot/02 Static.mp3", "Circuit Choir", "Static", "Live at the Depot", "Rock/Pop"},
    {"Voice memo 2004-03-12.mp3", "", "", "", ""},
};

// MPEG-1 layer III frames (128 kbit/s, 44.1 kHz, 417 bytes each) of silence.
void WriteFrames(const std::filesystem::path& path, int frames)
{
    std::string frame(417, '\0');
    frame[0] = '\xFF', frame[1] = '\xFB', frame[2] = '\x90', frame[3] = '\x00';
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < frames; ++i)
        out << frame;
}

}  // namespace

int WriteSampleMusic(const std::filesystem::path& music)
{
    int written = 0;
    for (const Song& song : kSongs) {
        std::filesystem::path path = music / song.file;
        std::filesystem::create_directories(path.parent_path());
        WriteFrames(path, 8);
        ++written;
        if (!*song.title)
            continue;
        TagLib::MPEG::File file(path.c_str(), false);
        TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
        tag->setArtist(TagLib::String(song.artist, TagLib::String::UTF8));
        tag->setTitle(TagLib::String(song.title, TagLib::String::UTF8));
        tag->setAlbum(TagLib::String(song.album, TagLib::String::UTF8));
        tag->setGenre(TagLib::String(song.genre, TagLib::String::UTF8));
        file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, TagLib::ID3v2::v3);
    }
    return written;
}

}  // namespace yolt::tools
