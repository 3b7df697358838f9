// Decoding of bitmap, icon and cursor resources into 32-bit pixels, for the drawing layer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/base/types.h"

namespace yolt {

/// Pixels as 0xAARRGGBB, rows top-down, `width` per row.
struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    int hotX = 0;  // cursors: the hot spot
    int hotY = 0;
};

/// Decodes a device-independent bitmap (BITMAPINFOHEADER, colour table, rows) of 1, 4, 8, 24
/// or 32 bits per pixel without compression, bottom-up or top-down. Opaque (alpha 0xFF).
/// nullopt for anything else or for truncated data.
std::optional<DecodedImage> DecodeDib(std::span<const uint8_t> dib);

/// Decodes one image of an icon (RT_ICON) or cursor (RT_CURSOR, with its hot spot WORDs in
/// front): colour bits, then the AND mask, whose set bits become transparent (alpha 0).
std::optional<DecodedImage> DecodeIconImage(std::span<const uint8_t> data, bool cursor);

/// Loads icon or cursor group `name` of a loaded module and decodes the image whose width is
/// nearest `size` (the larger on a tie). nullopt with the last error set as FindResource does.
std::optional<DecodedImage> LoadIconImage(HMODULE module, LPCWSTR name, bool cursor, int size);

}  // namespace yolt
