#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "component/detect/device_probe.h"
#include "component/operations/volume_win9x.h"
#include "platform/kernel/vwin32.h"
#include "platform/machine/machine.h"
#include "platform/machine/testing/temp_machine.h"
#include "shared/platform_record.h"

namespace {

using yolt::machine::VolumeControllerBehaviour;

// One request as "EAX EBX ECX EDX", the medium-lock block as "[operation -> count]" in place of
// EDX, and " CF=<error>" when the device set the carry flag.
std::string Describe(const yolt::Vwin32Request& r)
{
    char text[128];
    char edx[32];
    if (r.hasBlock)
        std::snprintf(edx, sizeof edx, "[%d -> %d]", r.blockGiven[0], r.blockAnswered[1]);
    else
        std::snprintf(edx, sizeof edx, "%04X", r.given.reg_EDX);
    std::snprintf(text, sizeof text, "%04X %04X %04X %s", r.given.reg_EAX, r.given.reg_EBX, r.given.reg_ECX, edx);
    std::string line = text;
    if (r.given.reg_EDI || r.given.reg_ESI || r.given.reg_Flags)
        line += " (not zeroed)";
    if (r.answered.reg_Flags & CARRY_FLAG) {
        std::snprintf(text, sizeof text, " CF=%02X", r.answered.reg_EAX);
        line += text;
    }
    return line;
}

std::vector<std::string> Requests()
{
    std::vector<std::string> lines;
    for (const auto& request : yolt::Vwin32Requests())
        lines.push_back(Describe(request));
    return lines;
}

class Win9xEject : public ::testing::Test {
protected:
    void SetUp() override
    {
        machine = std::make_shared<yolt::machine::MemoryMachine>();
        machine->version.platformId = 1;
        machine->version.major = 4;
        machine->version.minor = 10;
        g_osVersionRecord = {4, 10, 1};
        yolt::machine::Drive drive;
        drive.letter = 'E';
        drive.kind = yolt::machine::DriveKind::Removable;
        machine->drives.push_back(drive);
        yolt::machine::UsbDevice player;
        player.deviceId = "USB\\VID_5E93&PID_1001\\0001";
        player.drive = 'E';
        player.model = "PX210";
        machine->devices.push_back(player);
        yolt::machine::SetCurrentMachine(machine);
        yolt::ClearVwin32Requests();
    }
    void TearDown() override
    {
        yolt::machine::SetCurrentMachine(nullptr);
        g_osVersionRecord = {};
    }

    std::shared_ptr<yolt::machine::MemoryMachine> machine;
};

const char kReset[] = "710D 0000 0001 0005";
const char kLock[] = "440D 0005 484A 0000";
const char kStatus[] = "440D 0005 0848 [2 -> 0]";
const char kEject[] = "440D 0005 0849 0000";
const char kUnlock[] = "440D 0005 486A 0000";
// After a successful eject the drive is gone with its device: both unlock attempts find no drive.
const char kUnlockGone48[] = "440D 0005 486A 0000 CF=0F";
const char kUnlockGone08[] = "440D 0005 086A 0000 CF=0F";

}  // namespace

