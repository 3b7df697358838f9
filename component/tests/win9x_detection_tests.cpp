#include <gtest/gtest.h>

#include <string>

#include "component/detect/device_probe.h"
#include "component/detect/drive_walk.h"
#include "platform/base/bstr.h"
#include "platform/machine/testing/temp_machine.h"
#include "shared/platform_record.h"

namespace {

using yolt::machine::PlayerPlug;
using yolt::machine::TempMachine;

class Win9xDetection : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_osVersionRecord = {4, 10, 1};
        ResetConversionCodePageRule();
    }
    void TearDown() override
    {
        g_osVersionRecord = {};
        ResetConversionCodePageRule();
    }

    static bool Probe(const char16_t* root, KVXRModelType& model)
    {
        DeviceProbe probe;
        model = eMODEL_Unknown;
        return probe.IsPlayerDrive(root, &model);
    }
};

// Device keys of one PX210 (USB\VID_5E93&PID_1001\0001) as .reg text, with the odd parts chosen.
struct RawCase {
    const char* what;
    bool firstClass;         // the first device-interface class key exists
    int refCount;            // the interface keys' RefCount
    const char* scsiInstance;
    const char* letter;      // CurrentDriveLetterAssignment
    bool found;              // E:\ is recognised as a PX210
};

std::string RawKeys(const RawCase& c)
{
    std::string text = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Enum\\USB\\VID_5E93&PID_1001\\0001]\n\n";
    for (const char* cls : {"{a5dcbf10-6530-11d2-901f-00c04fb951ed}", "{9aac36e0-cc5d-11d5-b6f0-0050baecb8f0}"}) {
        if (!c.firstClass && cls[1] == 'a')
            continue;
        text += std::string("[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\DeviceClasses\\") + cls +
            "\\##?#USB#VID_5E93&PID_1001#0001#" + cls + "]\n";
        text += R"("DeviceInstance"="USB\\VID_5E93&PID_1001\\0001")" "\n";
        text += "\"RefCount\"=dword:0000000" + std::to_string(c.refCount) + "\n\n";
    }
    text += std::string("[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\YOLT____PX210___________\\") + c.scsiInstance + "]\n";
    text += std::string("\"CurrentDriveLetterAssignment\"=\"") + c.letter + "\"\n";
    return text;
}

}  // namespace

TEST_F(Win9xDetection, FindsPlayersThroughTheDeviceRegistry)
{
    TempMachine machine("98se", {PlayerPlug{"RQ210", 'H'}, PlayerPlug{"PX260", 'E'}});
    KVXRModelType model;
    EXPECT_TRUE(Probe(u"H:\\", model));
    EXPECT_EQ(model, eMODEL_RQ210);
    // Both models share one USB identity, and the table's first row for it wins.
    EXPECT_TRUE(Probe(u"E:\\", model));
    EXPECT_EQ(model, eMODEL_PX210);
    EXPECT_FALSE(Probe(u"C:\\", model));

    DeviceProbe probe;
    WCHAR root[260] = {};
    ASSERT_TRUE(FindFirstPlayer(probe, &model, root));
    EXPECT_EQ(std::u16string(root), u"E:\\");
}

TEST_F(Win9xDetection, UnpluggedPlayerKeepsRecordsThatAreNotPresent)
{
    TempMachine machine("98se", {PlayerPlug{"RQ210", 'H'}, PlayerPlug{"PX210", 'E'}});
    ASSERT_TRUE(machine.Machine().DetachUsbDevice("USB\\VID_5E93&PID_1004\\0001"));

    DeviceProbe probe;
    KVXRModelType model = eMODEL_Unknown;
    EXPECT_FALSE(probe.FindRecordForDrive(u"H:\\", &model));
    int stale = 0;
    for (const auto& record : probe.Records()) {
        if (record->model == eMODEL_RQ210) {
            ++stale;
            EXPECT_EQ(record->present, 0);
            EXPECT_EQ(SysStringLen(record->driveRoot), 0u);
        }
    }
    EXPECT_EQ(stale, 2) << "rows 3 and 4 each keep a record of the unplugged RQ210";
    EXPECT_TRUE(Probe(u"E:\\", model)) << "the other player is still found";
}

TEST_F(Win9xDetection, MatchingRulesOnRawDeviceKeys)
{
    const RawCase cases[] = {
        {"instance key in the SCSI instance name", true, 1, "VID_5E93&PID_1001&0001&0", "E", true},
        {"drive letter stored in lower case", true, 1, "VID_5E93&PID_1001&0001&0", "e", true},
        {"product text as the second match", true, 1, "PX210&0", "E", true},
        {"no SCSI instance names the device", true, 1, "OTHER&0", "E", false},
        {"unplugged: interface count 0", true, 0, "VID_5E93&PID_1001&0001&0", "E", false},
        {"first interface class missing", false, 1, "VID_5E93&PID_1001&0001&0", "E", false},
        {"drive letter not a letter", true, 1, "VID_5E93&PID_1001&0001&0", "5", false},
    };
    TempMachine machine("98se", {PlayerPlug{"PX210", 'E'}});
    for (const auto& c : cases) {
        machine.Change([&](auto& document) { document.SetHardwareRegistry(RawKeys(c)); });
        KVXRModelType model;
        EXPECT_EQ(Probe(u"E:\\", model), c.found) << c.what;
        EXPECT_EQ(model, c.found ? eMODEL_PX210 : eMODEL_Unknown) << c.what;
    }
}
