// Small media files made in the tests: MPEG audio frames and a bare ASF header, ready for
// TagLib to add tags to.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace media_fixtures {

// MPEG-1 layer III, 128 kbit/s, 44.1 kHz, no padding: 417 bytes a frame.
inline void WriteMpegFrames(const std::filesystem::path& path, int frames)
{
    std::string frame(417, '\0');
    frame[0] = '\xFF', frame[1] = '\xFB', frame[2] = '\x90', frame[3] = '\x00';
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < frames; ++i)
        out << frame;
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline std::string Le(unsigned long long value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// An ASF file that holds just the two header objects a reader requires (file and stream
// properties, zero-filled), with no content description and no attributes.
inline void WriteBareAsf(const std::filesystem::path& path)
{
    const std::string headerGuid("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
    const std::string filePropertiesGuid("\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65", 16);
    const std::string streamPropertiesGuid("\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65", 16);
    std::string fileProperties = filePropertiesGuid + Le(104, 8) + std::string(80, '\0');
    std::string streamProperties = streamPropertiesGuid + Le(78, 8) + std::string(54, '\0');
    std::string body = fileProperties + streamProperties;
    std::string header = headerGuid + Le(30 + body.size(), 8) + Le(2, 4) + "\x01\x02" + body;
    WriteBytes(path, header);
}

}  // namespace media_fixtures
