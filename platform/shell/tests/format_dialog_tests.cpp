#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/display/script.h"
#include "platform/display/session.h"
#include "platform/kernel/drives.h"
#include "platform/kernel/modules.h"
#include "platform/machine/testing/temp_machine.h"
#include "platform/shell/format_drive.h"
#include "platform/user/user.h"

using yolt::display::ChildInfo;
using yolt::display::Session;

namespace {

constexpr UINT kDriveE = 4;

const ChildInfo* Find(const std::vector<ChildInfo>& children, const std::u16string& text)
{
    for (const auto& c : children) {
        if (c.text == text)
            return &c;
    }
    return nullptr;
}

TEST(FormatDialog, LaysOutTheFamilysDialogAndPresetsItsOptions)
{
    struct Expected {
        std::u16string text;
        const char* className;
        DWORD type;  // BS_* for buttons
        bool checked;
    };
    struct Case {
        const char* system;
        UINT options;
        std::vector<Expected> controls;
    } cases[] = {
        {"98", 1,
            {{u"Format type", "Button", BS_GROUPBOX, false}, {u"Quick (erase)", "Button", BS_AUTORADIOBUTTON, false},
                {u"Full", "Button", BS_AUTORADIOBUTTON, true},
                {u"Copy system files only", "Button", BS_AUTORADIOBUTTON, false},
                {u"Other options", "Button", BS_GROUPBOX, false}, {u"No label", "Button", BS_AUTOCHECKBOX, false},
                {u"Display summary when finished", "Button", BS_AUTOCHECKBOX, false},
                {u"Copy system files", "Button", BS_AUTOCHECKBOX, false}, {u"Start", "Button", BS_PUSHBUTTON, false},
                {u"Close", "Button", BS_PUSHBUTTON, false}}},
        {"95", 0, {{u"Quick (erase)", "Button", BS_AUTORADIOBUTTON, true}, {u"Full", "Button", BS_AUTORADIOBUTTON, false}}},
        {"xp", 1,
            {{u"Format options", "Button", BS_GROUPBOX, false}, {u"Quick Format", "Button", BS_AUTOCHECKBOX, true},
                {u"Enable Compression", "Button", BS_AUTOCHECKBOX, false},
                {u"Create an MS-DOS startup disk", "Button", BS_AUTOCHECKBOX, false},
                {u"Start", "Button", BS_PUSHBUTTON, false}, {u"Close", "Button", BS_PUSHBUTTON, false}}},
        {"2000", 0, {{u"Quick Format", "Button", BS_AUTOCHECKBOX, false}}},
    };
    for (const Case& c : cases) {
        yolt::machine::TempMachine machine(c.system, {{"PX210", 'E'}});
        Session session(machine.Shared());
        std::vector<ChildInfo> children;
        std::vector<bool> checked;
        session.Then([&] {
            HWND dialog = yolt::shell::OpenFormatDialog();
            children = Session::Children(dialog);
            for (const auto& expected : c.controls) {
                const ChildInfo* child = Find(children, expected.text);
                checked.push_back(child && SendMessageA(child->window, BM_GETCHECK, 0, 0) == BST_CHECKED);
            }
            yolt::shell::PressFormatClose();
        });
        EXPECT_EQ(SHFormatDrive(nullptr, kDriveE, SHFMT_ID_DEFAULT, c.options), SHFMT_CANCEL) << c.system;
        ASSERT_EQ(checked.size(), c.controls.size()) << c.system;
        for (size_t i = 0; i < c.controls.size(); ++i) {
            const auto& expected = c.controls[i];
            const ChildInfo* child = Find(children, expected.text);
            ASSERT_NE(child, nullptr) << c.system << " lacks " << yolt::display::steps::Escape(expected.text);
            EXPECT_EQ(child->className, expected.className);
            EXPECT_EQ(child->style & BS_TYPEMASK, expected.type) << c.system;
            EXPECT_EQ(checked[i], expected.checked) << c.system << " " << yolt::display::steps::Escape(expected.text);
        }
        int lists = 0, edits = 0;
        for (const auto& child : children) {
            lists += child.className == "ComboBox";
            edits += child.className == "Edit";
        }
        EXPECT_EQ(lists, std::string(c.system) == "xp" || std::string(c.system) == "2000" ? 3 : 1) << c.system;
        EXPECT_EQ(edits, 1);
    }
}

// The file systems offered by the NT-family dialog for a drive of `capacity` bytes.
std::vector<std::string> FileSystems(uint64_t capacity)
{
    yolt::machine::TempMachine machine("xp");
    machine.Change([&](yolt::machine::MachineDocument& d) {
        yolt::machine::PlayerPlug plug("PX210", 'E');
        plug.capacity = capacity;
        d.Plug(plug);
    });
    Session session(machine.Shared());
    std::vector<std::string> names;
    session.Then([&] {
        for (const auto& child : Session::Children(yolt::shell::OpenFormatDialog())) {
            if (child.className != "ComboBox" || SendMessageA(child.window, CB_FINDSTRINGEXACT, 0, LPARAM("FAT")) == CB_ERR)
                continue;
            LRESULT count = SendMessageA(child.window, CB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < count; ++i) {
                char text[32] = "";
                SendMessageA(child.window, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
                names.push_back(text);
            }
        }
        yolt::shell::PressFormatClose();
    });
    SHFormatDrive(nullptr, kDriveE, SHFMT_ID_DEFAULT, 0);
    return names;
}

TEST(FormatDialog, OffersNtfsOnlyAbove32Megabytes)
{
    EXPECT_EQ(FileSystems(32ull << 20), (std::vector<std::string>{"FAT", "FAT32"}));
    EXPECT_EQ(FileSystems(64ull << 20), (std::vector<std::string>{"FAT", "FAT32", "NTFS"}));
}

TEST(FormatDialog, StartEmptiesTheDriveAndTakesTheChosenFileSystemAndLabel)
{
    struct Case {
        const char* system;
        const char* expectedFileSystem;
    } cases[] = {{"xp", "NTFS"}, {"98se", "FAT32"}};  // the 95 family keeps a FAT32 drive FAT32
    for (const Case& c : cases) {
        yolt::machine::TempMachine machine(c.system, {{"RQ210", 'E'}});
        std::filesystem::create_directories(machine.DriveFolder('E') / "Music");
        std::ofstream(machine.DriveFolder('E') / "Music" / "a.mp3") << "data";
        Session session(machine.Shared());
        session.Then([] {
            HWND dialog = yolt::shell::OpenFormatDialog();
            for (const auto& child : Session::Children(dialog)) {
                if (child.className == "Edit")
                    SetWindowTextA(child.window, "NEW LABEL");
                if (child.className == "ComboBox")
                    SendMessageA(child.window, CB_SELECTSTRING, WPARAM(-1), LPARAM("NTFS"));
            }
            yolt::shell::PressFormatStart();
        });
        EXPECT_EQ(SHFormatDrive(nullptr, kDriveE, SHFMT_ID_DEFAULT, 0), 0u) << c.system;
        EXPECT_TRUE(std::filesystem::is_empty(machine.DriveFolder('E'))) << c.system;
        char label[32] = "", fileSystem[32] = "";
        ASSERT_TRUE(GetVolumeInformationA("E:\\", label, sizeof label, nullptr, nullptr, nullptr, fileSystem, sizeof fileSystem));
        EXPECT_STREQ(label, "NEW LABEL");
        EXPECT_STREQ(fileSystem, c.expectedFileSystem) << c.system;
    }
}

TEST(FormatDialog, CloseEscapeAndBadDrivesFormatNothing)
{
    yolt::machine::TempMachine machine("xp", {{"PX210", 'E'}});
    std::ofstream(machine.DriveFolder('E') / "keep.txt") << "x";
    Session session(machine.Shared());
    session.Key(VK_ESCAPE);
    EXPECT_EQ(SHFormatDrive(nullptr, kDriveE, SHFMT_ID_DEFAULT, 0), SHFMT_CANCEL);
    EXPECT_EQ(SHFormatDrive(nullptr, 26, SHFMT_ID_DEFAULT, 0), SHFMT_ERROR);
    EXPECT_TRUE(std::filesystem::exists(machine.DriveFolder('E') / "keep.txt"));
    EXPECT_EQ(yolt::shell::OpenFormatDialog(), nullptr);
    EXPECT_FALSE(yolt::shell::PressFormatStart());
    EXPECT_FALSE(yolt::shell::FormatSimulatedDrive('Z', "FAT", "")) << "the host's root is never formatted";
}

TEST(FormatDialog, IsLoadedByNameUnlessTheMachineLacksIt)
{
    auto memory = std::make_shared<yolt::machine::MemoryMachine>();
    yolt::machine::SetCurrentMachine(memory);
    HMODULE shell = LoadLibraryA("shell32.dll");
    ASSERT_NE(shell, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(shell, "SHFormatDrive")), reinterpret_cast<void*>(&SHFormatDrive));
    FreeLibrary(shell);

    memory->missingFunctions.push_back({"shell32.dll", "SHFormatDrive"});
    yolt::machine::SetCurrentMachine(memory);
    shell = LoadLibraryA("shell32.dll");
    ASSERT_NE(shell, nullptr);
    EXPECT_EQ(GetProcAddress(shell, "SHFormatDrive"), nullptr);
    FreeLibrary(shell);
    memory->missingModules.push_back("shell32.dll");
    EXPECT_EQ(LoadLibraryA("shell32.dll"), nullptr);
    yolt::machine::SetCurrentMachine(nullptr);
}

TEST(FormatDialog, ScriptStepsPressStartAndClose)
{
    yolt::machine::TempMachine machine("xp", {{"PX210", 'E'}});
    Session session(machine.Shared());
    std::filesystem::path script = machine.Folder() / "format.script";
    std::ofstream(script) << "format close\nformat start\n";
    std::string error;
    ASSERT_TRUE(yolt::display::LoadScript(script, session.Presentation(), error)) << error;
    EXPECT_EQ(SHFormatDrive(nullptr, kDriveE, SHFMT_ID_DEFAULT, 0), SHFMT_CANCEL);
    EXPECT_EQ(SHFormatDrive(nullptr, kDriveE, SHFMT_ID_DEFAULT, 0), 0u);

    std::ofstream(script) << "format now\n";
    EXPECT_FALSE(yolt::display::LoadScript(script, session.Presentation(), error));
    EXPECT_NE(error.find("format takes start or close"), std::string::npos) << error;
}

}  // namespace
