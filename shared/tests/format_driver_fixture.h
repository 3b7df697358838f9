// What the tests of both copies of the format dialog driver share: a machine running a named
// system with a player at E:, a headless session, the dialog's children as the hook left them,
// and a stand-in for SHFormatDrive that records its options and answers as told.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/display/session.h"
#include "platform/user/session.h"
#include "platform/kernel/drives.h"
#include "platform/kernel/modules.h"
#include "platform/machine/testing/temp_machine.h"
#include "platform/shell/format_drive.h"
#include "platform/user/user.h"
#include "shared/format_driver_state.h"

namespace formattest {

using yolt::display::ChildInfo;
using yolt::display::Session;

struct FakeShell {
    static inline std::vector<UINT> options;
    static inline DWORD answer = 0;
    // Runs inside the stand-in before it answers (for example a dialog of its own).
    static inline std::function<void(HWND owner)> show;

    static DWORD FormatDrive(HWND owner, UINT, UINT, UINT opts)
    {
        options.push_back(opts);
        if (show)
            show(owner);
        return answer;
    }
};

/// Replaces "shell32.dll"'s SHFormatDrive with FakeShell for the scope.
class ScopedFakeShell {
public:
    explicit ScopedFakeShell(DWORD answer, std::function<void(HWND)> show = nullptr)
    {
        FakeShell::options.clear();
        FakeShell::answer = answer;
        FakeShell::show = std::move(show);
        Register(reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&FakeShell::FormatDrive)));
    }
    ~ScopedFakeShell() { Register(reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&SHFormatDrive))); }

private:
    static void Register(FARPROC address)
    {
        yolt::SystemFunction function{"SHFormatDrive", address};
        yolt::RegisterSystemModule("shell32.dll", &function, 1);
    }
};

/// A machine running `system` with a PX210 at E: and a session on it; the driver's state is
/// cleared, as a new process would have it.
struct DriverMachine {
    explicit DriverMachine(const std::string& system)
        : machine(system, {{"PX210", 'E'}}), session(machine.Shared())
    {
        ForgetFormatOsKind();
        EndFormatRun();
    }
    ~DriverMachine() { ForgetFormatOsKind(); }

    std::string Label()
    {
        char label[32] = "";
        GetVolumeInformationA("E:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0);
        return label;
    }

    yolt::machine::TempMachine machine;
    Session session;
};

/// Reads the open format dialog's children in the next step, then presses Start or Close.
inline void ReadChildrenThen(Session& session, std::vector<ChildInfo>& children, bool start)
{
    session.Then([&children, start] {
        children = Session::Children(yolt::shell::OpenFormatDialog());
        if (start)
            yolt::shell::PressFormatStart();
        else
            yolt::shell::PressFormatClose();
    });
}

inline const ChildInfo* Child(const std::vector<ChildInfo>& children, const std::u16string& text)
{
    for (const auto& c : children) {
        if (c.text == text)
            return &c;
    }
    return nullptr;
}

inline const ChildInfo* ChildOfClass(const std::vector<ChildInfo>& children, const std::string& className, int nth = 0)
{
    for (const auto& c : children) {
        if (c.className == className && nth-- == 0)
            return &c;
    }
    return nullptr;
}

inline std::string SelectedText(HWND list)
{
    LRESULT at = SendMessageA(list, CB_GETCURSEL, 0, 0);
    char text[32] = "";
    if (at != CB_ERR)
        SendMessageA(list, CB_GETLBTEXT, WPARAM(at), reinterpret_cast<LPARAM>(text));
    return text;
}

/// A dialog with texts in another language, as a 95-family system in German shows it:
/// buttons of every kind, none with "Quick" or "Full" in its text.
inline yolt::user::DialogTemplate TranslatedDialog()
{
    yolt::user::DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE;
    t.cx = 200;
    t.cy = 120;
    t.caption = u"Formatieren";
    t.fontName = u"MS Sans Serif";
    auto add = [&t](const char16_t* text, int id, DWORD style, short y) {
        t.items.push_back({u"Button", text, id, DWORD(WS_CHILD | WS_VISIBLE | style), 0, 7, y, 120, 10});
    };
    add(u"Formatierungsart", 200, BS_GROUPBOX, 5);
    add(u"Schnell (nur l\u00f6schen)", 201, BS_RADIOBUTTON, 18);
    add(u"Vollst\u00e4ndig", 202, BS_RADIOBUTTON, 31);
    add(u"Keine Bezeichnung", 203, BS_AUTOCHECKBOX, 44);
    add(u"Starten", IDOK, BS_PUSHBUTTON, 60);
    add(u"Schlie\u00dfen", IDCANCEL, BS_PUSHBUTTON, 75);
    return t;
}

/// A top-level owner window with a check box, as the program's main window might have.
inline void MakeOwner(HWND& owner, HWND& check)
{
    owner = CreateWindowExA(0, "#32770", "main", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    check = CreateWindowExA(0, "Button", "Option", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 5, 5, 80, 12, owner, nullptr,
        nullptr, nullptr);
}

constexpr int kShowSummary = 300;

/// A stand-in format dialog owned by `owner` that, on the command kShowSummary, shows a box of
/// its own (a second activated window) and then closes.
inline void ShowDialogWithSummaryBox(HWND owner)
{
    yolt::user::DialogBoxFromTemplate(nullptr, TranslatedDialog(), owner,
        [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
            if (message == WM_COMMAND && LOWORD(wParam) == kShowSummary) {
                MessageBoxA(dialog, "Summary", "Format", MB_OK);
                EndDialog(dialog, IDCANCEL);
            }
            return message == WM_INITDIALOG;
        },
        0);
}

struct SecondWindow {
    HWND box = nullptr;
    HWND held = nullptr;  // the driver's held window while the box is up
};

/// Steps that open the stand-in's box, note what the driver holds, and answer the box.
inline void OpenSummaryBox(Session& session, SecondWindow& seen)
{
    session.Then([] { PostMessageA(yolt::user::InnermostModalWindow(), WM_COMMAND, kShowSummary, 0); });
    session.Then([&seen] {
        seen.box = yolt::user::InnermostModalWindow();
        seen.held = FormatDriver().dialog;
    });
    session.Answer(IDOK);
}

}  // namespace formattest
