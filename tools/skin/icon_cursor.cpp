// The program icon (16 colours) and the hand cursor (two colours), written as icon and cursor
// files the resource compiler reads.
#include <cmath>
#include <cstring>
#include <fstream>

#include "tools/skin/artwork.h"

namespace yolt::skin {
namespace {

// The standard 16-colour palette, as 0xRRGGBB.
const uint32_t kPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

int NearestPaletteIndex(Colour c)
{
    int best = 0;
    float bestDistance = 1e9f;
    for (int i = 0; i < 16; ++i) {
        Colour p = Rgb(kPalette[i]);
        float d = (p.r - c.r) * (p.r - c.r) * 0.3f + (p.g - c.g) * (p.g - c.g) * 0.59f + (p.b - c.b) * (p.b - c.b) * 0.11f;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// The hand: 'X' outline (black), '.' fill (white), ' ' transparent; the fingertip's top-left
// dot is the hot spot (5, 0).
const char* const kHand[] = {
    "     XX",
    "    X..X",
    "    X..X",
    "    X..X",
    "    X..X",
    "    X..XXX",
    "    X..X..XXX",
    "    X..X..X..XX",
    " XX X..X..X..X.X",
    "X..XX........X..X",
    "X...X...........X",
    " X..............X",
    "  X.............X",
    "  X............X",
    "   X...........X",
    "   X..........X",
    "    X.........X",
    "    X........X",
    "     X.......X",
    "     XXXXXXXXX",
};
constexpr int kHandRows = sizeof(kHand) / sizeof(kHand[0]);

char HandAt(int x, int y)
{
    if (y >= kHandRows)
        return ' ';
    const char* row = kHand[y];
    return x < static_cast<int>(std::strlen(row)) ? row[x] : ' ';
}

void Put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(v & 0xFF);
    out.push_back(v >> 8);
}
void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void PutInfoHeader(std::vector<uint8_t>& out, int size, int bitCount, int colours)
{
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(size));
    Put32(out, static_cast<uint32_t>(size * 2));
    Put16(out, 1);
    Put16(out, static_cast<uint16_t>(bitCount));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(colours));
    Put32(out, 0);
}

// The 1-bit AND mask rows (bottom-up), a set bit meaning transparent.
void PutMask(std::vector<uint8_t>& out, int size, const std::vector<uint8_t>& transparent)
{
    size_t stride = ((static_cast<size_t>(size) + 31) / 32) * 4;
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> line(stride, 0);
        for (int x = 0; x < size; ++x) {
            if (transparent[static_cast<size_t>(y) * size + x])
                line[x / 8] |= 0x80 >> (x % 8);
        }
        out.insert(out.end(), line.begin(), line.end());
    }
}

bool WriteDirectory(const std::string& path, bool cursor, const std::vector<int>& sizes,
    const std::vector<std::vector<uint8_t>>& images, int colours, int hotX, int hotY)
{
    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, cursor ? 2 : 1);
    Put16(file, static_cast<uint16_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(static_cast<uint8_t>(colours == 16 ? 16 : (cursor ? 0 : 2)));
        file.push_back(0);
        Put16(file, static_cast<uint16_t>(cursor ? hotX : 1));
        Put16(file, static_cast<uint16_t>(cursor ? hotY : (colours == 16 ? 4 : 1)));
        Put32(file, static_cast<uint32_t>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images)
        file.insert(file.end(), image.begin(), image.end());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out);
}

Canvas Chequered(int width, int height)
{
    Canvas canvas(width, height, Rgb(0xFFFFFF));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            canvas.Blend(x, y, Rgb(((x / 4 + y / 4) % 2) ? 0xC8D0E0 : 0xE8ECF4), 1.0f);
    return canvas;
}

}  // namespace

