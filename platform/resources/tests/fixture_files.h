// Small image files for resource tests, written byte by byte.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace yolt::rsrc::test {

inline void Put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(v & 0xFF);
    out.push_back(v >> 8);
}

inline void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

/// BITMAPINFOHEADER of an uncompressed image.
inline void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bitCount)
{
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<uint16_t>(bitCount));
    for (int i = 0; i < 6; ++i)
        Put32(out, 0);
}

/// A 24-bit BMP file whose pixel (x, y) (y from the top) is colour(x, y) as 0xRRGGBB.
template <typename Colour>
std::vector<uint8_t> MakeBmp(int width, int height, Colour colour)
{
    std::vector<uint8_t> dib;
    PutInfoHeader(dib, width, height, 24);
    size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    for (int row = height - 1; row >= 0; --row) {
        size_t start = dib.size();
        for (int x = 0; x < width; ++x) {
            uint32_t c = colour(x, row);
            dib.push_back(c & 0xFF);
            dib.push_back((c >> 8) & 0xFF);
            dib.push_back((c >> 16) & 0xFF);
        }
        dib.resize(start + stride, 0);
    }
    std::vector<uint8_t> file{'B', 'M'};
    Put32(file, static_cast<uint32_t>(14 + dib.size()));
    Put32(file, 0);
    Put32(file, 14 + 40);
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

/// An icon (type 1) or cursor (type 2) file of square 1-bit images of the given sizes; every
/// image is white where x < y and transparent elsewhere. Cursors get the hot spot (5, 0).
inline std::vector<uint8_t> MakeIconFile(const std::vector<int>& sizes, bool cursor)
{
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes) {
        std::vector<uint8_t> dib;
        PutInfoHeader(dib, size, size * 2, 1);
        Put32(dib, 0x000000);  // palette: black, white
        Put32(dib, 0xFFFFFF);
        size_t stride = ((static_cast<size_t>(size) + 31) / 32) * 4;
        for (int pass = 0; pass < 2; ++pass) {  // colour bits, then the AND mask
            for (int row = size - 1; row >= 0; --row) {
                std::vector<uint8_t> line(stride, 0);
                for (int x = 0; x < size; ++x) {
                    bool inside = x < row;
                    bool bit = pass == 0 ? inside : !inside;
                    if (bit)
                        line[x / 8] |= 0x80 >> (x % 8);
                }
                dib.insert(dib.end(), line.begin(), line.end());
            }
        }
        images.push_back(dib);
    }
    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, cursor ? 2 : 1);
    Put16(file, static_cast<uint16_t>(sizes.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(cursor ? 0 : 2);
        file.push_back(0);
        Put16(file, cursor ? 5 : 1);
        Put16(file, cursor ? 0 : 1);
        Put32(file, static_cast<uint32_t>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images)
        file.insert(file.end(), image.begin(), image.end());
    return file;
}

}  // namespace yolt::rsrc::test
