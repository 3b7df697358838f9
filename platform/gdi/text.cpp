// Text: lines laid out with the selected font, prefix characters, alignment and word breaks.
#include "platform/gdi/gdi.h"

#include <cstring>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/codepages.h"
#include "platform/gdi/objects.h"

using namespace yolt::gdi;

namespace {

std::u16string WideOf(LPCSTR text, int length)
{
    if (!text)
        return {};
    if (length < 0)
        length = int(std::strlen(text));
    if (length == 0)
        return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    std::u16string wide(size_t(std::max(n, 0)), u'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text, length, wide.data(), n);
    return wide;
}

std::u16string WideOf(LPCWSTR text, int length)
{
    if (!text)
        return {};
    if (length < 0)
        return std::u16string(text);
    return std::u16string(text, size_t(length));
}

// Removes '&' prefixes ("&&" stands for one '&').
std::u16string StripPrefix(const std::u16string& text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
            out += text[i];
            continue;
        }
        if (text[i] != u'&')
            out += text[i];
    }
    return out;
}

std::vector<std::u16string> SplitLines(FontFace& face, const std::u16string& text, UINT format, int width)
{
    std::vector<std::u16string> lines;
    if (format & DT_SINGLELINE) {
        std::u16string line;
        for (char16_t c : text)
            if (c != u'\r' && c != u'\n')
                line += c;
        lines.push_back(line);
        return lines;
    }
    std::u16string current;
    auto flush = [&] {
        lines.push_back(current);
        current.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            flush();
            continue;
        }
        if (c == u'\n') {
            flush();
            continue;
        }
        current += c;
        if (!(format & DT_WORDBREAK) || face.TextWidth(current) <= width)
            continue;
        // Break at the last blank; a word longer than the line is broken where it overflows.
        size_t blank = current.find_last_of(u' ');
        if (blank == std::u16string::npos || blank == 0) {
            if (current.size() > 1) {
                char16_t last = current.back();
                current.pop_back();
                flush();
                current = last;
            }
            continue;
        }
        std::u16string rest = current.substr(blank + 1);
        current.resize(blank);
        flush();
        current = rest;
    }
    flush();
    return lines;
}

void DrawLine(DeviceContext& dc, FontFace& face, const std::u16string& line, int x, int y, const RECT* clipRect)
{
    Target t = TargetOf(dc);
    if (!t.surface)
        return;
    RECT clip = t.clip;
    if (clipRect) {
        clip.left = std::max<LONG>(clip.left, clipRect->left + t.origin.x);
        clip.top = std::max<LONG>(clip.top, clipRect->top + t.origin.y);
        clip.right = std::min<LONG>(clip.right, clipRect->right + t.origin.x);
        clip.bottom = std::min<LONG>(clip.bottom, clipRect->bottom + t.origin.y);
    }
    if (dc.bkMode == OPAQUE) {
        uint32_t bk = PixelFromColor(dc.bkColor);
        int w = face.TextWidth(line);
        for (int yy = std::max<int>(y + t.origin.y, clip.top); yy < std::min<int>(y + t.origin.y + face.Height(), clip.bottom); ++yy)
            for (int xx = std::max<int>(x + t.origin.x, clip.left); xx < std::min<int>(x + t.origin.x + w, clip.right); ++xx)
                t.surface->At(xx, yy) = bk;
    }
    const uint32_t color = PixelFromColor(dc.textColor);
    int pen = x + t.origin.x;
    const int baseline = y + t.origin.y + face.Ascent();
    for (char16_t c : line) {
        const Glyph& g = face.GlyphOf(c);
        for (int gy = 0; gy < g.height; ++gy) {
            int py = baseline - g.top + gy;
            if (py < clip.top || py >= clip.bottom)
                continue;
            for (int gx = 0; gx < g.width; ++gx) {
                int px = pen + g.left + gx;
                if (px < clip.left || px >= clip.right)
                    continue;
                unsigned a = g.coverage[size_t(gy * g.width + gx)];
                if (a == 0)
                    continue;
                uint32_t& d = t.surface->At(px, py);
                uint32_t out = 0;
                for (int shift = 0; shift <= 16; shift += 8) {
                    unsigned dv = (d >> shift) & 0xFF, cv = (color >> shift) & 0xFF;
                    out |= ((dv * (255 - a) + cv * a + 127) / 255) << shift;
                }
                d = out;
            }
        }
        pen += g.advance;
    }
}

int Draw(HDC handle, const std::u16string& rawText, LPRECT rect, UINT format)
{
    DeviceContext* dc = FindDC(handle);
    if (!dc || !rect) {
        if (!rect)
            SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    FontFace& face = FaceOf(*dc);
    std::u16string text = (format & DT_NOPREFIX) ? rawText : StripPrefix(rawText);
    if (format & DT_EXPANDTABS) {
        std::u16string expanded;
        for (char16_t c : text)
            expanded += c == u'\t' ? std::u16string(8, u' ') : std::u16string(1, c);
        text = expanded;
    }
    const int width = rect->right - rect->left;
    std::vector<std::u16string> lines = SplitLines(face, text, format, width);
    const int lineHeight = face.Height();
    const int height = lineHeight * int(lines.size());
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const auto& line : lines)
            widest = std::max(widest, face.TextWidth(line));
        rect->right = rect->left + widest;
        rect->bottom = rect->top + height;
        return height;
    }
    int y = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = rect->bottom - lineHeight;
    }
    for (const auto& line : lines) {
        int lineWidth = face.TextWidth(line);
        int x = rect->left;
        if (format & DT_CENTER)
            x = rect->left + (width - lineWidth) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - lineWidth;
        DrawLine(*dc, face, line, x, y, (format & DT_NOCLIP) ? nullptr : rect);
        y += lineHeight;
    }
    return height;
}

BOOL Extent(HDC handle, const std::u16string& text, SIZE* size)
{
    DeviceContext* dc = FindDC(handle);
    if (!dc || !size) {
        if (!size)
            SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FontFace& face = FaceOf(*dc);
    size->cx = face.TextWidth(text);
    size->cy = face.Height();
    return TRUE;
}

BOOL Out(HDC handle, int x, int y, const std::u16string& text)
{
    DeviceContext* dc = FindDC(handle);
    if (!dc)
        return FALSE;
    DrawLine(*dc, FaceOf(*dc), text, x, y, nullptr);
    return TRUE;
}

}  // namespace

extern "C" {

int DrawTextA(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format)
{
    return Draw(dc, WideOf(text, length), rect, format);
}

int DrawTextW(HDC dc, LPCWSTR text, int length, LPRECT rect, UINT format)
{
    return Draw(dc, WideOf(text, length), rect, format);
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length)
{
    return Out(dc, x, y, WideOf(text, length));
}

BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int length)
{
    return Out(dc, x, y, WideOf(text, length));
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size)
{
    return Extent(dc, WideOf(text, length), size);
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int length, SIZE* size)
{
    return Extent(dc, WideOf(text, length), size);
}

BOOL GetTextMetricsW(HDC handle, TEXTMETRICW* metrics)
{
    DeviceContext* dc = FindDC(handle);
    if (!dc || !metrics)
        return FALSE;
    FontFace& face = FaceOf(*dc);
    *metrics = {};
    metrics->tmHeight = face.Height();
    metrics->tmAscent = face.Ascent();
    metrics->tmDescent = face.Descent();
    metrics->tmAveCharWidth = face.AverageCharWidth();
    metrics->tmMaxCharWidth = face.GlyphOf(u'W').advance;
    metrics->tmWeight = FW_NORMAL;
    return TRUE;
}

}  // extern "C"
