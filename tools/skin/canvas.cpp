#include "tools/skin/canvas.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>

namespace yolt::skin {
namespace {

uint8_t Byte(float value)
{
    return static_cast<uint8_t>(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f);
}

// One FreeType face per font file, kept for the run.
FT_Face Face(const std::string& file)
{
    static FT_Library library = nullptr;
    static std::map<std::string, FT_Face> faces;
    if (library == nullptr && FT_Init_FreeType(&library) != 0)
        throw std::runtime_error("cannot start FreeType");
    auto found = faces.find(file);
    if (found != faces.end())
        return found->second;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), 0, &face) != 0)
        throw std::runtime_error("cannot open font " + file);
    faces[file] = face;
    return face;
}

}  // namespace

Canvas::Canvas(int width, int height, Colour fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill)
{
}

void Canvas::Blend(int x, int y, Colour colour, float coverage)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0)
        return;
    auto& pixel = pixels_[static_cast<size_t>(y) * width_ + x];
    pixel = Mix(pixel, colour, std::min(coverage, 1.0f));
}

void Canvas::Shape(float left, float top, float right, float bottom, const std::function<float(float, float)>& distance,
    const std::function<Colour(float, float)>& colour)
{
    int x0 = std::max(0, static_cast<int>(std::floor(left)) - 1);
    int y0 = std::max(0, static_cast<int>(std::floor(top)) - 1);
    int x1 = std::min(width_ - 1, static_cast<int>(std::ceil(right)) + 1);
    int y1 = std::min(height_ - 1, static_cast<int>(std::ceil(bottom)) + 1);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float coverage = std::clamp(0.5f - distance(px, py), 0.0f, 1.0f);
            if (coverage > 0)
                Blend(x, y, colour(px, py), coverage);
        }
    }
}

void Canvas::Circle(float cx, float cy, float radius, const std::function<Colour(float, float)>& colour)
{
    Shape(cx - radius, cy - radius, cx + radius, cy + radius,
        [=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; }, colour);
}

void Canvas::Ring(float cx, float cy, float outer, float inner, Colour colour)
{
    Shape(cx - outer, cy - outer, cx + outer, cy + outer,
        [=](float x, float y) {
            float d = std::hypot(x - cx, y - cy);
            return std::max(d - outer, inner - d);
        },
        [=](float, float) { return colour; });
}

void Canvas::RoundRect(float left, float top, float right, float bottom, float radius, const std::function<Colour(float, float)>& colour)
{
    float cx = (left + right) / 2, cy = (top + bottom) / 2;
    float hx = (right - left) / 2 - radius, hy = (bottom - top) / 2 - radius;
    Shape(left, top, right, bottom,
        [=](float x, float y) {
            float dx = std::max(std::abs(x - cx) - hx, 0.0f);
            float dy = std::max(std::abs(y - cy) - hy, 0.0f);
            float outside = std::hypot(dx, dy);
            float inside = std::min(std::max(std::abs(x - cx) - hx, std::abs(y - cy) - hy), 0.0f);
            return outside + inside - radius;
        },
        colour);
}

void Canvas::Line(float x0, float y0, float x1, float y1, float width, Colour colour)
{
    float half = width / 2;
    Shape(std::min(x0, x1) - half, std::min(y0, y1) - half, std::max(x0, x1) + half, std::max(y0, y1) + half,
        [=](float x, float y) {
            float vx = x1 - x0, vy = y1 - y0;
            float t = std::clamp(((x - x0) * vx + (y - y0) * vy) / (vx * vx + vy * vy), 0.0f, 1.0f);
            return std::hypot(x - (x0 + t * vx), y - (y0 + t * vy)) - half;
        },
        [=](float, float) { return colour; });
}

float Canvas::Text(const std::string& fontFile, float pixelSize, float x, float baseline, const std::string& text, Colour colour)
{
    FT_Face face = Face(fontFile);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
    float pen = x;
    for (unsigned char c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
            continue;
        FT_GlyphSlot glyph = face->glyph;
        int left = static_cast<int>(std::lround(pen)) + glyph->bitmap_left;
        int top = static_cast<int>(std::lround(baseline)) - glyph->bitmap_top;
        for (unsigned row = 0; row < glyph->bitmap.rows; ++row) {
            for (unsigned col = 0; col < glyph->bitmap.width; ++col) {
                uint8_t value = glyph->bitmap.buffer[row * glyph->bitmap.pitch + col];
                Blend(left + static_cast<int>(col), top + static_cast<int>(row), colour, value / 255.0f);
            }
        }
        pen += glyph->advance.x / 64.0f;
    }
    return pen - x;
}

float Canvas::TextWidth(const std::string& fontFile, float pixelSize, const std::string& text)
{
    FT_Face face = Face(fontFile);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
    float width = 0;
    for (unsigned char c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) == 0)
            width += face->glyph->advance.x / 64.0f;
    }
    return width;
}

Canvas Canvas::Crop(int x, int y, int width, int height) const
{
    Canvas part(width, height, Colour{0, 0, 0});
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col)
            part.pixels_[static_cast<size_t>(row) * width + col] = At(x + col, y + row);
    }
    return part;
}

std::string FindFont(const std::string& pattern)
{
    FcInit();
    FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
    FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
    FcDefaultSubstitute(wanted);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, wanted, &result);
    std::string file;
    FcChar8* path = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
        file = reinterpret_cast<const char*>(path);
    if (match != nullptr)
        FcPatternDestroy(match);
    FcPatternDestroy(wanted);
    if (file.empty())
        throw std::runtime_error("fontconfig found no font for " + pattern);
    return file;
}

bool WriteBmp(const std::string& path, const Canvas& canvas)
{
    int stride = (canvas.Width() * 3 + 3) & ~3;
    uint32_t imageSize = static_cast<uint32_t>(stride * canvas.Height());
    std::vector<uint8_t> bytes;
    auto put16 = [&](uint16_t v) { bytes.push_back(v & 0xFF); bytes.push_back(v >> 8); };
    auto put32 = [&](uint32_t v) { put16(v & 0xFFFF); put16(v >> 16); };
    bytes.push_back('B');
    bytes.push_back('M');
    put32(14 + 40 + imageSize);
    put32(0);
    put32(14 + 40);
    put32(40);
    put32(static_cast<uint32_t>(canvas.Width()));
    put32(static_cast<uint32_t>(canvas.Height()));
    put16(1);
    put16(24);
    put32(0);
    put32(imageSize);
    put32(2835);  // 72 dots per inch
    put32(2835);
    put32(0);
    put32(0);
    for (int y = canvas.Height() - 1; y >= 0; --y) {
        size_t start = bytes.size();
        for (int x = 0; x < canvas.Width(); ++x) {
            Colour c = canvas.At(x, y);
            bytes.push_back(Byte(c.b));
            bytes.push_back(Byte(c.g));
            bytes.push_back(Byte(c.r));
        }
        bytes.resize(start + stride, 0);
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool WritePng(const std::string& path, const Canvas& canvas, int scale)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, canvas.Width() * scale, canvas.Height() * scale, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
        PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(static_cast<size_t>(canvas.Width()) * scale * 3);
    for (int y = 0; y < canvas.Height() * scale; ++y) {
        for (int x = 0; x < canvas.Width() * scale; ++x) {
            Colour c = canvas.At(x / scale, y / scale);
            row[x * 3] = Byte(c.r);
            row[x * 3 + 1] = Byte(c.g);
            row[x * 3 + 2] = Byte(c.b);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace yolt::skin
