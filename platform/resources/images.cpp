#include "platform/resources/images.h"

#include <cstdlib>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/resources/byte_reader.h"
#include "platform/resources/resources.h"

namespace yolt {
namespace {

constexpr uint32_t kBiRgb = 0;

struct DibLayout {
    int width = 0;
    int height = 0;       // as the header says (doubled for icons)
    bool topDown = false;
    int bitCount = 0;
    size_t paletteOffset = 0;
    size_t paletteCount = 0;
    size_t bitsOffset = 0;
};

std::optional<DibLayout> ReadLayout(std::span<const uint8_t> dib)
{
    rsrc::ByteReader in(dib.data(), dib.size());
    auto headerSize = in.U32(), width = in.U32(), height = in.U32();
    auto planes = in.U16(), bitCount = in.U16();
    auto compression = in.U32();
    in.U32();  // image size
    in.U32();  // resolution
    in.U32();
    auto used = in.U32();
    if (!used || *headerSize < 40 || *headerSize > dib.size() || *planes != 1 || *compression != kBiRgb)
        return std::nullopt;
    DibLayout layout;
    layout.width = static_cast<int32_t>(*width);
    int32_t signedHeight = static_cast<int32_t>(*height);
    layout.topDown = signedHeight < 0;
    layout.height = std::abs(signedHeight);
    layout.bitCount = *bitCount;
    if (layout.width <= 0 || layout.height == 0 || layout.width > 32768 || layout.height > 65536)
        return std::nullopt;
    if (layout.bitCount != 1 && layout.bitCount != 4 && layout.bitCount != 8 && layout.bitCount != 24 && layout.bitCount != 32)
        return std::nullopt;
    layout.paletteOffset = *headerSize;
    if (layout.bitCount <= 8)
        layout.paletteCount = *used != 0 ? *used : (size_t(1) << layout.bitCount);
    if (layout.paletteCount > 256)
        return std::nullopt;
    layout.bitsOffset = layout.paletteOffset + layout.paletteCount * 4;
    if (layout.bitsOffset > dib.size())
        return std::nullopt;
    return layout;
}

size_t RowBytes(int width, int bitCount)
{
    return ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
}

// Decodes `rows` rows of colour bits starting at `bits`.
bool DecodeRows(std::span<const uint8_t> dib, const DibLayout& layout, int rows, DecodedImage& image)
{
    size_t stride = RowBytes(layout.width, layout.bitCount);
    if (stride * rows > dib.size() - layout.bitsOffset)
        return false;
    image.width = layout.width;
    image.height = rows;
    image.pixels.assign(static_cast<size_t>(layout.width) * rows, 0);
    for (int row = 0; row < rows; ++row) {
        const uint8_t* line = dib.data() + layout.bitsOffset + stride * row;
        int y = layout.topDown ? row : rows - 1 - row;
        for (int x = 0; x < layout.width; ++x) {
            uint32_t pixel;
            if (layout.bitCount == 24) {
                const uint8_t* p = line + x * 3;
                pixel = 0xFF000000u | (p[2] << 16) | (p[1] << 8) | p[0];
            } else if (layout.bitCount == 32) {
                const uint8_t* p = line + x * 4;
                pixel = (uint32_t(p[3]) << 24) | (p[2] << 16) | (p[1] << 8) | p[0];
            } else {
                int perByte = 8 / layout.bitCount;
                int shift = 8 - layout.bitCount * (x % perByte + 1);
                size_t index = (line[x / perByte] >> shift) & ((1 << layout.bitCount) - 1);
                if (index >= layout.paletteCount)
                    index = 0;
                const uint8_t* entry = dib.data() + layout.paletteOffset + index * 4;
                pixel = 0xFF000000u | (entry[2] << 16) | (entry[1] << 8) | entry[0];
            }
            image.pixels[static_cast<size_t>(y) * layout.width + x] = pixel;
        }
    }
    return true;
}

}  // namespace

std::optional<DecodedImage> DecodeDib(std::span<const uint8_t> dib)
{
    auto layout = ReadLayout(dib);
    if (!layout)
        return std::nullopt;
    DecodedImage image;
    if (!DecodeRows(dib, *layout, layout->height, image))
        return std::nullopt;
    if (layout->bitCount == 32) {
        for (auto& pixel : image.pixels)
            pixel |= 0xFF000000u;
    }
    return image;
}

std::optional<DecodedImage> DecodeIconImage(std::span<const uint8_t> data, bool cursor)
{
    int hotX = 0, hotY = 0;
    if (cursor) {
        if (data.size() < 4)
            return std::nullopt;
        hotX = data[0] | (data[1] << 8);
        hotY = data[2] | (data[3] << 8);
        data = data.subspan(4);
    }
    auto layout = ReadLayout(data);
    if (!layout || layout->height % 2 != 0 || layout->topDown)
        return std::nullopt;
    int rows = layout->height / 2;
    DecodedImage image;
    if (!DecodeRows(data, *layout, rows, image))
        return std::nullopt;
    image.hotX = hotX;
    image.hotY = hotY;

    bool hasAlpha = false;
    if (layout->bitCount == 32) {
        for (auto pixel : image.pixels)
            hasAlpha = hasAlpha || (pixel >> 24) != 0;
    }
    size_t maskOffset = layout->bitsOffset + RowBytes(layout->width, layout->bitCount) * rows;
    size_t maskStride = RowBytes(layout->width, 1);
    bool hasMask = maskOffset + maskStride * rows <= data.size();
    for (int row = 0; row < rows; ++row) {
        int y = rows - 1 - row;
        for (int x = 0; x < layout->width; ++x) {
            auto& pixel = image.pixels[static_cast<size_t>(y) * layout->width + x];
            if (hasAlpha)
                continue;
            bool transparent = hasMask && ((data[maskOffset + maskStride * row + x / 8] >> (7 - x % 8)) & 1);
            pixel = transparent ? (pixel & 0x00FFFFFFu) : (pixel | 0xFF000000u);
        }
    }
    return image;
}

std::optional<DecodedImage> LoadIconImage(HMODULE module, LPCWSTR name, bool cursor, int size)
{
    auto group = ModuleResource(module, rsrc::ResourceKey::Id(cursor ? 12 : 14), rsrc::ResourceKey::FromWide(name));
    if (group.size() < sizeof(rsrc::GroupHeader))
        return std::nullopt;
    rsrc::ByteReader in(group.data(), group.size());
    in.U16();
    in.U16();
    auto count = in.U16();
    int bestWidth = -1;
    uint16_t bestId = 0;
    for (uint16_t i = 0; count && i < *count; ++i) {
        auto widthLow = in.U8(), widthHigh = in.U8();
        in.U16();
        in.U16();
        in.U16();
        in.U32();
        auto id = in.U16();
        if (!id)
            return std::nullopt;
        // Icons keep a byte width (0 = 256); cursors a WORD.
        int width = cursor ? (*widthLow | (*widthHigh << 8)) : (*widthLow == 0 ? 256 : *widthLow);
        bool better = bestWidth < 0 || std::abs(width - size) < std::abs(bestWidth - size)
            || (std::abs(width - size) == std::abs(bestWidth - size) && width > bestWidth);
        if (better) {
            bestWidth = width;
            bestId = *id;
        }
    }
    if (bestWidth < 0) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return std::nullopt;
    }
    auto image = ModuleResource(module, rsrc::ResourceKey::Id(cursor ? 1 : 3), rsrc::ResourceKey::Id(bestId));
    if (image.empty())
        return std::nullopt;
    auto decoded = DecodeIconImage(image, cursor);
    if (!decoded)
        SetLastError(ERROR_INVALID_DATA);
    return decoded;
}

}  // namespace yolt
