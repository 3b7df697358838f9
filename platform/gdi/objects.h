// The drawing objects behind handles: bitmaps, brushes, fonts, pens and device contexts.
#pragma once

#include <memory>
#include <string>

#include "platform/gdi/font_face.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/surface.h"

namespace yolt::gdi {

enum class ObjectKind { Bitmap, Brush, Font, Pen };

struct GdiObject {
    ObjectKind kind;
    bool stock = false;
    bool deletePending = false;  // DeleteObject came while it was selected into a context
    int selections = 0;          // contexts it is selected into
    std::shared_ptr<Surface> surface;  // bitmaps
    COLORREF color = 0;                // brushes and pens
    bool hollow = false;               // the null brush
    LOGFONTW logFont{};                // fonts
    std::shared_ptr<FontFace> face;    // fonts
};

struct DeviceContext {
    bool memory = false;
    std::shared_ptr<Surface> surface;  // window contexts; memory contexts use their bitmap
    POINT origin{0, 0};
    RECT clip{0, 0, 0, 0};
    HGDIOBJ bitmap = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ font = nullptr;
    HGDIOBJ pen = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
};

/// The object behind a handle, or null (last error ERROR_INVALID_HANDLE).
GdiObject* FindObject(HGDIOBJ handle);
GdiObject* FindObject(HGDIOBJ handle, ObjectKind kind);
HGDIOBJ AddObject(std::unique_ptr<GdiObject> object);
DeviceContext* FindDC(HDC dc);

/// Where a context draws: its surface, the offset of its (0, 0) and the clip in surface
/// coordinates; surface null when there is nothing to draw on.
struct Target {
    Surface* surface = nullptr;
    POINT origin{0, 0};
    RECT clip{0, 0, 0, 0};
};
Target TargetOf(DeviceContext& dc);

/// The font face of a context's selected font.
FontFace& FaceOf(DeviceContext& dc);

}  // namespace yolt::gdi
