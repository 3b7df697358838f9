// Drawing helpers shared by the standard controls.
#include "platform/user/internal.h"
#include "platform/user/paint.h"

namespace yolt::user {

HFONT FontOf(Window& w)
{
    return w.font ? w.font : gdi::DefaultGuiFont();
}

void FillBackground(HWND control, HDC dc, const RECT& rect)
{
    Window* w = Peek(control);
    HBRUSH brush = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    if (w && w->parent && Peek(w->parent)) {
        const bool edit = Upper(w->cls->name) == u"EDIT" || Upper(w->cls->name) == u"COMBOBOX";
        LRESULT answer = Send(w->parent, edit ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
            reinterpret_cast<LPARAM>(control));
        if (answer)
            brush = reinterpret_cast<HBRUSH>(answer);
    }
    FillRect(dc, &rect, brush);
}

}  // namespace yolt::user
