#include "platform/gdi/font_face.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <mutex>
#include <stdexcept>

namespace yolt::gdi {
namespace {

FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0)
            throw std::runtime_error("FreeType cannot be initialised");
        return lib;
    }();
    return library;
}

std::string FindFontFile(bool bold)
{
    FcInit();
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(bold ? "DejaVu Sans:bold" : "DejaVu Sans"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string file;
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
        file = reinterpret_cast<const char*>(path);
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    if (file.empty())
        throw std::runtime_error("no font found by fontconfig for DejaVu Sans");
    return file;
}

}  // namespace

std::shared_ptr<FontFace> FontFace::Get(int height, int weight)
{
    static std::mutex lock;
    static std::map<std::pair<int, bool>, std::shared_ptr<FontFace>> cache;
    static std::string files[2];
    const bool bold = weight >= 600;
    std::lock_guard guard(lock);
    auto key = std::make_pair(height, bold);
    if (auto it = cache.find(key); it != cache.end())
        return it->second;
    std::string& file = files[bold ? 1 : 0];
    if (file.empty())
        file = FindFontFile(bold);
    FT_Face face = nullptr;
    if (FT_New_Face(Library(), file.c_str(), 0, &face) != 0)
        throw std::runtime_error("FreeType cannot open " + file);
    // 8 points at 96 dots per inch is 11 pixels of character height.
    int pixels = 11;
    if (height < 0)
        pixels = -height;
    else if (height > 0)
        pixels = std::max(1, int(height * face->units_per_EM / (face->ascender - face->descender)));
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixels));
    std::shared_ptr<FontFace> result(new FontFace());
    result->m_face = face;
    result->m_ascent = int((face->size->metrics.ascender + 63) >> 6);
    result->m_descent = int((-face->size->metrics.descender + 63) >> 6);
    cache[key] = result;
    return result;
}

FontFace::~FontFace()
{
    if (m_face)
        FT_Done_Face(static_cast<FT_Face>(m_face));
}

const Glyph& FontFace::GlyphOf(char32_t c)
{
    if (auto it = m_glyphs.find(c); it != m_glyphs.end())
        return it->second;
    Glyph glyph;
    FT_Face face = static_cast<FT_Face>(m_face);
    if (FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) == 0) {
        FT_GlyphSlot slot = face->glyph;
        glyph.width = int(slot->bitmap.width);
        glyph.height = int(slot->bitmap.rows);
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.advance = int((slot->advance.x + 32) >> 6);
        glyph.coverage.resize(size_t(glyph.width) * size_t(glyph.height));
        for (int y = 0; y < glyph.height; ++y)
            for (int x = 0; x < glyph.width; ++x)
                glyph.coverage[size_t(y * glyph.width + x)] = slot->bitmap.buffer[y * slot->bitmap.pitch + x];
    }
    return m_glyphs.emplace(c, std::move(glyph)).first->second;
}

int FontFace::TextWidth(const std::u16string& text)
{
    int width = 0;
    for (char16_t c : text)
        width += GlyphOf(c).advance;
    return width;
}

int FontFace::AverageCharWidth()
{
    static const std::u16string letters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    return (TextWidth(letters) / 26 + 1) / 2;
}

}  // namespace yolt::gdi
