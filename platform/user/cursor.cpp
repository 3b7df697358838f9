// Cursors and icons (pixels with a mask and a hot spot), the system's own set drawn in code,
// and bitmaps, icons and cursors loaded from module resources.
#include "platform/user/cursor.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/display/presentation.h"
#include "platform/gdi/surface.h"
#include "platform/resources/images.h"
#include "platform/user/internal.h"

namespace yolt::user {
namespace {

struct IconObject {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    std::vector<bool> mask;
    POINT hot{0, 0};
    bool cursor = false;
    bool shared = false;  // system and resource-loaded ones live for the process
};

struct Icons {
    std::map<HICON, IconObject> icons;
    std::map<WORD, HICON> systemCursors, systemIcons;
    std::map<std::pair<HINSTANCE, std::u16string>, HICON> loaded;
    uintptr_t next = 0x50000;
};

Icons& I()
{
    static Icons icons;
    return icons;
}

HICON Add(IconObject icon)
{
    I().next += 4;
    HICON handle = reinterpret_cast<HICON>(I().next);
    I().icons[handle] = std::move(icon);
    return handle;
}

// A 32x32 arrow, hand, I-beam or hourglass outline, drawn from a few shapes.
IconObject DrawCursor(WORD id)
{
    IconObject c;
    c.width = c.height = 32;
    c.cursor = c.shared = true;
    c.pixels.assign(32 * 32, 0);
    c.mask.assign(32 * 32, false);
    auto set = [&](int x, int y, uint32_t p) {
        if (x >= 0 && x < 32 && y >= 0 && y < 32) {
            c.pixels[size_t(y * 32 + x)] = p;
            c.mask[size_t(y * 32 + x)] = true;
        }
    };
    switch (id) {
    case 32514:  // hourglass
        for (int y = 0; y < 20; ++y) {
            int half = y < 10 ? 9 - y : y - 10;
            for (int x = 8 - half; x <= 8 + half; ++x)
                set(x, y, (x == 8 - half || x == 8 + half || y == 0 || y == 19) ? 0 : 0xFFFFFF);
        }
        c.hot = {8, 10};
        break;
    case 32513:  // I-beam
        for (int y = 0; y < 16; ++y)
            set(4, y, 0);
        for (int x = 2; x <= 6; ++x)
            set(x, 0, 0), set(x, 15, 0);
        c.hot = {4, 8};
        break;
    default:  // arrow
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x <= y / 2 + (y < 12 ? y / 2 : 0) && x < 12; ++x)
                if (x <= y && x <= (y < 12 ? y : 16 - y + 6))
                    set(x, y, (x == 0 || x == y || y == 16) ? 0 : 0xFFFFFF);
        c.hot = {0, 0};
        break;
    }
    return c;
}

// A 32x32 round symbol (error, question, warning, information) with a letter drawn by the
// text renderer.
IconObject DrawSystemIcon(WORD id)
{
    IconObject icon;
    icon.width = icon.height = 32;
    icon.shared = true;
    uint32_t fill = 0x2060C0;
    const char16_t* symbol = u"i";
    if (id == 32513)
        fill = 0xD02020, symbol = u"X";
    else if (id == 32514)
        symbol = u"?";
    else if (id == 32515)
        fill = 0xF0C020, symbol = u"!";
    else if (id == 32512)
        fill = 0x808080, symbol = u"";
    HBITMAP bitmap = CreateBitmap(32, 32, 1, 32, nullptr);
    auto surface = gdi::BitmapSurface(bitmap);
    icon.mask.assign(32 * 32, false);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            double dx = x - 15.5, dy = y - 15.5;
            if (dx * dx + dy * dy <= 15.0 * 15.0) {
                surface->At(x, y) = fill;
                icon.mask[size_t(y * 32 + x)] = true;
            }
        }
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    LOGFONTA lf{};
    lf.lfHeight = -22;
    lf.lfWeight = FW_BOLD;
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, id == 32515 ? RGB(0, 0, 0) : RGB(255, 255, 255));
    RECT r{0, 0, 32, 32};
    DrawTextW(dc, symbol, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    icon.pixels = surface->pixels;
    DeleteObject(bitmap);
    return icon;
}

