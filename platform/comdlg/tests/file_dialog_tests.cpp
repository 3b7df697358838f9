// The file-open dialog on a temporary machine: browsing, the filter, the default extension, the
// must-exist and read-only flags, the full path returned, and timers ticking while it is up.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "platform/comdlg/commdlg.h"
#include "platform/display/session.h"
#include "platform/machine/testing/temp_machine.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/messagebox.h"

using yolt::display::Session;
using yolt::machine::TempMachine;

namespace {

constexpr char kFilter[] = "Firmware Files (*.kvu)\0*.kvu\0All Files (*.*)\0*.*\0";

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(machine.DriveFolder('C') / "Packages" / "Old");
        std::ofstream(machine.DriveFolder('C') / "Packages" / "px210.kvu") << "cab";
        std::ofstream(machine.DriveFolder('C') / "Packages" / "notes.txt") << "text";
    }

    OPENFILENAMEA Open(DWORD flags)
    {
        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.lpstrFilter = kFilter;
        ofn.lpstrFile = m_file;
        ofn.nMaxFile = sizeof m_file;
        ofn.lpstrDefExt = "kvu";
        ofn.lpstrInitialDir = "C:\\Packages";
        ofn.Flags = flags;
        std::strcpy(m_file, "*.kvu");
        return ofn;
    }

    // The entries of the folders-and-files list.
    static std::vector<std::string> Items()
    {
        HWND list = GetDlgItem(yolt::comdlg::OpenFileDialog(), yolt::comdlg::IdItems);
        std::vector<std::string> items;
        int count = int(SendMessageA(list, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[260] = {};
            SendMessageA(list, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
            items.push_back(text);
        }
        return items;
    }

    TempMachine machine;
    Session session{machine.Shared()};
    char m_file[MAX_PATH] = {};
};

}  // namespace

TEST_F(FileDialogTest, ListsFoldersAndMatchingFilesAndReturnsTheFullPath)
{
    OPENFILENAMEA ofn = Open(OFN_HIDEREADONLY | OFN_FILEMUSTEXIST);
    session
        .Then([&] {
            EXPECT_EQ(Items(), (std::vector<std::string>{"[..]", "[Old]", "px210.kvu"}));
            HWND readOnly = GetDlgItem(yolt::comdlg::OpenFileDialog(), yolt::comdlg::IdReadOnly);
            EXPECT_FALSE(IsWindowVisible(readOnly)) << "OFN_HIDEREADONLY";
            // The default extension completes a name typed without one.
            yolt::comdlg::ChooseFile(u"px210");
        });
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_STREQ(m_file, "C:\\Packages\\px210.kvu");
    EXPECT_EQ(ofn.nFileOffset, 12);
    EXPECT_EQ(ofn.nFileExtension, 18);
    EXPECT_TRUE(session.Failures().empty());
}

TEST_F(FileDialogTest, AMissingFileIsRefusedAndTheDialogStays)
{
    OPENFILENAMEA ofn = Open(OFN_HIDEREADONLY | OFN_FILEMUSTEXIST);
    session.Then([] { yolt::comdlg::ChooseFile(u"C:\\Packages\\px999.kvu"); })
        .ExpectBox(u"px999.kvu\nFile not found.\nCheck the file name and try again.")
        .Answer(IDOK)
        .Then([] { EXPECT_NE(yolt::comdlg::OpenFileDialog(), nullptr); })
        .Then([] { yolt::comdlg::ChooseFile(u"C:\\Nowhere\\a.kvu"); })
        .ExpectBox(u"C:\\Nowhere\\a.kvu\nPath does not exist.\nCheck the path and try again.")
        .Answer(IDOK)
        .Then([] { yolt::comdlg::CancelFileDialog(); });
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_TRUE(session.Failures().empty());
}

TEST_F(FileDialogTest, BrowsesIntoFoldersAndChangesTheFilter)
{
    OPENFILENAMEA ofn = Open(OFN_FILEMUSTEXIST);
    session
        .Then([&] {
            HWND dialog = yolt::comdlg::OpenFileDialog();
            EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, yolt::comdlg::IdReadOnly)));
            // The second filter lists every file.
            SendDlgItemMessageA(dialog, yolt::comdlg::IdFileType, CB_SETCURSEL, 1, 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(yolt::comdlg::IdFileType, CBN_SELCHANGE), 0);
            EXPECT_EQ(Items(), (std::vector<std::string>{"[..]", "[Old]", "notes.txt", "px210.kvu"}));
            yolt::comdlg::ChooseFile(u"Old");
        })
        .Then([&] {
            EXPECT_EQ(Items(), (std::vector<std::string>{"[..]"}));
            yolt::comdlg::ChooseFile(u"..\\notes.txt");
        });
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_STREQ(m_file, "C:\\Packages\\notes.txt");
    EXPECT_EQ(ofn.nFilterIndex, 2u);
    EXPECT_FALSE(ofn.Flags & OFN_READONLY);
}

TEST_F(FileDialogTest, TimersKeepTickingWhileItIsUp)
{
    int ticks = 0;
    static int* counter = nullptr;
    counter = &ticks;
    UINT_PTR timer = SetTimer(nullptr, 0, 2000, [](HWND, UINT, UINT_PTR, DWORD) { ++*counter; });
    OPENFILENAMEA ofn = Open(OFN_HIDEREADONLY);
    session.Wait(4500).Then([] { yolt::comdlg::CancelFileDialog(); });
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    KillTimer(nullptr, timer);
    EXPECT_EQ(ticks, 2);
}
