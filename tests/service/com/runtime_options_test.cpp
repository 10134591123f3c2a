#include <gtest/gtest.h>

#include "service/com/runtime_options.h"

namespace qm::com {
namespace {

TEST(BusChoice, NamedBusesAndAddresses) {
    std::string error;
    EXPECT_EQ(parseBusChoice("system", error), (BusChoice{BusChoice::Kind::System, {}}));
    EXPECT_EQ(parseBusChoice("session", error), (BusChoice{BusChoice::Kind::Session, {}}));
    for (const char* address :
         {"unix:path=/run/dbus/system_bus_socket", "unix:abstract=/tmp/dbus-x,guid=0a1b",
          "tcp:host=localhost,port=4711", "unix:path=/tmp/a%20b",
          "autolaunch:", "unix:path=/tmp/one;tcp:host=127.0.0.1,port=1"}) {
        const auto bus = parseBusChoice(address, error);
        ASSERT_TRUE(bus.has_value()) << address << ": " << error;
        EXPECT_EQ(bus->kind, BusChoice::Kind::Address);
        EXPECT_EQ(bus->address, address);
        EXPECT_EQ(describeBus(*bus), address);
    }
}

TEST(BusChoice, WhatIsNoAddress) {
    for (const char* text :
         {"", "System", "SESSION", "unix", ":path=/x", "unix:path", "unix:=x", "unix:path=/tmp/a b",
          "unix:path=%2", "unix:path=%zz", "unix:path=/x,", "unix:path=/x;", "un ix:path=/x"}) {
        std::string error;
        EXPECT_FALSE(parseBusChoice(text, error).has_value()) << text;
        EXPECT_NE(error.find("is not system, session or a D-Bus address"), std::string::npos)
            << text;
    }
}

TEST(SimulateList, ModelsInTheirOwnSpellingAndSerialsAsGiven) {
    std::string error;
    const auto list = parseSimulateList(
        "alder:SN1001,CEDAR:sn-2,CP2114 usb-audio bridge:X.3,rowan:~!@#$%^&*()", error);
    ASSERT_TRUE(list.has_value()) << error;
    EXPECT_EQ(*list, (std::vector<SimulatedMicrophone>{{"Alder", "SN1001"},
                                                       {"Cedar", "sn-2"},
                                                       {"CP2114 USB-Audio Bridge", "X.3"},
                                                       {"Rowan", "~!@#$%^&*()"}}));
    const auto longest = parseSimulateList("Birch:" + std::string(126, 'S'), error);
    ASSERT_TRUE(longest.has_value()) << error;
}

TEST(SimulateList, ClearErrors) {
    struct Case {
        std::string text;
        const char* error;
    };
    const Case cases[] = {
        {"", "needs a list of model:serial pairs"},
        {"Alder", "\"Alder\" is not model:serial"},
        {"Alder:SN1,,Cedar:SN2", "\"\" is not model:serial"},
        {"Oak:SN1",
         "unknown model \"Oak\" (known: Alder, Birch, Cedar, Larch, Rowan, "
         "CP2114 USB-Audio Bridge)"},
        {"Alder:", "serial \"\" must be"},
        {"Alder:SN 1", "serial \"SN 1\" must be"},
        {"Alder:SN/1", "serial \"SN/1\" must be"},
        {"Alder:SN\\1", "serial \"SN\\1\" must be"},
        {"Alder:a:b", "serial \"a:b\" must be"},
        {"Alder:caf\xC3\xA9", "serial \"caf\xC3\xA9\" must be"},
        {"Alder:" + std::string(127, 'S'), "must be 1 to 126 printable ASCII characters"},
        {"Alder:SN1,Cedar:sn1", "serial \"sn1\" is given twice"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(parseSimulateList(c.text, error).has_value()) << c.text;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.text << ": " << error;
    }
}

}  // namespace
}  // namespace qm::com
