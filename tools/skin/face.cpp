// The face of the main window: brushed metal plate, title, window buttons, the LED band and
// three round metal buttons with their captions.
#include <array>
#include <cmath>
#include <map>

#include "tools/skin/artwork.h"

namespace yolt::skin {
namespace {

// Hot rectangles of the window's buttons (left, top, right, bottom).
struct Box {
    float left, top, right, bottom;
    float Cx() const { return (left + right) / 2; }
    float Cy() const { return (top + bottom) / 2; }
};
constexpr Box kClose{449, 10, 482, 45};
constexpr Box kMinimise{410, 10, 444, 45};
constexpr Box kRound[3] = {{20, 224, 156, 360}, {180, 226, 316, 362}, {340, 224, 476, 360}};
constexpr Box kDisplay{89, 77, 409, 139};

// 5x7 dot-matrix glyphs, top row first.
const std::map<char, std::array<const char*, 7>>& DotFont()
{
    static const std::map<char, std::array<const char*, 7>> font = {
        {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
        {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
        {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
        {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
        {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
        {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
        {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
        {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
        {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
        {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
        {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
        {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
        {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
        {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
        {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
        {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
        {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
        {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
        {'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
        {':', {".....", "..#..", "..#..", ".....", "..#..", "..#..", "....."}},
        {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    };
    return font;
}

const Colour kPlateTop = Rgb(0xD9DCE0), kPlateBottom = Rgb(0xAEB3B9);
const Colour kInk = Rgb(0x2B2F35);

void DrawPlate(Canvas& canvas)
{
    for (int y = 0; y < canvas.Height(); ++y) {
        float t = static_cast<float>(y) / (canvas.Height() - 1);
        for (int x = 0; x < canvas.Width(); ++x) {
            // Fine horizontal brushing: a steady pseudo-random shade per row and column.
            uint32_t hash = static_cast<uint32_t>(y) * 2654435761u ^ (static_cast<uint32_t>(x / 7) * 40503u);
            float grain = ((hash >> 13) & 0xFF) / 255.0f * 0.025f - 0.0125f;
            Colour c = Mix(kPlateTop, kPlateBottom, t);
            canvas.Blend(x, y, {c.r + grain, c.g + grain, c.b + grain}, 1.0f);
        }
    }
    // A bevel round the edge and a groove under the title strip.
    canvas.RoundRect(1, 1, kFaceWidth - 1, kFaceHeight - 1, 10, [](float, float) { return Rgb(0x5E646B); });
    canvas.RoundRect(3, 3, kFaceWidth - 3, kFaceHeight - 3, 8, [](float, float) { return Rgb(0xF2F4F6); });
    canvas.RoundRect(4, 4, kFaceWidth - 4, kFaceHeight - 4, 7, [](float x, float y) {
        float t = y / kFaceHeight;
        return Mix(kPlateTop, kPlateBottom, t);
    });
    canvas.Line(16, 56, kFaceWidth - 16, 56, 1.0f, Rgb(0x8D939A));
    canvas.Line(16, 57, kFaceWidth - 16, 57, 1.0f, Rgb(0xF4F6F8));
}

void DrawTitle(Canvas& canvas, const Fonts& fonts)
{
    canvas.Text(fonts.bold, 22, 23, 38, "YOLT", Rgb(0xFFFFFF));
    float w = canvas.Text(fonts.bold, 22, 22, 37, "YOLT", kInk);
    canvas.Text(fonts.regular, 22, 22 + w + 7, 37, "Utility", Rgb(0x4F565E));
}

// A small round window button: metal disc, a dark symbol; pushed in it darkens and shifts.
void DrawWindowButton(Canvas& canvas, const Box& box, bool cross, bool pushed)
{
    float cx = box.Cx(), cy = box.Cy(), r = 14.5f;
    canvas.Circle(cx, cy + 1, r + 1.5f, [](float, float) { return Rgb(0xF4F6F8); });
    canvas.Circle(cx, cy, r + 1.5f, [](float, float) { return Rgb(0x6A7078); });
    Colour light = pushed ? Rgb(0x9298A0) : Rgb(0xF7F8FA);
    Colour dark = pushed ? Rgb(0xC8CDD3) : Rgb(0xA4AAB2);
    canvas.Circle(cx, cy, r, [=](float, float y) { return Mix(light, dark, (y - (cy - r)) / (2 * r)); });
    float s = pushed ? 0.8f : 0.0f;
    Colour ink = cross ? Rgb(pushed ? 0x9C1C1C : 0x3A3F46) : Rgb(0x3A3F46);
    if (cross) {
        canvas.Line(cx - 5 + s, cy - 5 + s, cx + 5 + s, cy + 5 + s, 2.6f, ink);
        canvas.Line(cx - 5 + s, cy + 5 + s, cx + 5 + s, cy - 5 + s, 2.6f, ink);
    } else {
        canvas.Line(cx - 6 + s, cy + 3 + s, cx + 6 + s, cy + 3 + s, 2.8f, ink);
    }
}

void DrawDisplay(Canvas& canvas, const std::string& text)
{
    const Box& d = kDisplay;
    // Bezel, then the dark glass.
    canvas.RoundRect(d.left - 3, d.top - 3, d.right + 3, d.bottom + 3, 9, [](float, float) { return Rgb(0x7C838B); });
    canvas.RoundRect(d.left - 2, d.top - 1, d.right + 2, d.bottom + 3, 8, [](float, float) { return Rgb(0xF1F3F5); });
    canvas.RoundRect(d.left - 2, d.top - 2, d.right + 2, d.bottom + 2, 8, [](float, float) { return Rgb(0x3A3F45); });
    canvas.RoundRect(d.left, d.top, d.right, d.bottom, 6, [&](float, float y) {
        return Mix(Rgb(0x1B1410), Rgb(0x0B0806), (y - d.top) / (d.bottom - d.top));
    });

    // Dot-matrix letters, 5x7 dots each on a 6-pixel pitch; unlit dots glow faintly.
    const float pitch = 6.0f, dot = 2.3f;
    const int columns = 5, gap = 1;
    int cells = static_cast<int>(text.size());
    float width = (cells * (columns + gap) - gap) * pitch;
    float left = d.Cx() - width / 2 + pitch / 2;
    float top = d.Cy() - 3 * pitch;
    // The whole band carries a grid of dim dots, as a real LED panel does.
    for (float y = top - pitch * 1; y <= d.bottom - 6; y += pitch) {
        if (y < d.top + 5)
            continue;
        for (float x = left - pitch * std::floor((left - d.left - 8) / pitch); x < d.right - 6; x += pitch)
            canvas.Circle(x, y, dot * 0.8f, [](float, float) { return Rgb(0x2A1A0E); });
    }
    const Colour lit = Rgb(0xFF9A1F), core = Rgb(0xFFD27A), halo = Rgb(0x6B3508);
    for (int i = 0; i < cells; ++i) {
        auto glyph = DotFont().find(text[i]);
        if (glyph == DotFont().end())
            continue;
        for (int row = 0; row < 7; ++row) {
            for (int col = 0; col < columns; ++col) {
                if (glyph->second[row][col] != '#')
                    continue;
                float x = left + (i * (columns + gap) + col) * pitch;
                float y = top + row * pitch;
                canvas.Circle(x, y, dot + 1.4f, [&](float, float) { return Mix(Rgb(0x140E0A), halo, 0.55f); });
                canvas.Circle(x, y, dot, [&](float, float) { return lit; });
                canvas.Circle(x - 0.3f, y - 0.3f, dot * 0.45f, [&](float, float) { return core; });
            }
        }
    }
    // A soft reflection across the upper part of the glass.
    for (int y = static_cast<int>(d.top) + 2; y < static_cast<int>(d.top) + 16; ++y) {
        float strength = 0.10f * (1.0f - (y - d.top - 2) / 14.0f);
        for (int x = static_cast<int>(d.left) + 6; x < static_cast<int>(d.right) - 6; ++x)
            canvas.Blend(x, y, Rgb(0xFFFFFF), strength);
    }
}

// A large round metal button: a recess, a turned-metal disc with concentric rings, and a
// centre dimple. Pushed in, the light comes from below and the disc sinks.
void DrawRoundButton(Canvas& canvas, const Box& box, bool pushed)
{
    float cx = box.Cx(), cy = box.Cy();
    canvas.Circle(cx, cy + 1.5f, 66.5f, [](float, float) { return Rgb(0xF3F5F7); });
    canvas.Circle(cx, cy, 66, [=](float, float y) { return Mix(Rgb(0x4C5259), Rgb(0x8A9097), (y - cy + 66) / 132); });
    float r = pushed ? 59.5f : 60.0f;
    float shift = pushed ? 1.5f : 0.0f;
    float bx = cx + shift * 0.5f, by = cy + shift;
    if (!pushed)
        canvas.Circle(cx + 1, cy + 3, r + 1, [](float, float) { return Rgb(0x3C4147); });
    Colour top = pushed ? Rgb(0x8E949B) : Rgb(0xF8F9FB);
    Colour bottom = pushed ? Rgb(0xD3D7DC) : Rgb(0x9CA2AA);
    canvas.Circle(bx, by, r, [=](float x, float y) {
        float t = (y - (by - r)) / (2 * r);
        float angle = std::atan2(y - by, x - bx);
        // Turned metal: a gentle angular sheen on top of the vertical light.
        float sheen = 0.06f * std::cos(2 * angle + 0.6f);
        Colour c = Mix(top, bottom, t);
        return Colour{c.r + sheen, c.g + sheen, c.b + sheen};
    });
    for (float ring = 14; ring < r - 4; ring += 7.5f)
        canvas.Ring(bx, by, ring + 0.6f, ring - 0.6f, pushed ? Rgb(0xA9AFB6) : Rgb(0xC4C9CF));
    canvas.Ring(bx, by, r - 1, r - 3, pushed ? Rgb(0xB7BCC2) : Rgb(0xFFFFFF));
    canvas.Circle(bx, by, 9, [=](float, float y) {
        return Mix(pushed ? Rgb(0xC9CDD2) : Rgb(0x9AA0A7), pushed ? Rgb(0x979DA4) : Rgb(0xE9ECEF), (y - by + 9) / 18);
    });
}

void DrawCaption(Canvas& canvas, const Fonts& fonts, const Box& box, const std::string& caption)
{
    const float size = 14;
    float width = Canvas::TextWidth(fonts.bold, size, caption);
    float x = std::round(box.Cx() - width / 2);
    float baseline = box.top - 12;
    canvas.Text(fonts.bold, size, x, baseline + 1, caption, Rgb(0xF2F4F6));
    canvas.Text(fonts.bold, size, x, baseline, caption, kInk);
}

}  // namespace

Canvas DrawFace(const Fonts& fonts, const FaceText& text, Pressed pressed)
{
    Canvas canvas(kFaceWidth, kFaceHeight, kPlateTop);
    DrawPlate(canvas);
    DrawTitle(canvas, fonts);
    DrawWindowButton(canvas, kMinimise, false, false);
    DrawWindowButton(canvas, kClose, true, pressed == Pressed::Close);
    DrawDisplay(canvas, text.display);
    const Pressed rounds[3] = {Pressed::Left, Pressed::Middle, Pressed::Right};
    for (int i = 0; i < 3; ++i) {
        DrawRoundButton(canvas, kRound[i], pressed == rounds[i]);
        DrawCaption(canvas, fonts, kRound[i], text.captions[i]);
    }
    return canvas;
}

}  // namespace yolt::skin
