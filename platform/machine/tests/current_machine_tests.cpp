#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/machine/machine_error.h"
#include "platform/machine/simulated_machine.h"
#include "platform/machine/testing/temp_machine.h"

using namespace yolt::machine;

namespace {
// Sets environment variables for one test and puts the old values back.
class ScopedEnvironment {
public:
    void Set(const char* name, const char* value)
    {
        const char* old = std::getenv(name);
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnvironment()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
        SetCurrentMachine(nullptr);
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};
}  // namespace

TEST(CurrentMachine, CreatesTheDemonstrationMachineOnFirstUse)
{
    TempMachine scratch;  // only for its folder
    auto data = scratch.Folder() / "data";
    ScopedEnvironment environment;
    environment.Set("YOLT_MACHINE", nullptr);
    environment.Set("XDG_DATA_HOME", data.c_str());
    SetCurrentMachine(nullptr);

    Machine& machine = CurrentMachine();
    EXPECT_TRUE(std::filesystem::exists(data / "yolt" / "machine" / "machine.json"));
    EXPECT_EQ(machine.Version().major, 5u);
    EXPECT_EQ(machine.Version().minor, 1u);
    EXPECT_EQ(machine.Version().csdVersion, "Service Pack 2");
    EXPECT_EQ(machine.FindDrive('C')->kind, DriveKind::Fixed);
    EXPECT_EQ(machine.StorageIdentityOf('E')->product, "PX210           ");
    EXPECT_EQ(machine.UsbDevices().at(0).deviceId, "USB\\VID_5E93&PID_1001\\0001");
    EXPECT_FALSE(machine.GetClock().IsVirtual());
    EXPECT_EQ(DefaultMachineFolder(), data / "yolt" / "machine");

    environment.Set("XDG_DATA_HOME", nullptr);
    environment.Set("HOME", "/home/someone");
    EXPECT_EQ(DefaultMachineFolder(), "/home/someone/.local/share/yolt/machine");
}

TEST(CurrentMachine, ReportsABadChoiceAndChangesNothing)
{
    TempMachine temp;
    temp.WriteDescription("{\n  \"drives\": [{\"letter\": \"C\"}, {\"letter\": \"C\"}]\n}\n");
    ScopedEnvironment environment;
    SetCurrentMachine(nullptr);

    environment.Set("YOLT_MACHINE", temp.Folder().c_str());
    try {
        CurrentMachine();
        ADD_FAILURE() << "opened";
    } catch (const MachineError& error) {
        EXPECT_EQ(std::string(error.what()), (temp.Folder() / "machine.json").string() + ":2: drive C: is declared twice");
    }
    std::ifstream in(temp.Folder() / "machine.json");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "{\n  \"drives\": [{\"letter\": \"C\"}, {\"letter\": \"C\"}]\n}\n");

    environment.Set("YOLT_MACHINE", "host");
    EXPECT_THROW(
        {
            try {
                CurrentMachine();
            } catch (const MachineError& error) {
                EXPECT_NE(std::string(error.what()).find("host"), std::string::npos);
                throw;
            }
        },
        MachineError);
}

TEST(TempMachine, InstallsItselfAndCleansUp)
{
    std::filesystem::path folder;
    {
        TempMachine temp("me", {{"WC110"}});
        folder = temp.Folder();
        EXPECT_EQ(std::string(std::getenv("YOLT_MACHINE")), folder.string());
        EXPECT_EQ(&CurrentMachine(), &temp.Machine());
        EXPECT_EQ(CurrentMachine().Version().minor, 90u);
    }
    EXPECT_FALSE(std::filesystem::exists(folder));
}