// The icon: a small player, a silver body with a dark display showing an orange bar and a
// round button below.
Canvas DrawIcon(int size, std::vector<uint8_t>& mask)
{
    const int scale = 8;
    int big = size * scale;
    Canvas hi(big, big, Rgb(0xFF00FF));
    float u = static_cast<float>(big) / 32.0f;
    hi.RoundRect(5 * u, 1 * u, 27 * u, 31 * u, 4 * u, [](float, float) { return Rgb(0x000000); });
    hi.RoundRect(6.2f * u, 2.2f * u, 25.8f * u, 29.8f * u, 3 * u, [](float, float) { return Rgb(0xC0C0C0); });
    hi.RoundRect(8 * u, 4 * u, 24 * u, 14 * u, 1.5f * u, [](float, float) { return Rgb(0x000000); });
    hi.RoundRect(10 * u, 7.5f * u, 22 * u, 10.5f * u, 0.8f * u, [](float, float) { return Rgb(0xFFFF00); });
    hi.Circle(16 * u, 22 * u, 5.5f * u, [](float, float) { return Rgb(0x808080); });
    hi.Circle(16 * u, 22 * u, 4.2f * u, [](float, float) { return Rgb(0xFFFFFF); });
    hi.Circle(16 * u, 22 * u, 1.6f * u, [](float, float) { return Rgb(0x808080); });

    // Box-filter down to the icon's size; pixels mostly outside the body become transparent.
    Canvas icon(size, size, Rgb(0));
    mask.assign(static_cast<size_t>(size) * size, 0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float r = 0, g = 0, b = 0;
            int inside = 0;
            for (int sy = 0; sy < scale; ++sy) {
                for (int sx = 0; sx < scale; ++sx) {
                    Colour c = hi.At(x * scale + sx, y * scale + sy);
                    bool key = c.r > 0.99f && c.g < 0.01f && c.b > 0.99f;
                    if (key)
                        continue;
                    r += c.r;
                    g += c.g;
                    b += c.b;
                    ++inside;
                }
            }
            if (inside * 2 < scale * scale) {
                mask[static_cast<size_t>(y) * size + x] = 1;
                continue;
            }
            icon.Blend(x, y, Rgb(kPalette[NearestPaletteIndex({r / inside, g / inside, b / inside})]), 1.0f);
        }
    }
    return icon;
}

bool WriteIconFile(const std::string& path, const std::vector<int>& sizes)
{
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes) {
        std::vector<uint8_t> mask;
        Canvas icon = DrawIcon(size, mask);
        std::vector<uint8_t> dib;
        PutInfoHeader(dib, size, 4, 16);
        for (uint32_t rgb : kPalette)
            Put32(dib, rgb);  // stored as blue, green, red, 0
        size_t stride = ((static_cast<size_t>(size) * 4 + 31) / 32) * 4;
        for (int y = size - 1; y >= 0; --y) {
            std::vector<uint8_t> line(stride, 0);
            for (int x = 0; x < size; ++x) {
                int index = mask[static_cast<size_t>(y) * size + x] ? 0 : NearestPaletteIndex(icon.At(x, y));
                line[x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? index << 4 : index);
            }
            dib.insert(dib.end(), line.begin(), line.end());
        }
        PutMask(dib, size, mask);
        images.push_back(std::move(dib));
    }
    return WriteDirectory(path, false, sizes, images, 16, 0, 0);
}

bool WriteHandCursor(const std::string& path)
{
    const int size = 32;
    std::vector<uint8_t> dib;
    PutInfoHeader(dib, size, 1, 2);
    Put32(dib, 0x000000);
    Put32(dib, 0xFFFFFF);
    std::vector<uint8_t> transparent(static_cast<size_t>(size) * size, 0);
    size_t stride = 4;
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> line(stride, 0);
        for (int x = 0; x < size; ++x) {
            char c = HandAt(x, y);
            if (c == '.')
                line[x / 8] |= 0x80 >> (x % 8);
            transparent[static_cast<size_t>(y) * size + x] = c == ' ';
        }
        dib.insert(dib.end(), line.begin(), line.end());
    }
    PutMask(dib, size, transparent);
    return WriteDirectory(path, true, {size}, {dib}, 2, 5, 0);
}

Canvas IconPreview(int size)
{
    std::vector<uint8_t> mask;
    Canvas icon = DrawIcon(size, mask);
    Canvas preview = Chequered(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (!mask[static_cast<size_t>(y) * size + x])
                preview.Blend(x, y, icon.At(x, y), 1.0f);
    return preview;
}

Canvas CursorPreview()
{
    Canvas preview = Chequered(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            char c = HandAt(x, y);
            if (c != ' ')
                preview.Blend(x, y, Rgb(c == 'X' ? 0x000000 : 0xFFFFFF), 1.0f);
        }
    }
    preview.Blend(5, 0, Rgb(0xFF0000), 0.6f);
    return preview;
}

}  // namespace yolt::skin
