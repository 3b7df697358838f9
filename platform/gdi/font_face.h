// A font at one pixel size, rendered with FreeType from a file found by fontconfig. Every face
// name maps to DejaVu Sans (it stands in for "MS Sans Serif"); weights of 600 and above take the
// bold variant.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace yolt::gdi {

struct Glyph {
    int width = 0, height = 0;  // coverage bitmap size
    int left = 0, top = 0;      // bitmap offset from the pen position (top: above the baseline)
    int advance = 0;            // pixels to the next pen position
    std::vector<uint8_t> coverage;
};

class FontFace {
public:
    /// `height` as a LOGFONT has it: negative for the character height, positive for the cell
    /// height, 0 for the default (8 points).
    static std::shared_ptr<FontFace> Get(int height, int weight);

    int Ascent() const { return m_ascent; }
    int Descent() const { return m_descent; }
    int Height() const { return m_ascent + m_descent; }
    const Glyph& GlyphOf(char32_t c);
    int TextWidth(const std::u16string& text);
    int AverageCharWidth();

    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

private:
    FontFace() = default;
    void* m_face = nullptr;  // FT_Face
    int m_ascent = 0, m_descent = 0;
    std::map<char32_t, Glyph> m_glyphs;
};

}  // namespace yolt::gdi
