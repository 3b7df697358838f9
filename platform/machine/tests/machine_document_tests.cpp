#include <gtest/gtest.h>

#include "platform/machine/machine_document.h"
#include "platform/machine/machine_error.h"
#include "platform/machine/named_systems.h"

using namespace yolt::machine;

namespace {
MachineDescription Parse(const std::string& text)
{
    return MachineDocument(text, "m/machine.json").Description();
}
}  // namespace

TEST(MachineDocument, ReportsMalformedDescriptionsWithFileAndLine)
{
    struct Case {
        const char* name;
        const char* text;
        int line;
        const char* reason;
    };
    const Case cases[] = {
        {"syntax", "{\n  \"system\": \"xp\",\n  \"clock\" \"real\"\n}\n", 3, "not valid JSON"},
        {"empty", "", 1, "not valid JSON"},
        {"trailing text", "{}\n{}\n", 2, "not valid JSON"},
        {"unknown model", "{\n  \"devices\": [\n    {\"drive\": \"E\",\n     \"model\": \"ZX999\"}\n  ]\n}\n", 4,
            "unknown player model \"ZX999\""},
        {"letter twice", "{\n  \"drives\": [{\"letter\": \"C\"}],\n  \"devices\": [\n    {\"model\": \"PX210\", \"drive\": \"c:\"}\n  ]\n}",
            4, "drive C: is declared twice"},
        {"unknown member", "{\n  \"drives\": [\n    {\"letter\": \"D\",\n     \"capcity\": 5}\n  ]\n}", 4,
            "unknown member \"capcity\""},
        {"member twice", "{\n  \"clock\": \"real\",\n  \"clock\": \"virtual\"\n}", 3, "member \"clock\" given twice"},
        {"unknown system", "{\n\n  \"system\": \"os2\"\n}", 3, "unknown system \"os2\""},
        {"host root declared", "{\"drives\": [\n{\"letter\": \"Z\"}]}", 2, "drive Z: is the host's root"},
        {"number as text", "{\"drives\": [{\"letter\": \"D\",\n \"capacity\": \"big\"}]}", 2, "must be a number"},
        {"negative number", "{\"locale\": {\n\"ansiCodePage\": -1\n}}", 2, "must be a non-negative number"},
        {"same device twice", "{\"devices\": [{\"model\": \"PX210\", \"instance\": \"1\"},\n{\"model\": \"PX210\", \"instance\": \"1\"}]}",
            2, "is given twice"},
        {"device without identity", "{\"devices\": [\n{\"drive\": \"E\"}]}", 2, "a device needs a \"model\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            Parse(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const MachineError& error) {
            EXPECT_EQ(error.File(), "m/machine.json");
            EXPECT_EQ(error.Line(), c.line);
            EXPECT_NE(error.Reason().find(c.reason), std::string::npos) << error.Reason();
            EXPECT_EQ(std::string(error.what()), "m/machine.json:" + std::to_string(c.line) + ": " + error.Reason());
            EXPECT_EQ(std::string(error.what()).find('\n'), std::string::npos);
        }
    }
}

TEST(MachineDocument, FillsPlayersFromTheirModels)
{
    auto d = Parse(R"({"system": "98se", "devices": [
        {"model": "px210", "drive": "e"},
        {"model": "PX310", "drive": "F"},
        {"model": "VN210"},
        {"model": "RQ310", "drive": "G", "vendor": "TOSHIBA", "product": "MK2004GAL", "busType": 3,
         "productId": "0x1F00", "status": "0x8", "problem": 10, "inUse": true, "label": "MUSIC"},
        {"vendorId": "0x0781", "productId": 21863, "drive": "H", "vendor": "SanDisk"}]})");

    ASSERT_EQ(d.devices.size(), 5u);
    EXPECT_EQ(d.devices[0].deviceId, "USB\\VID_5E93&PID_1001\\0001");
    EXPECT_EQ(d.devices[0].model, "PX210");
    EXPECT_EQ(d.devices[0].status, 0x0Au);  // driver loaded and started
    EXPECT_EQ(d.devices[0].drive, 'E');
    EXPECT_EQ(d.devices[2].deviceId, "USB\\VID_10CB&PID_8001\\0001");
    EXPECT_EQ(d.devices[2].drive, 0);
    EXPECT_EQ(d.devices[3].deviceId, "USB\\VID_5E93&PID_1F00\\0001");
    EXPECT_EQ(d.devices[3].status, 0x8u);
    EXPECT_EQ(d.devices[3].problem, 10u);
    EXPECT_TRUE(d.devices[3].inUse);
    EXPECT_EQ(d.devices[4].deviceId, "USB\\VID_0781&PID_5567\\0001");
    EXPECT_EQ(d.devices[4].model, "");

    auto identity = [&](char letter) {
        for (auto& [l, id] : d.identities) {
            if (l == letter)
                return id;
        }
        ADD_FAILURE() << "no identity for " << letter;
        return StorageIdentity{};
    };
    EXPECT_EQ(identity('E').vendor, "YOLT    ");
    EXPECT_EQ(identity('E').product, "PX210           ");
    EXPECT_EQ(identity('E').busType, 7);
    EXPECT_EQ(identity('F').vendor, "GENERIC ");
    EXPECT_EQ(identity('F').product, "USB MP3 DISK    ");
    EXPECT_EQ(identity('G').vendor, "TOSHIBA");  // given strings stay as written
    EXPECT_EQ(identity('G').product, "MK2004GAL");
    EXPECT_EQ(identity('G').busType, 3);
    EXPECT_EQ(identity('H').vendor, "SanDisk");

    ASSERT_NE(d.FindDrive('E'), nullptr);
    EXPECT_EQ(d.FindDrive('E')->kind, DriveKind::Removable);
    EXPECT_EQ(d.FindDrive('G')->kind, DriveKind::Fixed);  // a hard-disk player
    EXPECT_EQ(d.FindDrive('G')->label, "MUSIC");
    ASSERT_EQ(d.drives.size(), 4u);
    EXPECT_EQ(d.drives.front().letter, 'E');  // letter order
    EXPECT_EQ(d.drives.back().letter, 'H');
}

