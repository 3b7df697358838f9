// The utility's pictures: the 496x378 face in each of its model variants, the pressed
// buttons cut from it, the program icon and the hand cursor.
#pragma once

#include <string>

#include "tools/skin/canvas.h"

namespace yolt::skin {

inline constexpr int kFaceWidth = 496;
inline constexpr int kFaceHeight = 378;

/// Which of the face's buttons is drawn pushed in.
enum class Pressed { None, Close, Left, Middle, Right };

struct FaceText {
    std::string display;   // dot-matrix text of the LED band
    std::string captions[3];  // above the left, middle and right round buttons
};

struct Fonts {
    std::string regular;
    std::string bold;
};

Canvas DrawFace(const Fonts& fonts, const FaceText& text, Pressed pressed);

/// The icon drawn at `size` pixels, in full colour; `mask` receives 1 where it is transparent.
Canvas DrawIcon(int size, std::vector<uint8_t>& mask);

/// Writes an icon file of 16-colour images of the given sizes.
bool WriteIconFile(const std::string& path, const std::vector<int>& sizes);
/// Writes the 32x32 two-colour hand cursor with its hot spot at the fingertip (5, 0).
bool WriteHandCursor(const std::string& path);
/// Previews of the icon and the cursor on a chequered ground.
Canvas IconPreview(int size);
Canvas CursorPreview();

}  // namespace yolt::skin
