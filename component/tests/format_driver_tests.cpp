// The component's copy of the format dialog driver: FormatDlg through the loaded component, and
// the copy's own parts (activation, message texts, string provider) linked into this program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "component/objects/component_state.h"
#include "component/objects/load_component_string.h"
#include "component_fixture.h"
#include "platform/base/errors.h"
#include "shared/platform_record.h"
#include "shared/tests/format_driver_fixture.h"

using namespace formattest;

namespace {

const std::u16string kBody =
    u"Not possible to open the Disk Format dialog\n\nOpen 'My Computer' and format the disk manually.\n\n";

class FormatDlg : public componenttest::ComponentTest {
protected:
    void Device(const std::string& system, const std::string& model, componenttest::Ref<IKVXRDevice>& device)
    {
        Start(system, {{model, 'E'}});
        componenttest::Ref<IKVXRDetect> detector;
        CreateDetector(detector);
        ASSERT_EQ(detector->GetDevice(0, device.Out()), S_OK);
    }
};

TEST_F(FormatDlg, PresetsTheDialogFromTheDeviceAndWritesItsLabel)
{
    struct Case {
        const char* model;
        std::string selected;
    } cases[] = {{"RQ210", "FAT32"}, {"RQ310", "FAT32"}, {"PX210", "FAT"}};
    for (const Case& c : cases) {
        std::string selected, label, written;
        bool listEnabled = true;
        {
            componenttest::Ref<IKVXRDevice> device;
            Device("xp", c.model, device);
            Session session(machine->Shared());
            session.Then([&] {
                auto children = Session::Children(yolt::shell::OpenFormatDialog());
                const ChildInfo* list = ChildOfClass(children, "ComboBox", 1);
                selected = SelectedText(list->window);
                listEnabled = IsWindowEnabled(list->window);
                label = yolt::display::steps::Escape(ChildOfClass(children, "Edit")->text);
                yolt::shell::PressFormatStart();
            });
            EXPECT_EQ(device->FormatDlg(1, GetCurrentThreadId(), 1, 0), S_OK) << c.model;
            char text[32] = "";
            GetVolumeInformationA("E:\\", text, sizeof text, nullptr, nullptr, nullptr, nullptr, 0);
            written = text;
        }
        EXPECT_EQ(selected, c.selected) << c.model;
        EXPECT_FALSE(listEnabled);
        EXPECT_EQ(label, std::string("YOLT ") + c.model);
        EXPECT_EQ(written, std::string("YOLT ") + c.model);
        TearDown();
        module = nullptr;
        apartment = false;
    }
}

TEST_F(FormatDlg, RefusesANullInstanceAndAnswersFalseWhenNotFormatted)
{
    componenttest::Ref<IKVXRDevice> device;
    Device("xp", "PX210", device);
    Session session(machine->Shared());
    EXPECT_EQ(device->FormatDlg(0, GetCurrentThreadId(), 1, 0), E_INVALIDARG);
    EXPECT_TRUE(session.Boxes().empty());
    session.Then([] { yolt::shell::PressFormatClose(); });
    EXPECT_EQ(device->FormatDlg(1, GetCurrentThreadId(), 1, 0), S_FALSE);
}

// The component's own parts, linked into this program, on a machine of their own.
class ComponentCopy : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetComponentStringProvider(nullptr);
        g_componentLocale = 0;
        g_osVersionRecord = OsVersionRecord{};
    }
};

TEST_F(ComponentCopy, TakesOnlyTheFirstActivatedWindow)
{
    DriverMachine m("xp");
    HWND owner = nullptr, ownerCheck = nullptr;
    MakeOwner(owner, ownerCheck);
    ScopedFakeShell fake(SHFMT_CANCEL, ShowDialogWithSummaryBox);
    SecondWindow seen;
    HWND formatDialog = nullptr;
    m.session.Then([&] { formatDialog = yolt::user::InnermostModalWindow(); });
    OpenSummaryBox(m.session, seen);
    FormatDialogDriver driver;
    EXPECT_EQ(driver.Run(reinterpret_cast<HINSTANCE>(1), GetCurrentThreadId(), owner, 'E', 1, "YOLT PX210", eFormatFat),
        eFormatNotDone);
    ASSERT_NE(seen.box, nullptr);
    EXPECT_EQ(seen.held, formatDialog) << "the box shown by the dialog is not taken";
    EXPECT_EQ(FormatDriver().hook, nullptr);
    EXPECT_TRUE(IsWindowEnabled(ownerCheck));
    DestroyWindow(owner);
}

// The message shown when the dialog cannot be opened, in each text form.
struct Message {
    std::u16string caption, text;
    HWND owner = nullptr;
};