TEST(MachineDocument, NamedSystemsCarryRealisticVersions)
{
    struct Case {
        const char* name;
        DWORD platformId, major, minor, build;
        const char* csd;
        bool extended;
        BYTE productType;
    };
    const Case cases[] = {
        {"95", 1, 4, 0, 950, "", false, 1},
        {"95osr2", 1, 4, 0, 1111, " B", false, 1},
        {"98se", 1, 4, 10, 2222, " A", false, 1},
        {"ME", 1, 4, 90, 3000, "", false, 1},
        {"nt4", 2, 4, 0, 1381, "Service Pack 6", true, 1},
        {"2000", 2, 5, 0, 2195, "Service Pack 4", true, 1},
        {"xp", 2, 5, 1, 2600, "Service Pack 2", true, 1},
        {"2003", 2, 5, 2, 3790, "Service Pack 2", true, 3},
        {"10", 2, 10, 0, 19045, "", true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto v = Parse(std::string("{\"system\": \"") + c.name + "\"}").version;
        EXPECT_EQ(v.platformId, c.platformId);
        EXPECT_EQ(v.major, c.major);
        EXPECT_EQ(v.minor, c.minor);
        EXPECT_EQ(v.build, c.build);
        EXPECT_EQ(v.csdVersion, c.csd);
        EXPECT_EQ(v.extendedQueryWorks, c.extended);
        EXPECT_EQ(v.productType, c.productType);
    }
    EXPECT_EQ(NamedSystems().size(), 11u);
}

TEST(MachineDocument, SystemOverridesApplyOnTopOfTheNamedSystem)
{
    auto sp5 = Parse(R"({"system": {"name": "nt4", "servicePack": 5}})").version;
    EXPECT_EQ(sp5.csdVersion, "Service Pack 5");
    EXPECT_EQ(sp5.servicePackMajor, 5);
    EXPECT_FALSE(sp5.extendedQueryWorks);  // NT 4.0 has the extended query from service pack 6

    auto custom = Parse(R"({"system": {"name": "xp", "build": 2601, "extendedQuery": false, "productType": 2}})").version;
    EXPECT_EQ(custom.build, 2601u);
    EXPECT_FALSE(custom.extendedQueryWorks);
    EXPECT_EQ(custom.productType, 2);

    EXPECT_THROW(Parse(R"({"system": {"name": "98", "servicePack": 1}})"), MachineError);
}

TEST(MachineDocument, LocaleBringsItsCodePagesUnlessGiven)
{
    auto none = Parse("{}").locale;
    EXPECT_EQ(none.threadLocale, 0x409u);
    EXPECT_EQ(none.ansiCodePage, 1252u);
    EXPECT_EQ(none.localeAnsiCodePage, "1252");

    auto japanese = Parse(R"({"locale": {"lcid": "0x0411"}})").locale;
    EXPECT_EQ(japanese.ansiCodePage, 932u);
    EXPECT_EQ(japanese.localeAnsiCodePage, "932");

    auto odd = Parse(R"({"locale": {"lcid": 1049, "ansiCodePage": 1252, "localeAnsiCodePage": ""}})").locale;
    EXPECT_EQ(odd.threadLocale, 0x419u);
    EXPECT_EQ(odd.ansiCodePage, 1252u);
    EXPECT_EQ(odd.oemCodePage, 866u);
    EXPECT_EQ(odd.localeAnsiCodePage, "");  // the locale's query fails
}

TEST(MachineDocument, ReadsControllerBehaviourMissingModulesAndRawRegistry)
{
    auto d = Parse(R"({"clock": "virtual",
        "missingModules": ["SETUPAPI.DLL"],
        "missingFunctions": [{"module": "shell32.dll", "function": "SHFormatDrive"}],
        "volumeController": {"category48Unsupported": true, "statusFailure": "0xB0", "pendingLocks": 2},
        "hardwareRegistry": ["REGEDIT4", "", "[HKEY_LOCAL_MACHINE\\Enum\\USB]"]})");
    EXPECT_TRUE(d.virtualClock);
    EXPECT_EQ(d.missingModules, std::vector<std::string>{"SETUPAPI.DLL"});
    ASSERT_EQ(d.missingFunctions.size(), 1u);
    EXPECT_EQ(d.missingFunctions[0].second, "SHFormatDrive");
    EXPECT_TRUE(d.volumeController.available);
    EXPECT_TRUE(d.volumeController.category48Unsupported);
    EXPECT_EQ(d.volumeController.statusFailure, 0xB0u);
    EXPECT_EQ(d.volumeController.pendingLocks, 2);
    EXPECT_EQ(d.hardwareRegistry, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Enum\\USB]\n");
}

