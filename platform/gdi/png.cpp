// PNG files of surfaces, through libpng's simplified interface.
#include "platform/gdi/surface.h"

#include <png.h>

namespace yolt::gdi {

bool SavePng(const Surface& surface, const std::filesystem::path& path, std::string* error)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(surface.width);
    image.height = png_uint_32(surface.height);
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rows(size_t(surface.width) * size_t(surface.height) * 3);
    size_t i = 0;
    for (uint32_t p : surface.pixels) {
        rows[i++] = png_byte(p >> 16);
        rows[i++] = png_byte(p >> 8);
        rows[i++] = png_byte(p);
    }
    if (png_image_write_to_file(&image, path.c_str(), 0, rows.data(), 0, nullptr))
        return true;
    if (error)
        *error = image.message;
    return false;
}

bool LoadPng(const std::filesystem::path& path, Surface& surface, std::string* error)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        if (error)
            *error = image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rows(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rows.data(), 0, nullptr)) {
        if (error)
            *error = image.message;
        return false;
    }
    surface = Surface(int(image.width), int(image.height));
    for (size_t i = 0; i < surface.pixels.size(); ++i)
        surface.pixels[i] = uint32_t(rows[i * 3]) << 16 | uint32_t(rows[i * 3 + 1]) << 8 | rows[i * 3 + 2];
    return true;
}

}  // namespace yolt::gdi