Message WarningOn(const std::string& system, DWORD platformId, const char* label, bool missingShell = false)
{
    DriverMachine m(system);
    auto memory = std::make_shared<yolt::machine::MemoryMachine>();
    memory->version = m.machine.Machine().Version();
    if (missingShell)
        memory->missingModules.push_back("shell32.dll");
    yolt::machine::SetCurrentMachine(memory);
    ForgetFormatOsKind();
    g_osVersionRecord.platformId = platformId;
    HWND owner = CreateWindowExA(0, "Static", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    m.session.Answer(IDOK);
    FormatDialogDriver driver;
    driver.Run(reinterpret_cast<HINSTANCE>(1), GetCurrentThreadId(), owner, 'E', 0, label, eFormatFat);
    Message message;
    if (!m.session.Boxes().empty()) {
        message = {m.session.Boxes()[0].caption, m.session.Boxes()[0].text, m.session.Boxes()[0].owner};
        EXPECT_EQ(m.session.Boxes()[0].style & MB_ICONMASK, UINT(MB_ICONWARNING));
    }
    message.owner = message.owner == owner ? owner : nullptr;
    EXPECT_EQ(message.owner, owner) << "the box is owned by the owner window";
    DestroyWindow(owner);
    yolt::machine::SetCurrentMachine(m.machine.Shared());
    return message;
}

TEST_F(ComponentCopy, WarnsWithTheStringTableInTheFamilysTextForm)
{
    struct Case {
        const char* system;
        DWORD platformId;
        const char* label;
        bool missingShell;
        std::u16string line;
    } cases[] = {
        {"2003", 2, "YOLT PX210", false, u"Set volume label to: 'YOLT PX210'"},
        {"vista", 2, "", false, u"Leave volume name empty! "},
        {"me", 1, "YOLT PX210", true, u"Set volume label to: 'YOLT PX210'"},
        {"98", 1, "", true, u"Leave volume name empty! "},
    };
    for (const Case& c : cases) {
        Message message = WarningOn(c.system, c.platformId, c.label, c.missingShell);
        EXPECT_EQ(message.caption, u"Error") << c.system;
        EXPECT_EQ(yolt::display::steps::Escape(message.text), yolt::display::steps::Escape(kBody + c.line)) << c.system;
    }
}

// A string provider serving German texts, except the empty-label line.
class FakeProvider final : public IKVXRStringProvider {
public:
    STDMETHODIMP QueryInterface(REFIID, void** object) override
    {
        *object = this;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetLanguageCount(ULONG* count) override
    {
        *count = 1;
        return S_OK;
    }
    STDMETHODIMP GetString(ULONG locale, ULONG id, BSTR* text) override
    {
        static const std::map<ULONG, std::u16string> german = {{38200, u"Fehler"},
            {38201, u"Das Formatieren ist nicht m\u00f6glich.\n\n"}, {38202, u"%sBezeichnung: '%s'"}, {38203, u""}};
        asked.push_back(locale);
        auto it = german.find(id);
        *text = it == german.end() ? nullptr : SysAllocString(it->second.c_str());
        return *text ? S_OK : S_FALSE;
    }
    ULONG refs = 1;
    std::vector<ULONG> asked;
};

TEST_F(ComponentCopy, TakesTheProvidersTextsForTheLocaleAndFallsBackToTheTable)
{
    FakeProvider provider;
    SetComponentStringProvider(&provider);
    g_componentLocale = 0x407;
    Message message = WarningOn("2003", 2, "YOLT PX210");
    EXPECT_EQ(message.caption, u"Fehler");
    EXPECT_EQ(message.text, u"Das Formatieren ist nicht m\u00f6glich.\n\nBezeichnung: 'YOLT PX210'");
    EXPECT_EQ(provider.asked, (std::vector<ULONG>{0x407, 0x407, 0x407}));

    message = WarningOn("2003", 1, "");
    EXPECT_EQ(message.text, u"Das Formatieren ist nicht m\u00f6glich.\n\nLeave volume name empty! ")
        << "an empty text from the provider leaves the table's";

    g_componentLocale = 0;
    provider.asked.clear();
    message = WarningOn("2003", 2, "YOLT PX210");
    EXPECT_EQ(message.caption, u"Error");
    EXPECT_TRUE(provider.asked.empty()) << "locale 0 reads the string table alone";
    SetComponentStringProvider(nullptr);
    EXPECT_EQ(provider.refs, 1u);
}

TEST_F(ComponentCopy, LoadsTableTextsInBothFormsWithTheirByteLengths)
{
    DWORD bytes = 0;
    auto* narrow = static_cast<char*>(LoadComponentString(38200, 64, TRUE, &bytes, 0));
    ASSERT_NE(narrow, nullptr);
    EXPECT_STREQ(narrow, "Error");
    EXPECT_EQ(bytes, 5u);
    std::free(narrow);
    auto* wide = static_cast<WCHAR*>(LoadComponentString(38202, 128, FALSE, &bytes, 0));
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(std::u16string(wide), u"%sSet volume label to: '%s'");
    EXPECT_EQ(bytes, 27u * 2);
    std::free(wide);
    auto* cut = static_cast<char*>(LoadComponentString(38201, 8, TRUE, nullptr, 0));
    ASSERT_NE(cut, nullptr);
    EXPECT_STREQ(cut, "Not pos") << "the longest length includes the terminator";
    std::free(cut);
    EXPECT_EQ(LoadComponentString(38299, 64, TRUE, &bytes, 0), nullptr);
}

}  // namespace
