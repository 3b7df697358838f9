#include "tools/rc/predefined.h"

#include <cstring>
#include <map>

namespace yolt::rc {

std::optional<uint32_t> PredefinedConstant(const std::string& name)
{
    static const std::map<std::string, uint32_t> constants = {
        // Window styles.
        {"WS_OVERLAPPED", 0x00000000}, {"WS_POPUP", 0x80000000}, {"WS_CHILD", 0x40000000},
        {"WS_MINIMIZE", 0x20000000}, {"WS_VISIBLE", 0x10000000}, {"WS_DISABLED", 0x08000000},
        {"WS_CLIPSIBLINGS", 0x04000000}, {"WS_CLIPCHILDREN", 0x02000000}, {"WS_MAXIMIZE", 0x01000000},
        {"WS_CAPTION", 0x00C00000}, {"WS_BORDER", 0x00800000}, {"WS_DLGFRAME", 0x00400000},
        {"WS_VSCROLL", 0x00200000}, {"WS_HSCROLL", 0x00100000}, {"WS_SYSMENU", 0x00080000},
        {"WS_THICKFRAME", 0x00040000}, {"WS_GROUP", 0x00020000}, {"WS_TABSTOP", 0x00010000},
        {"WS_MINIMIZEBOX", 0x00020000}, {"WS_MAXIMIZEBOX", 0x00010000},
        // Extended window styles.
        {"WS_EX_DLGMODALFRAME", 0x00000001}, {"WS_EX_NOPARENTNOTIFY", 0x00000004}, {"WS_EX_TOPMOST", 0x00000008},
        {"WS_EX_ACCEPTFILES", 0x00000010}, {"WS_EX_TRANSPARENT", 0x00000020}, {"WS_EX_TOOLWINDOW", 0x00000080},
        {"WS_EX_WINDOWEDGE", 0x00000100}, {"WS_EX_CLIENTEDGE", 0x00000200}, {"WS_EX_CONTEXTHELP", 0x00000400},
        {"WS_EX_RIGHT", 0x00001000}, {"WS_EX_CONTROLPARENT", 0x00010000}, {"WS_EX_STATICEDGE", 0x00020000},
        {"WS_EX_APPWINDOW", 0x00040000},
        // Dialog styles.
        {"DS_ABSALIGN", 0x0001}, {"DS_SYSMODAL", 0x0002}, {"DS_3DLOOK", 0x0004}, {"DS_FIXEDSYS", 0x0008},
        {"DS_NOFAILCREATE", 0x0010}, {"DS_LOCALEDIT", 0x0020}, {"DS_SETFONT", 0x0040}, {"DS_MODALFRAME", 0x0080},
        {"DS_NOIDLEMSG", 0x0100}, {"DS_SETFOREGROUND", 0x0200}, {"DS_CONTROL", 0x0400}, {"DS_CENTER", 0x0800},
        {"DS_CENTERMOUSE", 0x1000}, {"DS_CONTEXTHELP", 0x2000}, {"DS_SHELLFONT", 0x0048},
        // Button styles.
        {"BS_PUSHBUTTON", 0x0}, {"BS_DEFPUSHBUTTON", 0x1}, {"BS_CHECKBOX", 0x2}, {"BS_AUTOCHECKBOX", 0x3},
        {"BS_RADIOBUTTON", 0x4}, {"BS_3STATE", 0x5}, {"BS_AUTO3STATE", 0x6}, {"BS_GROUPBOX", 0x7},
        {"BS_USERBUTTON", 0x8}, {"BS_AUTORADIOBUTTON", 0x9}, {"BS_OWNERDRAW", 0xB}, {"BS_LEFTTEXT", 0x20},
        {"BS_ICON", 0x40}, {"BS_BITMAP", 0x80}, {"BS_LEFT", 0x100}, {"BS_RIGHT", 0x200}, {"BS_CENTER", 0x300},
        {"BS_TOP", 0x400}, {"BS_BOTTOM", 0x800}, {"BS_VCENTER", 0xC00}, {"BS_PUSHLIKE", 0x1000},
        {"BS_MULTILINE", 0x2000}, {"BS_NOTIFY", 0x4000}, {"BS_FLAT", 0x8000},
        // Static styles.
        {"SS_LEFT", 0x0}, {"SS_CENTER", 0x1}, {"SS_RIGHT", 0x2}, {"SS_ICON", 0x3}, {"SS_BLACKRECT", 0x4},
        {"SS_GRAYRECT", 0x5}, {"SS_WHITERECT", 0x6}, {"SS_BLACKFRAME", 0x7}, {"SS_GRAYFRAME", 0x8},
        {"SS_WHITEFRAME", 0x9}, {"SS_SIMPLE", 0xB}, {"SS_LEFTNOWORDWRAP", 0xC}, {"SS_BITMAP", 0xE},
        {"SS_ETCHEDHORZ", 0x10}, {"SS_ETCHEDVERT", 0x11}, {"SS_ETCHEDFRAME", 0x12}, {"SS_NOPREFIX", 0x80},
        {"SS_NOTIFY", 0x100}, {"SS_CENTERIMAGE", 0x200}, {"SS_SUNKEN", 0x1000},
        // Edit styles.
        {"ES_LEFT", 0x0}, {"ES_CENTER", 0x1}, {"ES_RIGHT", 0x2}, {"ES_MULTILINE", 0x4}, {"ES_UPPERCASE", 0x8},
        {"ES_LOWERCASE", 0x10}, {"ES_PASSWORD", 0x20}, {"ES_AUTOVSCROLL", 0x40}, {"ES_AUTOHSCROLL", 0x80},
        {"ES_NOHIDESEL", 0x100}, {"ES_OEMCONVERT", 0x400}, {"ES_READONLY", 0x800}, {"ES_WANTRETURN", 0x1000},
        {"ES_NUMBER", 0x2000},
        // Combo box and list box styles.
        {"CBS_SIMPLE", 0x1}, {"CBS_DROPDOWN", 0x2}, {"CBS_DROPDOWNLIST", 0x3}, {"CBS_OWNERDRAWFIXED", 0x10},
        {"CBS_OWNERDRAWVARIABLE", 0x20}, {"CBS_AUTOHSCROLL", 0x40}, {"CBS_OEMCONVERT", 0x80}, {"CBS_SORT", 0x100},
        {"CBS_HASSTRINGS", 0x200}, {"CBS_NOINTEGRALHEIGHT", 0x400}, {"CBS_DISABLENOSCROLL", 0x800},
        {"CBS_UPPERCASE", 0x2000}, {"CBS_LOWERCASE", 0x4000},
        {"LBS_NOTIFY", 0x1}, {"LBS_SORT", 0x2}, {"LBS_NOINTEGRALHEIGHT", 0x100}, {"LBS_HASSTRINGS", 0x40},
        // Dialog command ids.
        {"IDOK", 1}, {"IDCANCEL", 2}, {"IDABORT", 3}, {"IDRETRY", 4}, {"IDIGNORE", 5}, {"IDYES", 6}, {"IDNO", 7},
        {"IDC_STATIC", 0xFFFFFFFF},
        // Version resource.
        {"VS_FF_DEBUG", 0x1}, {"VS_FF_PRERELEASE", 0x2}, {"VS_FF_PATCHED", 0x4}, {"VS_FF_PRIVATEBUILD", 0x8},
        {"VS_FF_INFOINFERRED", 0x10}, {"VS_FF_SPECIALBUILD", 0x20}, {"VS_FFI_FILEFLAGSMASK", 0x3F},
        {"VOS_UNKNOWN", 0x0}, {"VOS_NT", 0x40000}, {"VOS__WINDOWS32", 0x4}, {"VOS_NT_WINDOWS32", 0x40004},
        {"VFT_UNKNOWN", 0x0}, {"VFT_APP", 0x1}, {"VFT_DLL", 0x2}, {"VFT2_UNKNOWN", 0x0},
        // Languages.
        {"LANG_NEUTRAL", 0x00}, {"LANG_ENGLISH", 0x09}, {"LANG_GERMAN", 0x07}, {"LANG_FRENCH", 0x0C},
        {"SUBLANG_NEUTRAL", 0x00}, {"SUBLANG_DEFAULT", 0x01}, {"SUBLANG_ENGLISH_US", 0x01},
    };
    auto found = constants.find(name);
    if (found == constants.end())
        return std::nullopt;
    return found->second;
}

std::u16string PredefinedClass(const std::string& name)
{
    static const std::map<std::string, std::u16string> classes = {
        {"BUTTON", u"Button"}, {"EDIT", u"Edit"}, {"STATIC", u"Static"},
        {"LISTBOX", u"ListBox"}, {"SCROLLBAR", u"ScrollBar"}, {"COMBOBOX", u"ComboBox"},
    };
    std::string upper;
    for (char c : name)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto found = classes.find(upper);
    return found == classes.end() ? std::u16string() : found->second;
}

}  // namespace yolt::rc
