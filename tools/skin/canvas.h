// An RGB picture with antialiased drawing: shapes by coverage, text through FreeType.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace yolt::skin {

struct Colour {
    float r, g, b;
};

inline Colour Rgb(uint32_t rgb)
{
    return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f};
}
inline Colour Mix(Colour a, Colour b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

class Canvas {
public:
    Canvas(int width, int height, Colour fill);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Colour At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    /// Blends `colour` into a pixel with the given coverage (0 to 1).
    void Blend(int x, int y, Colour colour, float coverage);

    /// Paints every pixel inside a shape: `distance` gives the signed distance of a pixel
    /// centre to the shape's edge (negative inside), `colour` the paint at that point.
    void Shape(float left, float top, float right, float bottom, const std::function<float(float, float)>& distance,
        const std::function<Colour(float, float)>& colour);
    void Circle(float cx, float cy, float radius, const std::function<Colour(float, float)>& colour);
    void Ring(float cx, float cy, float outer, float inner, Colour colour);
    void RoundRect(float left, float top, float right, float bottom, float radius, const std::function<Colour(float, float)>& colour);
    void Line(float x0, float y0, float x1, float y1, float width, Colour colour);

    /// Draws text with the font file at `pixelSize`, its left end at x and its baseline at y.
    /// Returns the advance width.
    float Text(const std::string& fontFile, float pixelSize, float x, float baseline, const std::string& text, Colour colour);
    static float TextWidth(const std::string& fontFile, float pixelSize, const std::string& text);

    /// The part of the picture at (x, y) of the given size.
    Canvas Crop(int x, int y, int width, int height) const;

private:
    int width_;
    int height_;
    std::vector<Colour> pixels_;
};

/// The file of the font fontconfig chooses for a pattern such as "DejaVu Sans:bold".
std::string FindFont(const std::string& pattern);

/// Writes a 24-bit BMP file.
bool WriteBmp(const std::string& path, const Canvas& canvas);
/// Writes a PNG preview, enlarged `scale` times.
bool WritePng(const std::string& path, const Canvas& canvas, int scale = 1);

}  // namespace yolt::skin
