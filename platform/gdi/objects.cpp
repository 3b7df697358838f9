#include "platform/gdi/objects.h"

#include <cstring>
#include <unordered_map>
#include <utility>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"

namespace yolt::gdi {
namespace {

struct Tables {
    std::unordered_map<uintptr_t, std::unique_ptr<GdiObject>> objects;
    std::unordered_map<uintptr_t, std::unique_ptr<DeviceContext>> dcs;
    uintptr_t next = 0x10000;
    HGDIOBJ stock[DEFAULT_GUI_FONT + 1] = {};
    HGDIOBJ defaultBitmap = nullptr;  // the 1x1 bitmap of a fresh memory context
};

Tables& T()
{
    static Tables tables;
    return tables;
}

uintptr_t NextHandle()
{
    T().next += 4;
    return T().next;
}

HGDIOBJ MakeStock(std::unique_ptr<GdiObject> object)
{
    object->stock = true;
    return AddObject(std::move(object));
}

std::unique_ptr<GdiObject> Brush(COLORREF color, bool hollow = false)
{
    auto brush = std::make_unique<GdiObject>();
    brush->kind = ObjectKind::Brush;
    brush->color = color;
    brush->hollow = hollow;
    return brush;
}

std::unique_ptr<GdiObject> Font(const LOGFONTW& lf)
{
    auto font = std::make_unique<GdiObject>();
    font->kind = ObjectKind::Font;
    font->logFont = lf;
    font->face = FontFace::Get(lf.lfHeight, lf.lfWeight);
    return font;
}

LOGFONTW GuiLogFont()
{
    LOGFONTW lf{};
    lf.lfHeight = -11;
    lf.lfWeight = FW_NORMAL;
    const std::u16string face = u"MS Sans Serif";
    std::memcpy(lf.lfFaceName, face.c_str(), (face.size() + 1) * sizeof(WCHAR));
    return lf;
}

void EnsureStock()
{
    Tables& t = T();
    if (t.stock[WHITE_BRUSH])
        return;
    t.stock[WHITE_BRUSH] = MakeStock(Brush(RGB(255, 255, 255)));
    t.stock[LTGRAY_BRUSH] = MakeStock(Brush(RGB(192, 192, 192)));
    t.stock[GRAY_BRUSH] = MakeStock(Brush(RGB(128, 128, 128)));
    t.stock[DKGRAY_BRUSH] = MakeStock(Brush(RGB(64, 64, 64)));
    t.stock[BLACK_BRUSH] = MakeStock(Brush(RGB(0, 0, 0)));
    t.stock[NULL_BRUSH] = MakeStock(Brush(0, true));
    auto pen = [](COLORREF c) {
        auto p = std::make_unique<GdiObject>();
        p->kind = ObjectKind::Pen;
        p->color = c;
        return p;
    };
    t.stock[WHITE_PEN] = MakeStock(pen(RGB(255, 255, 255)));
    t.stock[BLACK_PEN] = MakeStock(pen(RGB(0, 0, 0)));
    HGDIOBJ gui = MakeStock(Font(GuiLogFont()));
    t.stock[ANSI_VAR_FONT] = gui;
    t.stock[SYSTEM_FONT] = gui;
    t.stock[DEFAULT_GUI_FONT] = gui;
    auto one = std::make_unique<GdiObject>();
    one->kind = ObjectKind::Bitmap;
    one->surface = std::make_shared<Surface>(1, 1);
    t.defaultBitmap = MakeStock(std::move(one));
}

void Unselect(HGDIOBJ handle)
{
    GdiObject* object = FindObject(handle);
    if (!object)
        return;
    --object->selections;
    if (object->deletePending && object->selections <= 0)
        T().objects.erase(reinterpret_cast<uintptr_t>(handle));
}

}  // namespace

void Surface::Resize(int w, int h, uint32_t fill)
{
    std::vector<uint32_t> next(size_t(w) * size_t(h), fill);
    for (int y = 0; y < std::min(h, height); ++y)
        for (int x = 0; x < std::min(w, width); ++x)
            next[size_t(y) * size_t(w) + size_t(x)] = At(x, y);
    pixels = std::move(next);
    width = w;
    height = h;
}

GdiObject* FindObject(HGDIOBJ handle)
{
    auto& objects = T().objects;
    auto it = objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == objects.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return it->second.get();
}

GdiObject* FindObject(HGDIOBJ handle, ObjectKind kind)
{
    GdiObject* object = FindObject(handle);
    if (object && object->kind != kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return object;
}

HGDIOBJ AddObject(std::unique_ptr<GdiObject> object)
{
    uintptr_t handle = NextHandle();
    T().objects[handle] = std::move(object);
    return reinterpret_cast<HGDIOBJ>(handle);
}

DeviceContext* FindDC(HDC dc)
{
    auto& dcs = T().dcs;
    auto it = dcs.find(reinterpret_cast<uintptr_t>(dc));
    if (it == dcs.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return it->second.get();
}

Target TargetOf(DeviceContext& dc)
{
    Target target;
    if (dc.memory) {
        GdiObject* bitmap = FindObject(dc.bitmap, ObjectKind::Bitmap);
        if (!bitmap)
            return target;
        target.surface = bitmap->surface.get();
        target.clip = {0, 0, bitmap->surface->width, bitmap->surface->height};
        return target;
    }
    if (!dc.surface)
        return target;
    target.surface = dc.surface.get();
    target.origin = dc.origin;
    target.clip.left = std::max<LONG>(dc.clip.left, 0);
    target.clip.top = std::max<LONG>(dc.clip.top, 0);
    target.clip.right = std::min<LONG>(dc.clip.right, dc.surface->width);
    target.clip.bottom = std::min<LONG>(dc.clip.bottom, dc.surface->height);
    return target;
}

FontFace& FaceOf(DeviceContext& dc)
{
    GdiObject* font = FindObject(dc.font, ObjectKind::Font);
    if (!font) {
        EnsureStock();
        font = FindObject(T().stock[DEFAULT_GUI_FONT]);
    }
    return *font->face;
}

namespace {
HDC NewDC(std::unique_ptr<DeviceContext> dc)
{
    EnsureStock();
    Tables& t = T();
    dc->brush = t.stock[WHITE_BRUSH];
    dc->font = t.stock[DEFAULT_GUI_FONT];
    dc->pen = t.stock[BLACK_PEN];
    if (dc->memory) {
        dc->bitmap = t.defaultBitmap;
        FindObject(dc->bitmap)->selections++;
    }
    uintptr_t handle = NextHandle();
    t.dcs[handle] = std::move(dc);
    return reinterpret_cast<HDC>(handle);
}
}  // namespace

HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, RECT clip)
{
    auto dc = std::make_unique<DeviceContext>();
    dc->surface = std::move(surface);
    dc->origin = origin;
    dc->clip = clip;
    return NewDC(std::move(dc));
}

bool RetargetSurfaceDC(HDC handle, std::shared_ptr<Surface> surface, POINT origin, RECT clip)
{
    DeviceContext* dc = FindDC(handle);
    if (!dc || dc->memory)
        return false;
    dc->surface = std::move(surface);
    dc->origin = origin;
    dc->clip = clip;
    return true;
}

bool IsSurfaceDC(HDC handle)
{
    auto& dcs = T().dcs;
    auto it = dcs.find(reinterpret_cast<uintptr_t>(handle));
    return it != dcs.end() && !it->second->memory;
}

std::shared_ptr<Surface> BitmapSurface(HBITMAP bitmap)
{
    GdiObject* object = FindObject(bitmap, ObjectKind::Bitmap);
    return object ? object->surface : nullptr;
}

HFONT DefaultGuiFont()
{
    EnsureStock();
    return static_cast<HFONT>(T().stock[DEFAULT_GUI_FONT]);
}

SIZE FontBaseUnits(HFONT font)
{
    GdiObject* object = FindObject(font, ObjectKind::Font);
    if (!object)
        object = FindObject(DefaultGuiFont());
    return {object->face->AverageCharWidth(), object->face->Height()};
}

SIZE MeasureText(HFONT font, const std::u16string& text)
{
    GdiObject* object = FindObject(font, ObjectKind::Font);
    if (!object)
        object = FindObject(DefaultGuiFont());
    return {object->face->TextWidth(text), object->face->Height()};
}

}  // namespace yolt::gdi

using namespace yolt::gdi;

extern "C" {

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    if (width <= 0 || height <= 0 || planes != 1 || bitsPerPixel != 32 || width > 0x4000 || height > 0x4000) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto bitmap = std::make_unique<GdiObject>();
    bitmap->kind = ObjectKind::Bitmap;
    bitmap->surface = std::make_shared<Surface>(width, height);
    if (bits) {
        const auto* source = static_cast<const uint32_t*>(bits);
        for (auto& p : bitmap->surface->pixels)
            p = *source++ & 0x00FFFFFF;
    }
    return static_cast<HBITMAP>(AddObject(std::move(bitmap)));
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height)
{
    return CreateBitmap(width, height, 1, 32, nullptr);
}

int GetObjectA(HGDIOBJ handle, int size, LPVOID buffer)
{
    GdiObject* object = FindObject(handle);
    if (!object)
        return 0;
    switch (object->kind) {
    case ObjectKind::Bitmap: {
        if (!buffer)
            return sizeof(BITMAP);
        if (size < int(sizeof(BITMAP))) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        BITMAP bm{};
        bm.bmWidth = object->surface->width;
        bm.bmHeight = object->surface->height;
        bm.bmWidthBytes = object->surface->width * 4;
        bm.bmPlanes = 1;
        bm.bmBitsPixel = 32;
        std::memcpy(buffer, &bm, sizeof bm);
        return sizeof(BITMAP);
    }
    case ObjectKind::Font: {
        int n = int(sizeof(LOGFONTW));
        if (buffer)
            std::memcpy(buffer, &object->logFont, size_t(std::min(size, n)));
        return std::min(size, n);
    }
    case ObjectKind::Brush:
    case ObjectKind::Pen: {
        DWORD color = object->color;
        if (buffer && size >= 8) {
            DWORD style = object->hollow ? 1 : 0;
            std::memcpy(buffer, &style, 4);
            std::memcpy(static_cast<char*>(buffer) + 4, &color, 4);
        }
        return 12;
    }
    }
    return 0;
}

int GetObjectW(HGDIOBJ handle, int size, LPVOID buffer)
{
    return GetObjectA(handle, size, buffer);
}

DWORD GetObjectType(HGDIOBJ handle)
{
    auto& dcs = T().dcs;
    if (auto it = dcs.find(reinterpret_cast<uintptr_t>(handle)); it != dcs.end())
        return it->second->memory ? OBJ_MEMDC : OBJ_DC;
    GdiObject* object = FindObject(handle);
    if (!object)
        return 0;
    switch (object->kind) {
    case ObjectKind::Bitmap: return OBJ_BITMAP;
    case ObjectKind::Brush: return OBJ_BRUSH;
    case ObjectKind::Font: return OBJ_FONT;
    case ObjectKind::Pen: return OBJ_PEN;
    }
    return 0;
}

BOOL DeleteObject(HGDIOBJ handle)
{
    GdiObject* object = FindObject(handle);
    if (!object)
        return FALSE;
    if (object->stock)
        return TRUE;
    if (object->selections > 0) {
        object->deletePending = true;
        return TRUE;
    }
    T().objects.erase(reinterpret_cast<uintptr_t>(handle));
    return TRUE;
}

HGDIOBJ GetStockObject(int index)
{
    EnsureStock();
    if (index < 0 || index > DEFAULT_GUI_FONT)
        return nullptr;
    return T().stock[index];
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    return static_cast<HBRUSH>(AddObject(Brush(color & 0x00FFFFFF)));
}

HFONT CreateFontIndirectW(const LOGFONTW* font)
{
    if (!font) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return static_cast<HFONT>(AddObject(Font(*font)));
}

HFONT CreateFontIndirectA(const LOGFONTA* font)
{
    if (!font) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LOGFONTW wide{};
    std::memcpy(&wide, font, offsetof(LOGFONTA, lfFaceName));
    for (int i = 0; i < LF_FACESIZE && font->lfFaceName[i]; ++i)
        wide.lfFaceName[i] = static_cast<unsigned char>(font->lfFaceName[i]);
    return CreateFontIndirectW(&wide);
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
    DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
    DWORD pitchAndFamily, LPCSTR face)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfWeight = weight;
    lf.lfItalic = BYTE(italic);
    lf.lfUnderline = BYTE(underline);
    if (face)
        std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

HDC CreateCompatibleDC(HDC)
{
    auto dc = std::make_unique<DeviceContext>();
    dc->memory = true;
    return NewDC(std::move(dc));
}

BOOL DeleteDC(HDC handle)
{
    DeviceContext* dc = FindDC(handle);
    if (!dc)
        return FALSE;
    HGDIOBJ bitmap = dc->memory ? dc->bitmap : nullptr;
    T().dcs.erase(reinterpret_cast<uintptr_t>(handle));
    if (bitmap)
        Unselect(bitmap);
    return TRUE;
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object)
{
    DeviceContext* dc = FindDC(handle);
    if (!dc)
        return nullptr;
    GdiObject* selected = FindObject(object);
    if (!selected)
        return nullptr;
    switch (selected->kind) {
    case ObjectKind::Bitmap: {
        if (!dc->memory) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        // A bitmap can be selected into one memory context at a time.
        if (selected->selections > 0 && object != dc->bitmap && !selected->stock) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        HGDIOBJ previous = dc->bitmap;
        selected->selections++;
        dc->bitmap = object;
        Unselect(previous);
        return previous;
    }
    case ObjectKind::Brush: return std::exchange(dc->brush, object);
    case ObjectKind::Font: return std::exchange(dc->font, object);
    case ObjectKind::Pen: return std::exchange(dc->pen, object);
    }
    return nullptr;
}

HGDIOBJ GetCurrentObject(HDC handle, UINT type)
{
    DeviceContext* dc = FindDC(handle);
    if (!dc)
        return nullptr;
    switch (type) {
    case OBJ_BITMAP: return dc->bitmap;
    case OBJ_BRUSH: return dc->brush;
    case OBJ_FONT: return dc->font;
    case OBJ_PEN: return dc->pen;
    }
    return nullptr;
}

COLORREF SetTextColor(HDC handle, COLORREF color)
{
    DeviceContext* dc = FindDC(handle);
    return dc ? std::exchange(dc->textColor, color & 0x00FFFFFF) : CLR_INVALID;
}

COLORREF GetTextColor(HDC handle)
{
    DeviceContext* dc = FindDC(handle);
    return dc ? dc->textColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC handle, COLORREF color)
{
    DeviceContext* dc = FindDC(handle);
    return dc ? std::exchange(dc->bkColor, color & 0x00FFFFFF) : CLR_INVALID;
}

COLORREF GetBkColor(HDC handle)
{
    DeviceContext* dc = FindDC(handle);
    return dc ? dc->bkColor : CLR_INVALID;
}

int SetBkMode(HDC handle, int mode)
{
    DeviceContext* dc = FindDC(handle);
    if (!dc)
        return 0;
    if (mode != TRANSPARENT && mode != OPAQUE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return std::exchange(dc->bkMode, mode);
}

int GetBkMode(HDC handle)
{
    DeviceContext* dc = FindDC(handle);
    return dc ? dc->bkMode : 0;
}

int GetDeviceCaps(HDC handle, int index)
{
    DeviceContext* dc = FindDC(handle);
    if (!dc)
        return 0;
    switch (index) {
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case HORZRES: return dc->surface ? dc->surface->width : 0;
    case VERTRES: return dc->surface ? dc->surface->height : 0;
    }
    return 0;
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    long long product = (long long)number * numerator;
    long long half = (denominator > 0 ? denominator : -denominator) / 2;
    long long result = (product >= 0) == (denominator > 0) ? (product + (product >= 0 ? half : -half)) / denominator
                                                           : (product - (product >= 0 ? half : -half)) / denominator;
    return int(result);
}

}  // extern "C"
