// Device-independent bitmaps (as bitmap resources and BMP files hold them) turned into
// device-dependent 32-bit bitmaps.
#include "platform/gdi/surface.h"

#include <cstring>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"

namespace yolt::gdi {
bool DecodeDibForCreate(const BITMAPINFOHEADER& h, const RGBQUAD* colors, const void* bits, size_t size, Surface& out);
namespace {

uint32_t ReadLE32(const BYTE* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

// Converts rows of a DIB; false when the header or the data is not one we can read.
bool DecodeDib(const BITMAPINFOHEADER& h, const RGBQUAD* colors, size_t colorCount, const BYTE* bits,
    size_t bitsSize, Surface& out)
{
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biPlanes != 1)
        return false;
    if (h.biCompression != BI_RGB)
        return false;
    const int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        return false;
    const int width = h.biWidth;
    const int height = h.biHeight > 0 ? h.biHeight : -h.biHeight;
    if (width > 0x4000 || height > 0x4000)
        return false;
    const size_t stride = ((size_t(width) * size_t(bpp) + 31) / 32) * 4;
    if (bitsSize < stride * size_t(height))
        return false;
    out = Surface(width, height);
    for (int row = 0; row < height; ++row) {
        const BYTE* line = bits + stride * size_t(row);
        const int y = h.biHeight > 0 ? height - 1 - row : row;  // bottom-up unless the height is negative
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = 0;
            if (bpp == 24 || bpp == 32) {
                const BYTE* p = line + size_t(x) * size_t(bpp / 8);
                pixel = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
            } else {
                unsigned index = 0;
                if (bpp == 8)
                    index = line[x];
                else if (bpp == 4)
                    index = (line[x / 2] >> ((x % 2) ? 0 : 4)) & 0x0F;
                else
                    index = (line[x / 8] >> (7 - x % 8)) & 1;
                if (index >= colorCount)
                    return false;
                const RGBQUAD& c = colors[index];
                pixel = uint32_t(c.rgbRed) << 16 | uint32_t(c.rgbGreen) << 8 | c.rgbBlue;
            }
            out.At(x, y) = pixel;
        }
    }
    return true;
}

size_t ColorCount(const BITMAPINFOHEADER& h)
{
    if (h.biBitCount > 8)
        return 0;
    return h.biClrUsed ? h.biClrUsed : (size_t(1) << h.biBitCount);
}

}  // namespace

bool DecodeDibForCreate(const BITMAPINFOHEADER& h, const RGBQUAD* colors, const void* bits, size_t size, Surface& out)
{
    return DecodeDib(h, colors, ColorCount(h), static_cast<const BYTE*>(bits), size, out);
}

HBITMAP BitmapFromDib(const void* dib, size_t size)
{
    const BYTE* bytes = static_cast<const BYTE*>(dib);
    BITMAPINFOHEADER h{};
    if (!dib || size < sizeof h || ReadLE32(bytes) < sizeof h) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    std::memcpy(&h, bytes, sizeof h);
    const size_t colors = ColorCount(h);
    const size_t offset = h.biSize + colors * sizeof(RGBQUAD);
    if (h.biSize > size || colors > 256 || offset > size) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    std::vector<RGBQUAD> table(colors);
    if (colors)
        std::memcpy(table.data(), bytes + h.biSize, colors * sizeof(RGBQUAD));
    Surface surface;
    if (!DecodeDib(h, table.data(), colors, bytes + offset, size - offset, surface)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    HBITMAP bitmap = CreateBitmap(surface.width, surface.height, 1, 32, surface.pixels.data());
    return bitmap;
}

}  // namespace yolt::gdi

extern "C" HBITMAP CreateDIBitmap(HDC, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
    const BITMAPINFO* info, UINT)
{
    if (!header) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const int height = header->biHeight > 0 ? header->biHeight : -header->biHeight;
    if (!(init & CBM_INIT) || !bits || !info)
        return CreateBitmap(header->biWidth, height, 1, 32, nullptr);
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const size_t stride = ((size_t(h.biWidth) * size_t(h.biBitCount) + 31) / 32) * 4;
    yolt::gdi::Surface surface;
    if (!yolt::gdi::DecodeDibForCreate(h, info->bmiColors, bits, stride * size_t(height), surface)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateBitmap(surface.width, surface.height, 1, 32, surface.pixels.data());
}
