// Saves the X screen as a PNG file, for tests of the SDL2 presentation:
//   screen_shot FILE.png [X,Y=RRGGBB]
// With a pixel condition it takes pictures until the screen's pixel at (X, Y) has that colour
// (the program under test may not have drawn its first frame yet), for at most ten seconds;
// it then saves the last picture and exits with 1 when the colour never came.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>

#include "platform/gdi/surface.h"

namespace {

struct PixelCondition {
    int x = 0, y = 0;
    uint32_t colour = 0;
};

std::optional<PixelCondition> ParseCondition(const std::string& text)
{
    PixelCondition c;
    unsigned colour = 0;
    if (std::sscanf(text.c_str(), "%d,%d=%x", &c.x, &c.y, &colour) != 3)
        return std::nullopt;
    c.colour = colour & 0xFFFFFF;
    return c;
}

bool Capture(Display* display, yolt::gdi::Surface& out)
{
    Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, root, &attributes))
        return false;
    XImage* image = XGetImage(display, root, 0, 0, unsigned(attributes.width), unsigned(attributes.height), AllPlanes,
        ZPixmap);
    if (!image)
        return false;
    out = yolt::gdi::Surface(attributes.width, attributes.height);
    for (int y = 0; y < attributes.height; ++y)
        for (int x = 0; x < attributes.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            const uint32_t r = uint32_t((p & image->red_mask) >> __builtin_ctzl(image->red_mask)) & 0xFF;
            const uint32_t g = uint32_t((p & image->green_mask) >> __builtin_ctzl(image->green_mask)) & 0xFF;
            const uint32_t b = uint32_t((p & image->blue_mask) >> __builtin_ctzl(image->blue_mask)) & 0xFF;
            out.At(x, y) = (r << 16) | (g << 8) | b;
        }
    XDestroyImage(image);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: screen_shot FILE.png [X,Y=RRGGBB]\n");
        return 2;
    }
    std::optional<PixelCondition> condition;
    if (argc == 3 && !(condition = ParseCondition(argv[2]))) {
        std::fprintf(stderr, "screen_shot: a pixel condition reads X,Y=RRGGBB\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "screen_shot: cannot open the display\n");
        return 2;
    }
    yolt::gdi::Surface screen;
    bool met = !condition;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        if (!Capture(display, screen)) {
            std::fprintf(stderr, "screen_shot: cannot read the screen\n");
            return 2;
        }
        if (condition && condition->x >= 0 && condition->y >= 0 && condition->x < screen.width &&
            condition->y < screen.height)
            met = screen.At(condition->x, condition->y) == condition->colour;
        if (met || std::chrono::steady_clock::now() >= until)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    XCloseDisplay(display);
    std::string error;
    if (!yolt::gdi::SavePng(screen, argv[1], &error)) {
        std::fprintf(stderr, "screen_shot: %s\n", error.c_str());
        return 2;
    }
    return met ? 0 : 1;
}
