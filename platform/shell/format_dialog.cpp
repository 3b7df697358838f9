// The format dialog behind SHFormatDrive: its two layouts, its dialog procedure and the format
// that Start carries out on a simulated drive.
#include "platform/shell/format_drive.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/base/wtext.h"
#include "platform/machine/machine.h"
#include "platform/shell/bytesize.h"
#include "platform/user/user.h"

namespace {

using yolt::user::DialogItemTemplate;
using yolt::user::DialogTemplate;

// Control identifiers of both layouts. Start and Close are IDOK and IDCANCEL, so Enter starts
// and Escape closes as the dialog manager maps them.
enum : int {
    kCapacityList = 101,
    kFileSystemList = 102,
    kAllocationList = 103,
    kLabelEdit = 104,
    kQuickCheck = 105,
    kCompressionCheck = 106,
    kStartupDiskCheck = 107,
    kQuickRadio = 110,
    kFullRadio = 111,
    kSystemOnlyRadio = 112,
    kNoLabelCheck = 113,
    kSummaryCheck = 114,
    kCopySystemCheck = 115,
    kNoId = 0xFFFF,
};

constexpr DWORD kVisible = WS_CHILD | WS_VISIBLE;
constexpr DWORD kList = kVisible | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kCheck = kVisible | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kGroupBox = kVisible | BS_GROUPBOX;
constexpr DWORD kPush = kVisible | WS_TABSTOP | BS_PUSHBUTTON;

// What the open dialog works on; one format dialog at a time, on the window system's thread.
struct FormatSession {
    HWND dialog = nullptr;
    char letter = 0;
    bool family95 = false;
    UINT options = 0;
    yolt::machine::Drive drive;
    bool drivePresent = false;
};
FormatSession* g_session = nullptr;

DialogTemplate Frame(const std::u16string& caption, short cx, short cy)
{
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE;
    t.cx = cx;
    t.cy = cy;
    t.caption = caption;
    t.fontName = u"MS Sans Serif";
    t.pointSize = 8;
    return t;
}

void Add(DialogTemplate& t, const char16_t* cls, const char16_t* text, int id, DWORD style, short x, short y, short cx,
    short cy)
{
    t.items.push_back(DialogItemTemplate{cls, text, id, style, 0, x, y, cx, cy});
}

// The 95-family dialog: capacity, the format type as radio buttons, other options with the label.
DialogTemplate Layout95(const std::u16string& caption)
{
    DialogTemplate t = Frame(caption, 250, 212);
    Add(t, u"Static", u"Capacity:", kNoId, kVisible, 7, 7, 160, 8);
    Add(t, u"ComboBox", u"", kCapacityList, kList, 7, 18, 160, 60);
    Add(t, u"Button", u"Format type", kNoId, kGroupBox, 7, 38, 160, 56);
    Add(t, u"Button", u"Quick (erase)", kQuickRadio, kVisible | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 14, 50, 140, 10);
    Add(t, u"Button", u"Full", kFullRadio, kVisible | BS_AUTORADIOBUTTON, 14, 63, 140, 10);
    Add(t, u"Button", u"Copy system files only", kSystemOnlyRadio, kVisible | BS_AUTORADIOBUTTON, 14, 76, 140, 10);
    Add(t, u"Button", u"Other options", kNoId, kGroupBox | WS_GROUP, 7, 100, 160, 100);
    Add(t, u"Static", u"Label:", kNoId, kVisible, 14, 113, 40, 8);
    Add(t, u"Edit", u"", kLabelEdit, kVisible | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | ES_UPPERCASE, 14, 124, 100, 12);
    Add(t, u"Button", u"No label", kNoLabelCheck, kCheck, 14, 142, 140, 10);
    Add(t, u"Button", u"Display summary when finished", kSummaryCheck, kCheck, 14, 156, 140, 10);
    Add(t, u"Button", u"Copy system files", kCopySystemCheck, kCheck, 14, 170, 140, 10);
    Add(t, u"Button", u"Start", IDOK, kPush | WS_GROUP, 186, 7, 56, 14);
    Add(t, u"Button", u"Close", IDCANCEL, kPush, 186, 25, 56, 14);
    return t;
}

// The 2000/XP dialog: capacity, file system and allocation lists, the label and the options.
DialogTemplate LayoutNt(const std::u16string& caption)
{
    DialogTemplate t = Frame(caption, 180, 250);
    Add(t, u"Static", u"Capacity:", kNoId, kVisible, 7, 7, 166, 8);
    Add(t, u"ComboBox", u"", kCapacityList, kList, 7, 18, 166, 60);
    Add(t, u"Static", u"File system", kNoId, kVisible, 7, 37, 166, 8);
    Add(t, u"ComboBox", u"", kFileSystemList, kList, 7, 48, 166, 60);
    Add(t, u"Static", u"Allocation unit size", kNoId, kVisible, 7, 67, 166, 8);
    Add(t, u"ComboBox", u"", kAllocationList, kList, 7, 78, 166, 60);
    Add(t, u"Static", u"Volume label", kNoId, kVisible, 7, 97, 166, 8);
    Add(t, u"Edit", u"", kLabelEdit, kVisible | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 7, 108, 166, 12);
    Add(t, u"Button", u"Format options", kNoId, kGroupBox, 7, 128, 166, 60);
    Add(t, u"Button", u"Quick Format", kQuickCheck, kCheck, 14, 141, 150, 10);
    Add(t, u"Button", u"Enable Compression", kCompressionCheck, kCheck, 14, 155, 150, 10);
    Add(t, u"Button", u"Create an MS-DOS startup disk", kStartupDiskCheck, kCheck, 14, 169, 150, 10);
    Add(t, u"Button", u"Start", IDOK, kPush, 64, 229, 52, 14);
    Add(t, u"Button", u"Close", IDCANCEL, kPush, 121, 229, 52, 14);
    return t;
}

std::u16string Caption(const FormatSession& s)
{
    std::u16string kind = s.drivePresent && s.drive.kind == yolt::machine::DriveKind::Fixed ? u"Local Disk" : u"Removable Disk";
    std::u16string drive = kind + u" (" + char16_t(s.letter) + u":)";
    return s.family95 ? u"Format - " + drive : u"Format " + drive;
}

void AddEntry(HWND dialog, int list, const char* text)
{
    SendDlgItemMessageA(dialog, list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

// Selects the entry with that text, else the first.
void SelectEntry(HWND dialog, int list, const std::string& text)
{
    LRESULT at = SendDlgItemMessageA(dialog, list, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
    SendDlgItemMessageA(dialog, list, CB_SETCURSEL, at == CB_ERR ? 0 : at, 0);
}

std::string ListText(HWND dialog, int list)
{
    LRESULT at = SendDlgItemMessageA(dialog, list, CB_GETCURSEL, 0, 0);
    if (at == CB_ERR)
        return {};
    char text[64] = "";
    SendDlgItemMessageA(dialog, list, CB_GETLBTEXT, WPARAM(at), reinterpret_cast<LPARAM>(text));
    return text;
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void Fill(HWND dialog, FormatSession& s)
{
    uint64_t capacity = s.drive.capacity;
    char size[64] = "Unknown capacity";
    if (s.drivePresent && capacity)
        StrFormatByteSize64A(LONGLONG(capacity), size, sizeof size);
    AddEntry(dialog, kCapacityList, size);
    SendDlgItemMessageA(dialog, kCapacityList, CB_SETCURSEL, 0, 0);
    SetDlgItemTextA(dialog, kLabelEdit, s.drive.label.c_str());
    SendDlgItemMessageA(dialog, kLabelEdit, EM_LIMITTEXT, 11, 0);
    if (s.family95) {
        CheckDlgButton(dialog, (s.options & SHFMT_OPT_FULL) ? kFullRadio : kQuickRadio, BST_CHECKED);
        return;
    }
    AddEntry(dialog, kFileSystemList, "FAT");
    AddEntry(dialog, kFileSystemList, "FAT32");
    if (capacity > 32ull * 1024 * 1024)
        AddEntry(dialog, kFileSystemList, "NTFS");
    SelectEntry(dialog, kFileSystemList, s.drive.fileSystem);
    AddEntry(dialog, kAllocationList, "Default allocation size");
    SendDlgItemMessageA(dialog, kAllocationList, CB_SETCURSEL, 0, 0);
    if (s.options & 1)
        CheckDlgButton(dialog, kQuickCheck, BST_CHECKED);
}

// Start: formats the drive with what the dialog shows now. The dialog ends with 0, or with
// SHFMT_ERROR when the drive has gone.
DWORD Start(HWND dialog, const FormatSession& s)
{
    char label[16] = "";
    GetDlgItemTextA(dialog, kLabelEdit, label, 12);
    if (s.family95) {
        if (Checked(dialog, kNoLabelCheck))
            label[0] = 0;
        auto drive = yolt::machine::CurrentMachine().FindDrive(s.letter);
        if (!drive)
            return SHFMT_ERROR;
        if (Checked(dialog, kSystemOnlyRadio))
            return yolt::machine::CurrentMachine().SetDriveLabel(s.letter, label) ? 0 : SHFMT_ERROR;
        // The 95 family writes FAT; a drive that was FAT32 stays FAT32.
        std::string fileSystem = drive->fileSystem == "FAT32" ? "FAT32" : "FAT";
        return yolt::shell::FormatSimulatedDrive(s.letter, fileSystem, label) ? 0 : SHFMT_ERROR;
    }
    std::string fileSystem = ListText(dialog, kFileSystemList);
    return yolt::shell::FormatSimulatedDrive(s.letter, fileSystem.empty() ? "FAT" : fileSystem, label) ? 0 : SHFMT_ERROR;
}

INT_PTR FormatDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    FormatSession* s = g_session;
    if (!s)
        return FALSE;
    if (message == WM_INITDIALOG) {
        s->dialog = dialog;
        Fill(dialog, *s);
        return TRUE;
    }
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
        return FALSE;
    if (LOWORD(wParam) == IDOK) {
        EndDialog(dialog, INT_PTR(Start(dialog, *s)));
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, INT_PTR(SHFMT_CANCEL));
        return TRUE;
    }
    return FALSE;
}

bool Press(int id)
{
    HWND dialog = yolt::shell::OpenFormatDialog();
    HWND button = dialog ? GetDlgItem(dialog, id) : nullptr;
    if (!button)
        return false;
    SendMessageA(button, BM_CLICK, 0, 0);
    return true;
}

}  // namespace

extern "C" DWORD SHFormatDrive(HWND owner, UINT drive, UINT, UINT options)
{
    if (drive > 25 || g_session)
        return SHFMT_ERROR;
    auto& machine = yolt::machine::CurrentMachine();
    FormatSession session;
    session.letter = char('A' + drive);
    session.family95 = machine.Version().platformId == 1;
    session.options = options;
    if (auto found = machine.FindDrive(session.letter)) {
        session.drive = *found;
        session.drivePresent = true;
    }
    DialogTemplate layout = session.family95 ? Layout95(Caption(session)) : LayoutNt(Caption(session));
    g_session = &session;
    INT_PTR result = yolt::user::DialogBoxFromTemplate(nullptr, layout, owner, FormatDialogProc, 0);
    g_session = nullptr;
    return result == -1 ? SHFMT_ERROR : DWORD(result);
}

namespace yolt::shell {

HWND OpenFormatDialog()
{
    return g_session && IsWindow(g_session->dialog) ? g_session->dialog : nullptr;
}

bool PressFormatStart() { return Press(IDOK); }
bool PressFormatClose() { return Press(IDCANCEL); }

bool FormatSimulatedDrive(char letter, const std::string& fileSystem, const std::string& label)
{
    auto& machine = machine::CurrentMachine();
    auto drive = machine.FindDrive(letter);
    if (!drive || !drive->fatRules || drive->folder.empty())
        return false;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(drive->folder, error)) {
        std::filesystem::remove_all(entry.path(), error);
        if (error)
            return false;
    }
    if (error)
        return false;
    return machine.SetDriveFileSystem(letter, fileSystem) && machine.SetDriveLabel(letter, label);
}

}  // namespace yolt::shell