TEST_F(Win9xEject, RegisterSequences)
{
    struct Case {
        const char* what;
        VolumeControllerBehaviour behaviour;
        std::vector<std::string> requests;
        EjectOutcome outcome;
    };
    auto with = [](auto change) {
        VolumeControllerBehaviour b;
        change(b);
        return b;
    };
    const Case cases[] = {
        {"no pending locks: the eject follows the status report", {}, {kReset, kLock, kStatus, kEject, kUnlockGone48, kUnlockGone08},
            EjectOutcome::Ejected},
        {"two pending locks are released one by one",
            with([](auto& b) { b.pendingLocks = 2; }),
            {kReset, kLock, "440D 0005 0848 [2 -> 2]", "440D 0005 0848 [1 -> 0]", "440D 0005 0848 [1 -> 0]", kEject,
                kUnlockGone48, kUnlockGone08},
            EjectOutcome::Ejected},
        {"status report fails with 0xB0 (volume not locked)",
            with([](auto& b) { b.statusFailure = 0xB0; }),
            {kReset, kLock, "440D 0005 0848 [2 -> 0] CF=B0", kEject, kUnlockGone48, kUnlockGone08}, EjectOutcome::Ejected},
        {"status report fails with 0x01 (not supported)",
            with([](auto& b) { b.statusFailure = 0x01; }),
            {kReset, kLock, "440D 0005 0848 [2 -> 0] CF=01", kEject, kUnlockGone48, kUnlockGone08}, EjectOutcome::Ejected},
        {"status report fails otherwise: no eject, but the unlock",
            with([](auto& b) { b.statusFailure = 0x05; }),
            {kReset, kLock, "440D 0005 0848 [2 -> 0] CF=05", kUnlock}, EjectOutcome::Refused},
        {"a refused medium unlock stops before the eject",
            with([](auto& b) {
                b.pendingLocks = 2;
                b.releaseRefused = true;
            }),
            {kReset, kLock, "440D 0005 0848 [2 -> 2]", "440D 0005 0848 [1 -> 0] CF=05", kUnlock}, EjectOutcome::Refused},
        {"category 0x48 unsupported, eject refused: the unlock takes 0x08 too",
            with([](auto& b) {
                b.category48Unsupported = true;
                b.ejectRefused = true;
            }),
            {kReset, "440D 0005 484A 0000 CF=01", "440D 0005 084A 0000", kStatus, "440D 0005 0849 0000 CF=B5",
                "440D 0005 486A 0000 CF=01", "440D 0005 086A 0000"},
            EjectOutcome::Refused},
        {"category 0x48 unsupported: the lock takes 0x08",
            with([](auto& b) { b.category48Unsupported = true; }),
            {kReset, "440D 0005 484A 0000 CF=01", "440D 0005 084A 0000", kStatus, kEject, kUnlockGone48, kUnlockGone08},
            EjectOutcome::Ejected},
        {"lock refused twice: no eject, no unlock",
            with([](auto& b) { b.lockRefused = true; }),
            {kReset, "440D 0005 484A 0000 CF=05", "440D 0005 084A 0000 CF=05"}, EjectOutcome::Refused},
        {"eject refused: the volume is still unlocked",
            with([](auto& b) { b.ejectRefused = true; }),
            {kReset, kLock, kStatus, "440D 0005 0849 0000 CF=B5", kUnlock}, EjectOutcome::Refused},
        {"a failed reset is ignored", with([](auto& b) { b.resetRefused = true; }),
            {"710D 0000 0001 0005 CF=05", kLock, kStatus, kEject, kUnlockGone48, kUnlockGone08}, EjectOutcome::Ejected},
        {"no volume controller: nothing reaches a device", with([](auto& b) { b.available = false; }), {},
            EjectOutcome::Refused},
    };
    for (const auto& c : cases) {
        SetUp();
        machine->volumeController = c.behaviour;
        EXPECT_EQ(EjectDriveWin9x('e'), c.outcome) << c.what;
        EXPECT_EQ(Requests(), c.requests) << c.what;
        bool detached = machine->devices.empty();
        EXPECT_EQ(detached, c.outcome == EjectOutcome::Ejected) << c.what;
    }
}

TEST_F(Win9xEject, SuccessfulEjectDetachesThePlayerFromTheMachine)
{
    yolt::machine::TempMachine temp("98se", {yolt::machine::PlayerPlug{"RQ210", 'H'}});
    yolt::ClearVwin32Requests();
    DeviceProbe before;
    ASSERT_TRUE(before.IsPlayerDrive(u"H:\\", nullptr));

    EXPECT_EQ(EjectDriveWin9x('h'), EjectOutcome::Ejected);
    EXPECT_EQ(Requests(), (std::vector<std::string>{"710D 0000 0001 0008", "440D 0008 484A 0000", "440D 0008 0848 [2 -> 0]",
                              "440D 0008 0849 0000", "440D 0008 486A 0000 CF=0F", "440D 0008 086A 0000 CF=0F"}));
    auto description = temp.Machine().Description();
    EXPECT_TRUE(description.devices.empty());
    EXPECT_EQ(description.FindDrive('H'), nullptr);
    ASSERT_EQ(description.unpluggedDevices.size(), 1u);
    DeviceProbe after;
    EXPECT_FALSE(after.IsPlayerDrive(u"H:\\", nullptr));
}
