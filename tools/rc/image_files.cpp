// Reading the image files that BITMAP, ICON and CURSOR statements name.
#include <fstream>

#include "platform/resources/byte_reader.h"
#include "tools/rc/script_compiler.h"

namespace yolt::rc {
namespace {

std::vector<uint8_t> ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw CompileError(path.string(), 0, "cannot read file");
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

}  // namespace

std::vector<uint8_t> ReadBitmapFile(const std::filesystem::path& path)
{
    auto bytes = ReadAll(path);
    if (bytes.size() < kFileHeaderSize + 12 || bytes[0] != 'B' || bytes[1] != 'M')
        throw CompileError(path.string(), 0, "not a BMP file");
    return std::vector<uint8_t>(bytes.begin() + kFileHeaderSize, bytes.end());
}

std::vector<IconImage> ReadIconFile(const std::filesystem::path& path, bool cursor)
{
    auto bytes = ReadAll(path);
    rsrc::ByteReader in(bytes.data(), bytes.size());
    auto reserved = in.U16(), type = in.U16(), count = in.U16();
    if (!count || *reserved != 0 || *type != (cursor ? 2 : 1) || *count == 0)
        throw CompileError(path.string(), 0, cursor ? "not a cursor file" : "not an icon file");
    std::vector<IconImage> images;
    for (uint16_t i = 0; i < *count; ++i) {
        auto width = in.U8(), height = in.U8(), colors = in.U8(), unused = in.U8();
        auto planesOrHotX = in.U16(), bitsOrHotY = in.U16();
        auto size = in.U32(), offset = in.U32();
        if (!offset || *offset > bytes.size() || *size > bytes.size() - *offset || *size < kInfoHeaderSize)
            throw CompileError(path.string(), 0, "image " + std::to_string(i) + " lies outside the file");
        std::vector<uint8_t> image(bytes.begin() + *offset, bytes.begin() + *offset + *size);
        IconImage result{};
        // Planes and bit count come from the image's own header (bytes 12 and 14).
        uint16_t planes = static_cast<uint16_t>(image[12] | (image[13] << 8));
        uint16_t bitCount = static_cast<uint16_t>(image[14] | (image[15] << 8));
        if (cursor) {
            result.data = {static_cast<uint8_t>(*planesOrHotX & 0xFF), static_cast<uint8_t>(*planesOrHotX >> 8),
                static_cast<uint8_t>(*bitsOrHotY & 0xFF), static_cast<uint8_t>(*bitsOrHotY >> 8)};
            result.data.insert(result.data.end(), image.begin(), image.end());
            // A cursor group entry holds WORD width and WORD height (doubled, as in the DIB).
            uint16_t w = *width == 0 ? 256 : *width;
            uint16_t h = static_cast<uint16_t>((*height == 0 ? 256 : *height) * 2);
            result.entry.width = static_cast<uint8_t>(w & 0xFF);
            result.entry.height = static_cast<uint8_t>(w >> 8);
            result.entry.colorCount = static_cast<uint8_t>(h & 0xFF);
            result.entry.reserved = static_cast<uint8_t>(h >> 8);
        } else {
            result.data = std::move(image);
            result.entry.width = *width;
            result.entry.height = *height;
            result.entry.colorCount = *colors;
            result.entry.reserved = *unused;
        }
        result.entry.planes = planes;
        result.entry.bitCount = bitCount;
        result.entry.bytesInRes = static_cast<uint32_t>(result.data.size());
        images.push_back(std::move(result));
    }
    return images;
}

}  // namespace yolt::rc
