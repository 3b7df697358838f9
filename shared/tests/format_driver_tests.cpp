// The utility's copy of the format dialog driver, and what both copies share.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "format_driver_fixture.h"
#include "platform/registry/registry.h"
#include "shared/format_dialog_driver.h"

using namespace formattest;

namespace {

constexpr char kBody[] =
    "Not possible to open the Disk Format dialog\n\nOpen 'My Computer' and Format the Floppy manually.\n\n";

TEST(FormatOsKind, ClassifiesEachSystem)
{
    struct Case {
        const char* system;
        int kind;
    } cases[] = {{"95", 2}, {"95osr2", 3}, {"98", 5}, {"98se", 6}, {"me", 7}, {"nt4", 1}, {"2000", 8}, {"xp", 9},
        {"2003", 0}, {"vista", 0}, {"10", 0}};
    for (const Case& c : cases) {
        DriverMachine m(c.system);
        EXPECT_EQ(GetFormatOsKind(), c.kind) << c.system;
    }
}

TEST(FormatOsKind, AsksTheRegistryWhenOnlyThePlainVersionQueryWorks)
{
    struct Case {
        BYTE productType;  // 0: the hive holds `stored` instead
        const char* stored;
        int kind;
    } cases[] = {{1, nullptr, 4}, {3, nullptr, 4}, {2, nullptr, 4}, {0, "winnt", 4}, {0, "Terminal", 0},
        {0, nullptr, 0}};
    for (const Case& c : cases) {
        DriverMachine m("2003");
        auto memory = std::make_shared<yolt::machine::MemoryMachine>();
        memory->version.major = 5;
        memory->version.minor = 2;
        memory->version.extendedQueryWorks = false;
        memory->version.productType = c.productType;
        memory->registryFolder = m.machine.Folder() / "registry";
        if (c.stored) {
            std::ofstream(memory->registryFolder / "HKLM.reg")
                << "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\ProductOptions]\n\"ProductType\"=\""
                << c.stored << "\"\n";
        }
        yolt::machine::SetCurrentMachine(memory);
        ForgetFormatOsKind();
        EXPECT_EQ(GetFormatOsKind(), c.kind) << int(c.productType) << (c.stored ? c.stored : "");
        yolt::machine::SetCurrentMachine(m.machine.Shared());
    }
}

TEST(FormatDialogDriver, PresetsAndLocksTheDialogForEachSystem)
{
    struct Case {
        const char* system;
        int fileSystem;
        std::string selected;                // the file-system list's selection, "" for none
        std::vector<std::u16string> enabled;  // buttons left enabled
        std::vector<std::u16string> disabled;
    } cases[] = {
        {"xp", eFormatFat32, "FAT32", {u"Start", u"Close"},
            {u"Format options", u"Quick Format", u"Enable Compression", u"Create an MS-DOS startup disk"}},
        {"xp", eFormatFat, "FAT", {u"Start", u"Close"}, {u"Quick Format"}},
        {"2000", eFormatNtfs, "NTFS", {u"Start", u"Close"},
            {u"Format options", u"Quick Format", u"Enable Compression", u"Create an MS-DOS startup disk"}},
        {"98", eFormatFat32, "", {u"Quick (erase)", u"Full", u"Copy system files only", u"Start", u"Close"},
            {u"Format type", u"Other options", u"No label", u"Display summary when finished", u"Copy system files"}},
        {"me", eFormatFat, "", {u"Quick (erase)", u"Full", u"Start", u"Close"},
            {u"Format type", u"Other options", u"No label"}},
    };
    for (const Case& c : cases) {
        DriverMachine m(c.system);
        std::vector<ChildInfo> children;
        std::string selected;
        m.session.Then([&] {
            children = Session::Children(yolt::shell::OpenFormatDialog());
            if (c.selected.size())
                selected = SelectedText(ChildOfClass(children, "ComboBox", 1)->window);
            yolt::shell::PressFormatClose();
        });
        FormatDialogDriver driver;
        EXPECT_EQ(driver.Run(nullptr, 'E', 1, "YOLT PX210AB", c.fileSystem), eFormatNotDone) << c.system;
        const ChildInfo* edit = ChildOfClass(children, "Edit");
        ASSERT_NE(edit, nullptr) << c.system;
        EXPECT_EQ(edit->text, u"YOLT PX210A") << "a 12-character label is cut to 11";
        EXPECT_FALSE(edit->enabled);
        EXPECT_EQ(selected, c.selected) << c.system;
        for (const auto& child : children) {
            if (child.className == "ComboBox") {
                EXPECT_FALSE(child.enabled) << c.system;
            }
        }
        for (const auto& text : c.enabled) {
            ASSERT_NE(Child(children, text), nullptr);
            EXPECT_TRUE(Child(children, text)->enabled) << c.system << " " << yolt::display::steps::Escape(text);
        }
        for (const auto& text : c.disabled) {
            ASSERT_NE(Child(children, text), nullptr);
            EXPECT_FALSE(Child(children, text)->enabled) << c.system << " " << yolt::display::steps::Escape(text);
        }
        EXPECT_EQ(m.Label(), "") << "a closed dialog writes no label";
        EXPECT_EQ(FormatDriver().hook, nullptr) << "the dialog's destruction removed the hook";
    }
}

TEST(FormatDialogDriver, StartFormatsWithTheChosenFileSystemAndWritesTheLabel)
{
    DriverMachine m("xp");
    std::vector<ChildInfo> children;
    ReadChildrenThen(m.session, children, true);
    FormatDialogDriver driver;
    EXPECT_EQ(driver.Run(nullptr, 'E', 1, "YOLT RQ210", eFormatFat32), eFormatCompleted);
    char label[32] = "", fileSystem[16] = "";
    ASSERT_TRUE(GetVolumeInformationA("E:\\", label, sizeof label, nullptr, nullptr, nullptr, fileSystem, sizeof fileSystem));
    EXPECT_STREQ(label, "YOLT RQ210");
    EXPECT_STREQ(fileSystem, "FAT32");
}

TEST(FormatDialogDriver, DisablesEveryCheckLikeButtonOfATranslatedDialog)
{
    for (const char* system : {"95", "95osr2", "98", "98se"}) {
        DriverMachine m(system);
        std::vector<ChildInfo> children;
        ScopedFakeShell fake(SHFMT_CANCEL, [](HWND owner) {
            yolt::user::DialogBoxFromTemplate(nullptr, TranslatedDialog(), owner,
                [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
                    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
                        EndDialog(dialog, IDCANCEL);
                    return message == WM_INITDIALOG;
                },
                0);
        });
        m.session.Then([&] {
            HWND dialog = yolt::user::InnermostModalWindow();
            children = Session::Children(dialog);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        FormatDialogDriver driver;
        EXPECT_EQ(driver.Run(nullptr, 'E', 0, "YOLT PX210", eFormatFat), eFormatNotDone);
        ASSERT_EQ(children.size(), 6u);
        for (const auto& child : children) {
            bool pushButton = (child.style & BS_TYPEMASK) == BS_PUSHBUTTON;
            EXPECT_EQ(child.enabled, pushButton) << system << " " << yolt::display::steps::Escape(child.text);
        }
    }
}

TEST(FormatDialogDriver, PassesTheQuickChoiceAsEachFamilyReadsIt)
{
    struct Case {
        const char* system;
        ULONG quick;
        UINT options;
    } cases[] = {{"95", 1, 0}, {"95", 0, 1}, {"me", 1, 0}, {"xp", 1, 1}, {"xp", 0, 0}, {"2000", 1, 1}};
    for (const Case& c : cases) {
        DriverMachine m(c.system);
        ScopedFakeShell fake(SHFMT_CANCEL);
        FormatDialogDriver driver;
        driver.Run(nullptr, 'E', c.quick, "YOLT PX210", eFormatFat);
        EXPECT_EQ(FakeShell::options, std::vector<UINT>{c.options}) << c.system << " quick " << c.quick;
    }
}

TEST(FormatDialogDriver, WritesTheLabelOnlyAfterACompletedFormat)
{
    struct Case {
        DWORD answer;
        const char* label;
        int result;
        std::string written;
    } cases[] = {{0, "YOLT PX210", 1, "YOLT PX210"}, {6, "YOLT PX210", 1, "YOLT PX210"},
        {SHFMT_CANCEL, "YOLT PX210", 2, "OLD"}, {SHFMT_ERROR, "YOLT PX210", 2, "OLD"}, {0, "", 1, ""}};
    for (const Case& c : cases) {
        DriverMachine m("xp");
        SetVolumeLabelA("E:\\", "OLD");
        ScopedFakeShell fake(c.answer);
        FormatDialogDriver driver;
        EXPECT_EQ(driver.Run(nullptr, 'E', 1, c.label, eFormatFat), c.result) << c.answer;
        EXPECT_EQ(m.Label(), c.written) << c.answer;
        EXPECT_EQ(FormatDriver().hook, nullptr) << "no hook outlives the run";
    }
}

TEST(FormatDialogDriver, WarnsOnUnsupportedSystemsAndWithoutTheShell)
{
    struct Case {
        const char* system;
        const char* missingModule;
        const char* missingFunction;
        const char* label;
        int result;
        std::string line;
    } cases[] = {
        {"2003", nullptr, nullptr, "YOLT PX210", 2, "Set volumelabel to: 'YOLT PX210'"},
        {"vista", nullptr, nullptr, "", 2, "Leave Volumename Empty!"},
        {"10", nullptr, nullptr, "YOLT PX210", 2, "Set volumelabel to: 'YOLT PX210'"},
        {"xp", "shell32.dll", nullptr, "YOLT PX210", 3, "Set volumelabel to: 'YOLT PX210'"},
        {"98", nullptr, "SHFormatDrive", "", 3, "Leave Volumename Empty!"},
    };
    for (const Case& c : cases) {
        DriverMachine m(c.system);
        auto memory = std::make_shared<yolt::machine::MemoryMachine>();
        memory->version = m.machine.Machine().Version();
        if (c.missingModule)
            memory->missingModules.push_back(c.missingModule);
        if (c.missingFunction)
            memory->missingFunctions.push_back({"shell32.dll", c.missingFunction});
        yolt::machine::SetCurrentMachine(memory);
        ForgetFormatOsKind();
        m.session.Answer(IDOK);
        HWND owner = CreateWindowExA(0, "Static", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        FormatDialogDriver driver;
        EXPECT_EQ(driver.Run(owner, 'E', 1, c.label, eFormatFat), c.result) << c.system;
        ASSERT_EQ(m.session.Boxes().size(), 1u) << c.system;
        const auto& box = m.session.Boxes()[0];
        EXPECT_EQ(box.caption, u"Error Accessing FormatDrive Dialog");
        EXPECT_EQ(yolt::display::steps::Escape(box.text), yolt::display::steps::Escape(
            std::u16string(kBody, kBody + sizeof kBody - 1) + std::u16string(c.line.begin(), c.line.end())));
        EXPECT_EQ(box.style & MB_ICONMASK, UINT(MB_ICONWARNING));
        EXPECT_EQ(box.owner, nullptr) << "the utility's box has no owner";
        EXPECT_EQ(FormatDriver().hook, nullptr) << c.system;
        DestroyWindow(owner);
        yolt::machine::SetCurrentMachine(m.machine.Shared());
    }
}

TEST(FormatDialogDriver, UtilityTakesTheLatestWindowButNotItsOwner)
{
    DriverMachine m("xp");
    HWND owner = nullptr, ownerCheck = nullptr;
    MakeOwner(owner, ownerCheck);
    ScopedFakeShell fake(SHFMT_CANCEL, ShowDialogWithSummaryBox);
    SecondWindow seen;
    OpenSummaryBox(m.session, seen);
    FormatDialogDriver driver;
    EXPECT_EQ(driver.Run(owner, 'E', 1, "YOLT PX210", eFormatFat), eFormatNotDone);
    ASSERT_NE(seen.box, nullptr);
    EXPECT_EQ(seen.held, seen.box) << "the latest activated window is held";
    EXPECT_EQ(FormatDriver().hook, nullptr);
    EXPECT_EQ(FormatDriver().dialog, nullptr);
    EXPECT_TRUE(IsWindowEnabled(ownerCheck)) << "the owner, activated again, was not taken for the dialog";
    DestroyWindow(owner);
}

}  // namespace