// Resource icons and cursors: the group resource's image nearest 32 pixels, decoded by the
// resource layer (its AND mask gives the transparent pixels). Loaded once per module and name.
HICON LoadFromResources(HINSTANCE instance, const std::u16string& name, bool cursor)
{
    auto key = std::make_pair(instance, (cursor ? u"C" : u"I") + name);
    if (auto it = I().loaded.find(key); it != I().loaded.end())
        return it->second;
    auto image = yolt::LoadIconImage(instance, name.c_str(), cursor, 32);
    if (!image) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    IconObject icon;
    icon.width = image->width;
    icon.height = image->height;
    icon.hot = {image->hotX, image->hotY};
    icon.cursor = cursor;
    icon.shared = true;
    for (uint32_t p : image->pixels) {
        icon.pixels.push_back(p & 0x00FFFFFF);
        icon.mask.push_back((p >> 24) != 0);
    }
    HICON handle = Add(std::move(icon));
    I().loaded[key] = handle;
    return handle;
}

HANDLE LoadImageInternal(HINSTANCE instance, const std::u16string& name, const std::string& path, UINT type, int width,
    int height, UINT flags)
{
    if (type == IMAGE_ICON)
        return LoadFromResources(instance, name, false);
    if (type == IMAGE_CURSOR)
        return LoadFromResources(instance, name, true);
    if (type != IMAGE_BITMAP) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HBITMAP bitmap = nullptr;
    if (flags & LR_LOADFROMFILE) {
        std::ifstream in(path, std::ios::binary);
        std::vector<BYTE> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (file.size() <= sizeof(BITMAPFILEHEADER) || file[0] != 'B' || file[1] != 'M') {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return nullptr;
        }
        bitmap = gdi::BitmapFromDib(file.data() + sizeof(BITMAPFILEHEADER), file.size() - sizeof(BITMAPFILEHEADER));
    } else {
        auto bytes = ResourceBytes(instance, 2, name);
        if (!bytes) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return nullptr;
        }
        bitmap = gdi::BitmapFromDib(bytes->data(), bytes->size());
    }
    if (!bitmap || (width <= 0 && height <= 0))
        return bitmap;
    // Scaled to the asked size.
    auto source = gdi::BitmapSurface(bitmap);
    int w = width > 0 ? width : source->width, h = height > 0 ? height : source->height;
    HBITMAP scaled = CreateBitmap(w, h, 1, 32, nullptr);
    HDC from = CreateCompatibleDC(nullptr), to = CreateCompatibleDC(nullptr);
    HGDIOBJ a = SelectObject(from, bitmap), b = SelectObject(to, scaled);
    StretchBlt(to, 0, 0, w, h, from, 0, 0, source->width, source->height, SRCCOPY);
    SelectObject(from, a);
    SelectObject(to, b);
    DeleteDC(from);
    DeleteDC(to);
    DeleteObject(bitmap);
    return scaled;
}

}  // namespace

HCURSOR SystemCursor(WORD id)
{
    auto& cache = I().systemCursors;
    if (auto it = cache.find(id); it != cache.end())
        return it->second;
    HCURSOR c = Add(DrawCursor(id));
    cache[id] = c;
    return c;
}

HICON SystemIcon(WORD id)
{
    auto& cache = I().systemIcons;
    if (auto it = cache.find(id); it != cache.end())
        return it->second;
    HICON icon = Add(DrawSystemIcon(id));
    cache[id] = icon;
    return icon;
}

HICON CreateIconFromPixels(int width, int height, const uint32_t* pixels, const bool* mask, POINT hotSpot, bool cursor)
{
    if (width <= 0 || height <= 0 || !pixels)
        return nullptr;
    IconObject icon;
    icon.width = width;
    icon.height = height;
    icon.pixels.assign(pixels, pixels + size_t(width) * size_t(height));
    icon.mask.assign(size_t(width) * size_t(height), true);
    if (mask)
        for (size_t i = 0; i < icon.mask.size(); ++i)
            icon.mask[i] = mask[i];
    icon.hot = hotSpot;
    icon.cursor = cursor;
    return Add(std::move(icon));
}

bool IconInfo(HICON handle, SIZE* size, POINT* hotSpot)
{
    auto it = I().icons.find(handle);
    if (it == I().icons.end())
        return false;
    if (size)
        *size = {it->second.width, it->second.height};
    if (hotSpot)
        *hotSpot = it->second.hot;
    return true;
}

