#include <gtest/gtest.h>

#include <string>

#include "com_test_support.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "service/com/com_registration.h"
#include "service/com/process_exit.h"
#include "service/com/string_resources.h"

namespace qm::com {
namespace {

using servicehost::ControlSource;
using servicehost::ServiceState;
using testing::ModuleRig;

const std::string kUsage = std::string(loadString(IDS_USAGE)) + "\n";

TEST(ProcessExit, LowByteAndWhenTheResultIsPrinted) {
    EXPECT_EQ(processExitCode(sdk::S_OK), 0);
    EXPECT_EQ(processExitCode(sdk::E_INVALIDARG), 0x57);
    EXPECT_EQ(processExitCode(sdk::E_OUTOFMEMORY), 0x0E);
    EXPECT_EQ(processExitCode(2), 2);
    EXPECT_EQ(processExitCode(13), 13);
    // A failure must not look like success.
    EXPECT_EQ(processExitCode(static_cast<sdk::HRESULT>(0x80070100u)), 1);
    EXPECT_EQ(processExitCode(0x100), 1);

    EXPECT_EQ(resultLine(sdk::E_INVALIDARG), "qmMicHost: result 0x80070057");
    EXPECT_TRUE(printsResult(sdk::E_INVALIDARG, false));
    EXPECT_FALSE(printsResult(sdk::E_INVALIDARG, true));
    EXPECT_FALSE(printsResult(sdk::S_OK, false));
    EXPECT_FALSE(printsResult(2, false));  // the plain registry code: no message
}

TEST(ModuleStart, HelpShowsTheUsage) {
    for (const char* line :
         {"qmMicHost -help", "qmMicHost /?", "qmMicHost -H", "qmMicHost install"}) {
        ModuleRig rig;
        EXPECT_EQ(rig.module().Start(line), sdk::E_INVALIDARG) << line;
        EXPECT_EQ(rig.errors(), kUsage) << line;
        EXPECT_EQ(queryServiceRegistration(rig.store()), registry::ERROR_FILE_NOT_FOUND) << line;
        EXPECT_EQ(rig.script().made, 0) << line;
    }
}

TEST(ModuleStart, InstallInAnyCaseInstallsAndExits) {
    ModuleRig rig;
    EXPECT_EQ(rig.module().Start("qmMicHost -INSTALL"), sdk::S_OK);
    EXPECT_EQ(queryServiceRegistration(rig.store()), registry::ERROR_SUCCESS);
    EXPECT_TRUE(rig.installer().serviceExists());
    EXPECT_EQ(rig.script().made, 0);
    EXPECT_EQ(rig.host().registrationCount(), 0);
    EXPECT_EQ(rig.errors(), "");

    EXPECT_EQ(rig.module().Start("qmMicHost /UnregServer"), sdk::S_OK);
    EXPECT_EQ(queryServiceRegistration(rig.store()), registry::ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(rig.installer().serviceExists());
}

TEST(ModuleStart, NeverInstalledAndNoSwitchExitsWithTheRegistryError) {
    ModuleRig rig;
    EXPECT_EQ(rig.module().Start("qmMicHost"), 2);
    EXPECT_EQ(rig.errors(), "");
    EXPECT_EQ(rig.script().made, 0);
    EXPECT_EQ(rig.host().registrationCount(), 0);
    // -Service alone is no request to run either.
    EXPECT_EQ(rig.module().Start("qmMicHost -Service"), 2);
}

TEST(ModuleStart, ALocalServiceOfTheWrongTypeIsInvalidData) {
    ModuleRig rig;
    registry::Key key;
    ASSERT_EQ(rig.store().createKey(registry::Hive::ClassesRoot,
                                    "AppID\\{DCC305A1-68F8-45AE-B455-515142000986}",
                                    registry::Access::ReadWrite, key),
              registry::ERROR_SUCCESS);
    ASSERT_EQ(registry::writeDword(key, "LocalService", 1), registry::ERROR_SUCCESS);
    EXPECT_EQ(rig.module().Start("qmMicHost"), 13);
    EXPECT_EQ(rig.errors(), "");
}

TEST(ModuleStart, RegisteredRunsAsTheServiceUntilStopped) {
    ModuleRig rig;
    ASSERT_EQ(rig.module().Install(), sdk::S_OK);
    EXPECT_EQ(rig.module().Start("qmMicHost"), sdk::S_OK);
    EXPECT_EQ(rig.host().registeredSource(), ControlSource::Service);
    EXPECT_EQ(rig.host().states(),
              (std::vector<ServiceState>{ServiceState::StartPending, ServiceState::Running,
                                         ServiceState::StopPending, ServiceState::Stopped}));
    EXPECT_EQ(rig.module().currentState(), ServiceState::Stopped);
}

TEST(ModuleStart, LongOptionsReachTheRuntime) {
    ModuleRig rig;
    rig.environment()["QM_DBUS_ADDRESS"] = "unix:path=/ignored";
    EXPECT_EQ(rig.module().Start("qmMicHost -runapp --bus session --simulate Alder:SN1001,"
                                 "cedar:SN1002 --sound unix:/tmp/pa.sock"),
              sdk::S_OK);
    ASSERT_TRUE(rig.script().options.has_value());
    EXPECT_EQ(rig.script().options->bus, (BusChoice{BusChoice::Kind::Session, {}}));
    EXPECT_EQ(rig.script().options->simulate,
              (std::vector<SimulatedMicrophone>{{"Alder", "SN1001"}, {"Cedar", "SN1002"}}));
    EXPECT_EQ(rig.script().options->sound, "unix:/tmp/pa.sock");

    ModuleRig real;
    EXPECT_EQ(real.module().Start("qmMicHost -runapp --sound default"), sdk::E_INVALIDARG);
    EXPECT_EQ(real.errors(), "qmMicHost: --sound is for --simulate only\n");
}

TEST(ModuleStart, TheEnvironmentChoosesTheBusWhenTheCommandLineDoesnt) {
    ModuleRig rig;
    rig.environment()["QM_DBUS_ADDRESS"] = "unix:path=/tmp/private-bus";
    EXPECT_EQ(rig.module().Start("qmMicHost -runapp"), sdk::S_OK);
    ASSERT_TRUE(rig.script().options.has_value());
    EXPECT_EQ(rig.script().options->bus,
              (BusChoice{BusChoice::Kind::Address, "unix:path=/tmp/private-bus"}));
    EXPECT_TRUE(rig.script().options->simulate.empty());

    ModuleRig plain;
    EXPECT_EQ(plain.module().Start("qmMicHost -runapp"), sdk::S_OK);
    EXPECT_EQ(plain.script().options->bus, (BusChoice{BusChoice::Kind::System, {}}));
}

TEST(ModuleStart, ABadBusInTheEnvironmentStopsTheRunBeforeItStarts) {
    ModuleRig rig;
    rig.environment()["QM_DBUS_ADDRESS"] = "nowhere";
    EXPECT_EQ(rig.module().Start("qmMicHost -runapp"), sdk::E_INVALIDARG);
    EXPECT_EQ(rig.errors(),
              "qmMicHost: QM_DBUS_ADDRESS: \"nowhere\" is not system, session or a D-Bus address "
              "such as unix:path=/run/dbus/system_bus_socket\n");
    EXPECT_EQ(rig.script().made, 0);
    EXPECT_EQ(rig.host().registrationCount(), 0);

    ModuleRig silent;
    silent.environment()["QM_DBUS_ADDRESS"] = "nowhere";
    EXPECT_EQ(silent.module().Start("qmMicHost /silent -runapp"), sdk::E_INVALIDARG);
    EXPECT_EQ(silent.errors(), "");
}

TEST(ModuleStart, ABadLongOptionShowsItsErrorAndTheUsage) {
    ModuleRig rig;
    EXPECT_EQ(rig.module().Start("qmMicHost -runapp --simulate Oak:SN1"), sdk::E_INVALIDARG);
    EXPECT_EQ(rig.errors(),
              "qmMicHost: --simulate: unknown model \"Oak\" (known: Alder, Birch, Cedar, Larch, "
              "Rowan, CP2114 USB-Audio Bridge)\n" +
                  kUsage);
    EXPECT_EQ(rig.script().made, 0);
}

TEST(ModuleStart, AFailedRunIsTheProcessResult) {
    ModuleRig rig;
    rig.script().registerResult = sdk::E_ACCESSDENIED;
    EXPECT_EQ(rig.module().Start("qmMicHost -runapp"), sdk::E_ACCESSDENIED);
    EXPECT_EQ(rig.module().exitCode(), sdk::E_ACCESSDENIED);
    EXPECT_EQ(rig.host().states(),
              (std::vector<ServiceState>{ServiceState::StartPending, ServiceState::Stopped}));
}

TEST(ModuleStart, ControlsThatCantBeReceivedMeanNoRun) {
    ModuleRig rig;
    rig.host().setRegistrationFails(true);
    EXPECT_EQ(rig.module().Start("qmMicHost -runapp"), sdk::HRESULT_FROM_WIN32(1063));
    EXPECT_EQ(rig.script().made, 0);
    EXPECT_TRUE(rig.host().states().empty());
    EXPECT_NE(rig.errors().find("stop controls can't be received"), std::string::npos);
}

}  // namespace
}  // namespace qm::com
