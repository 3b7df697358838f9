// Dialog templates (resource type RT_DIALOG) as tools/rc writes them, and their reader.
//
// Layout (little-endian; every variable part padded to a 4-byte boundary):
//   DWORD signature 0x474C4459 ("YDLG")   DWORD flags (bit 0: written from DIALOGEX)
//   DWORD style   DWORD exStyle   DWORD helpId
//   SHORT x, y, cx, cy                    dialog units
//   WORD itemCount   WORD pointSize (0 without FONT)   WORD weight   BYTE italic   BYTE charset
//   menu (name or ordinal), window class (name or ordinal; empty = the dialog class "#32770"),
//   caption (text), font face (text); pad to 4
//   then per item, each starting on a 4-byte boundary:
//     DWORD helpId   DWORD exStyle   DWORD style   SHORT x, y, cx, cy   DWORD id
//     window class (name: "Button", "Edit", "Static", "ComboBox", "ListBox", "ScrollBar" or any
//     registered class), text (name or ordinal: an ICON control names its icon by ordinal),
//     WORD extra-byte count and the extra bytes; pad to 4
// A "name or ordinal" is either WORD 0xFFFF followed by the WORD ordinal, or a zero-terminated
// UTF-16 text ("text" fields are always the latter).
//
// Item styles already hold WS_CHILD | WS_VISIBLE and the control's default style (for example
// LTEXT = SS_LEFT | WS_GROUP, DEFPUSHBUTTON = BS_DEFPUSHBUTTON | WS_TABSTOP, EDITTEXT =
// ES_LEFT | WS_BORDER | WS_TABSTOP, ICON = SS_ICON); the dialog style holds DS_SETFONT when a
// FONT was given and WS_CAPTION when a CAPTION was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/types.h"

namespace yolt::rsrc {

inline constexpr uint32_t kDialogSignature = 0x474C4459;
inline constexpr uint32_t kDialogExtended = 0x1;
inline constexpr uint16_t kOrdinalMarker = 0xFFFF;

/// A text, or a number standing for a resource or a class.
struct NameOrOrdinal {
    bool isOrdinal = false;
    uint16_t ordinal = 0;
    std::u16string text;
};

struct DialogItemTemplate {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    SHORT x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    NameOrOrdinal windowClass;
    NameOrOrdinal text;
    std::vector<uint8_t> extra;
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    DWORD helpId = 0;
    SHORT x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::u16string caption;
    WORD pointSize = 0;  // 0: no font given
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::u16string faceName;
    std::vector<DialogItemTemplate> items;
};

/// Reads a dialog template; nullopt when the bytes are not a complete template.
std::optional<DialogTemplate> ParseDialogTemplate(const void* data, size_t size);

}  // namespace yolt::rsrc