TEST(MachineDocument, PlugTakesTheFirstFreeLetterAndRefusesBadRequests)
{
    MachineDocument doc("xp");
    EXPECT_EQ(doc.Plug({"PX210"}), 'E');
    EXPECT_EQ(doc.Plug({"PX210"}), 'F');
    EXPECT_EQ(doc.Description().devices[1].deviceId, "USB\\VID_5E93&PID_1001\\0002");
    PlayerPlug big("RQ310", 'k');
    big.capacity = 30000000000ull;
    EXPECT_EQ(doc.Plug(big), 'K');
    EXPECT_EQ(doc.Description().FindDrive('K')->capacity, 30000000000ull);

    MachineDocument before = doc;
    EXPECT_THROW(doc.Plug({"ZX1"}), MachineError);
    EXPECT_THROW(doc.Plug({"PX210", 'C'}), MachineError);
    EXPECT_EQ(doc.Text(), before.Text());  // a refused edit changes nothing

    EXPECT_TRUE(doc.RemoveDevice("usb\\vid_5e93&pid_1001\\0001"));
    EXPECT_FALSE(doc.RemoveDevice("USB\\VID_5E93&PID_1001\\0001"));
    EXPECT_EQ(doc.Description().FindDrive('E'), nullptr);
    EXPECT_EQ(doc.Plug({"PX260"}), 'E');  // the freed letter is taken again
}

TEST(MachineDocument, EditsSurviveTheRoundTripThroughText)
{
    MachineDocument doc("98");
    PlayerPlug plug("WC140", 'G');
    plug.vendor = "YOLT";
    plug.busType = 7;
    plug.vendorId = 0x5E93;
    plug.productId = 0x1007;
    plug.status = 0x2;
    plug.inUse = true;
    doc.Plug(plug);
    doc.SetLocale(0x0405);
    doc.SetCodePage(1252);
    doc.SetDriveText('G', "label", "YOLT WC140");
    doc.SetSystem("ME");

    auto d = MachineDocument(doc.Text(), "x").Description();
    EXPECT_EQ(d.systemName, "me");
    EXPECT_EQ(d.locale.threadLocale, 0x405u);
    EXPECT_EQ(d.locale.ansiCodePage, 1252u);
    EXPECT_EQ(d.locale.localeAnsiCodePage, "1252");
    EXPECT_EQ(d.locale.oemCodePage, 852u);
    ASSERT_EQ(d.devices.size(), 1u);
    EXPECT_EQ(d.devices[0].status, 0x2u);
    EXPECT_TRUE(d.devices[0].inUse);
    EXPECT_EQ(d.FindDrive('G')->label, "YOLT WC140");
    EXPECT_EQ(d.identities.back().second.vendor, "YOLT");
}

TEST(MachineDocument, RemembersUnpluggedDevicesUntilTheyReturn)
{
    MachineDocument doc("98se");
    doc.Plug({"PX210", 'E'});
    doc.Plug({"RQ210", 'H'});
    ASSERT_TRUE(doc.RemoveDevice("USB\\VID_5E93&PID_1004\\0001"));
    ASSERT_TRUE(doc.RemoveDevice("USB\\VID_5E93&PID_1001\\0001"));

    // The memory survives the text and keeps the order of unplugging.
    MachineDocument reread(doc.Text(), "machine.json");
    const auto& former = reread.Description().unpluggedDevices;
    ASSERT_EQ(former.size(), 2u);
    EXPECT_EQ(former[0].deviceId, "USB\\VID_5E93&PID_1004\\0001");
    EXPECT_EQ(former[0].model, "RQ210");
    EXPECT_EQ(former[0].drive, 0);
    EXPECT_EQ(former[1].model, "PX210");

    // Plugging the same device again makes it attached, not remembered.
    reread.Plug({"PX260", 'F'});
    ASSERT_EQ(reread.Description().unpluggedDevices.size(), 1u);
    EXPECT_EQ(reread.Description().unpluggedDevices[0].model, "RQ210");
    EXPECT_EQ(MachineDocument(reread.Text(), "machine.json").Description().unpluggedDevices.size(), 1u);

    EXPECT_THROW(MachineDocument("{\"unpluggedDevices\": [{\"model\": \"PX210\"}]}", "m.json"), MachineError);
    EXPECT_THROW(MachineDocument("{\"unpluggedDevices\": [{\"deviceId\": \"USB\\\\X\\\\1\", \"model\": \"ZX1\"}]}", "m.json"),
        MachineError);
}
