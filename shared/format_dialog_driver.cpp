#include "shared/format_dialog_driver.h"

#include <cstring>

#include "platform/kernel/drives.h"
#include "platform/kernel/modules.h"
#include "platform/user/user.h"
#include "shared/format_driver_state.h"

namespace {

typedef DWORD (*SHFormatDriveProc)(HWND owner, UINT drive, UINT fmtID, UINT options);

constexpr UINT kFormatIdDefault = 0xFFFF;

bool IsFamily95Kind(int kind) { return kind >= eFormatOsWin95 && kind <= eFormatOsWinMe; }
bool IsNtKind(int kind) { return kind == eFormatOsWin2000 || kind == eFormatOsWinXp; }

// Whether `window` owns `held`, directly or further up the owner chain: such a window is
// activated again when the held one closes and is never a window of the format dialog.
bool OwnsWindow(HWND window, HWND held)
{
    for (HWND owner = held ? GetWindow(held, GW_OWNER) : nullptr; owner; owner = GetWindow(owner, GW_OWNER)) {
        if (owner == window)
            return true;
    }
    return false;
}

void TakeActivatedWindow(HWND window)
{
    FormatDriverState& state = FormatDriver();
    if (state.activation == FormatActivation::FirstWindow && state.dialog)
        return;
    if (state.activation == FormatActivation::LatestWindow && OwnsWindow(window, state.dialog))
        return;
    state.dialog = window;
    EnumChildWindows(window, FormatChildProc, 0);
}

void SelectFileSystem(HWND list)
{
    auto count = static_cast<ULONG>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    if (count <= 1)
        return;
    int choice = FormatDriver().fileSystem;
    const char* name = choice == eFormatFat32 ? "FAT32" : choice == eFormatNtfs ? "NTFS" : "FAT";
    LRESULT at = SendMessageA(list, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(name));
    if (at != CB_ERR)
        SendMessageA(list, CB_SETCURSEL, WPARAM(at), 0);
}

void TreatButton(HWND button, int kind)
{
    char text[256] = "";
    GetWindowTextA(button, text, 256);
    bool checkLike = (GetWindowLongA(button, GWL_STYLE) & 6) != 0;
    bool quick = std::strstr(text, "Quick") != nullptr;
    if (IsFamily95Kind(kind) && kind != eFormatOsWinMe) {
        if (checkLike && !quick && !std::strstr(text, "Full"))
            EnableWindow(button, FALSE);
        return;
    }
    if (checkLike)
        EnableWindow(button, FALSE);
    if (IsNtKind(kind) && quick)
        EnableWindow(button, FALSE);
}

}  // namespace

FormatDriverState& FormatDriver()
{
    static FormatDriverState state;
    return state;
}

FormatDialogDriver::FormatDialogDriver()
{
    FormatDriver().label[0] = 0;
}

LRESULT FormatHookProc(int code, WPARAM wParam, LPARAM)
{
    FormatDriverState& state = FormatDriver();
    HWND window = reinterpret_cast<HWND>(wParam);
    switch (code) {
    case HCBT_ACTIVATE:
        TakeActivatedWindow(window);
        break;
    case HCBT_DESTROYWND:
        if (state.dialog && window == state.dialog) {
            UnhookWindowsHookEx(state.hook);
            state.hook = nullptr;
            state.dialog = nullptr;
        }
        break;
    case HCBT_CREATEWND:
    case HCBT_CLICKSKIPPED:
    case HCBT_KEYSKIPPED:
    case HCBT_SETFOCUS: {
        int kind = state.dialog ? GetFormatOsKind() : eFormatOsUnknown;
        if (kind >= eFormatOsWin95 && kind <= eFormatOsWin98Se)
            EnumChildWindows(state.dialog, FormatChildProc, 0);
        break;
    }
    }
    return 0;
}

BOOL FormatChildProc(HWND child, LPARAM)
{
    char name[256] = "";
    GetClassNameA(child, name, 256);
    int kind = GetFormatOsKind();
    if (std::strcmp(name, "Edit") == 0) {
        SetWindowTextA(child, FormatDriver().label);
        EnableWindow(child, FALSE);
    } else if (std::strcmp(name, "ComboBox") == 0) {
        if (IsNtKind(kind))
            SelectFileSystem(child);
        EnableWindow(child, FALSE);
    } else if (std::strcmp(name, "Button") == 0) {
        TreatButton(child, kind);
    }
    return TRUE;
}

int RunFormatDialog(const FormatRunRequest& request, bool& warn)
{
    FormatDriverState& state = FormatDriver();
    warn = false;
    std::memset(state.label, 0, 11);
    if (request.label)
        std::strncpy(state.label, request.label, 11);
    state.fileSystem = request.fileSystem;
    state.activation = request.activation;

    HMODULE shell = LoadLibraryA("shell32.dll");
    if (!shell) {
        warn = true;
        return eFormatNoShell;
    }
    FARPROC found = GetProcAddress(shell, "SHFormatDrive");
    auto formatDrive = reinterpret_cast<SHFormatDriveProc>(reinterpret_cast<void (*)()>(found));
    if (!formatDrive) {
        FreeLibrary(shell);
        warn = true;
        return eFormatNoShell;
    }
    // A hook an earlier run left behind would see this run's windows twice.
    EndFormatRun();
    state.hook = SetWindowsHookExA(WH_CBT, FormatHookProc, request.hookInstance, request.hookThread);

    int kind = GetFormatOsKind();
    if (kind < eFormatOsWin95 || kind > eFormatOsWinXp) {
        FreeLibrary(shell);
        warn = true;
        return eFormatNotDone;
    }
    UINT options = IsNtKind(kind) ? (request.quick ? 1 : 0) : (request.quick ? 0 : 1);
    DWORD answer = formatDrive(request.owner, UINT(BYTE(request.driveLetter) - BYTE('A')), kFormatIdDefault, options);
    int result = eFormatNotDone;
    if (answer == 0 || answer == 6) {
        char root[4] = {request.driveLetter, ':', '\\', 0};
        SetVolumeLabelA(root, state.label);
        result = eFormatCompleted;
    }
    FreeLibrary(shell);
    return result;
}

void EndFormatRun()
{
    FormatDriverState& state = FormatDriver();
    if (state.hook)
        UnhookWindowsHookEx(state.hook);
    state.hook = nullptr;
    state.dialog = nullptr;
}