bool IconPixels(HICON handle, std::vector<uint32_t>& pixels, std::vector<bool>& mask)
{
    auto it = I().icons.find(handle);
    if (it == I().icons.end())
        return false;
    pixels = it->second.pixels;
    mask = it->second.mask;
    return true;
}

WORD SystemCursorId(HCURSOR cursor)
{
    for (const auto& [id, handle] : I().systemCursors)
        if (handle == cursor)
            return id;
    return 0;
}

void ForgetCursorsAndIcons()
{
    I().loaded.clear();
}

}  // namespace yolt::user

using namespace yolt::user;

extern "C" {

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    if (!instance) {
        if (!IS_INTRESOURCE(name)) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return nullptr;
        }
        return SystemCursor(WORD(reinterpret_cast<ULONG_PTR>(name)));
    }
    return LoadFromResources(instance, ResourceNameOf(name), true);
}

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name)
{
    if (!instance || IS_INTRESOURCE(name))
        return LoadCursorA(instance, reinterpret_cast<LPCSTR>(name));
    return LoadFromResources(instance, name, true);
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR previous = std::exchange(S().cursor, cursor);
    if (previous != cursor)
        if (auto* p = yolt::display::CurrentPresentation())
            p->CursorChanged(cursor);
    return previous;
}

HCURSOR GetCursor()
{
    return S().cursor;
}

int ShowCursor(BOOL show)
{
    static int count = 0;
    count += show ? 1 : -1;
    return count;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name)
{
    if (!instance) {
        if (!IS_INTRESOURCE(name)) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return nullptr;
        }
        return SystemIcon(WORD(reinterpret_cast<ULONG_PTR>(name)));
    }
    return LoadFromResources(instance, ResourceNameOf(name), false);
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name)
{
    if (!instance || IS_INTRESOURCE(name))
        return LoadIconA(instance, reinterpret_cast<LPCSTR>(name));
    return LoadFromResources(instance, name, false);
}

BOOL DestroyIcon(HICON icon)
{
    auto it = I().icons.find(icon);
    if (it == I().icons.end()) {
        SetLastError(ERROR_INVALID_ICON_HANDLE);
        return FALSE;
    }
    if (!it->second.shared)
        I().icons.erase(it);
    return TRUE;
}

BOOL DestroyCursor(HCURSOR cursor)
{
    return DestroyIcon(cursor);
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON handle, int width, int height, UINT, HBRUSH, UINT)
{
    auto it = I().icons.find(handle);
    if (it == I().icons.end()) {
        SetLastError(ERROR_INVALID_ICON_HANDLE);
        return FALSE;
    }
    const IconObject& icon = it->second;
    if (width <= 0)
        width = icon.width;
    if (height <= 0)
        height = icon.height;
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col) {
            int sx = col * icon.width / width, sy = row * icon.height / height;
            size_t i = size_t(sy * icon.width + sx);
            if (icon.mask[i])
                SetPixel(dc, x + col, y + row, yolt::gdi::ColorFromPixel(icon.pixels[i]));
        }
    return TRUE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon)
{
    return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, 0);
}

HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name)
{
    return static_cast<HBITMAP>(LoadImageInternal(instance, ResourceNameOf(name), {}, IMAGE_BITMAP, 0, 0, 0));
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name)
{
    return static_cast<HBITMAP>(LoadImageInternal(instance, ResourceNameOf(name), {}, IMAGE_BITMAP, 0, 0, 0));
}

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags)
{
    if (!instance && !(flags & LR_LOADFROMFILE)) {
        if (type == IMAGE_CURSOR)
            return LoadCursorA(nullptr, name);
        if (type == IMAGE_ICON)
            return LoadIconA(nullptr, name);
    }
    std::string path = (flags & LR_LOADFROMFILE) && name ? std::string(name) : std::string();
    return LoadImageInternal(instance, ResourceNameOf(name), path, type, width, height, flags);
}

HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height, UINT flags)
{
    if (!instance && !(flags & LR_LOADFROMFILE) && IS_INTRESOURCE(name))
        return LoadImageA(nullptr, reinterpret_cast<LPCSTR>(name), type, width, height, flags);
    std::string path = (flags & LR_LOADFROMFILE) && name ? Narrow(name) : std::string();
    return LoadImageInternal(instance, ResourceNameOf(name), path, type, width, height, flags);
}

}  // extern "C"
