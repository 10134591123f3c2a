#include <gtest/gtest.h>

#include "common/runtime/virtual_clock.h"
#include "sim/virtual_rig.h"

namespace qm::sim {
namespace {

class RecordingListener : public endpoints::EndpointListener {
public:
    void OnDeviceAdded(const std::string& id) override { events.push_back("added " + id); }
    void OnDeviceStateChanged(const std::string& id, std::uint32_t state) override {
        events.push_back("state " + std::to_string(state) + " " + id);
    }
    std::vector<std::string> events;
};

TEST(VirtualRig, BridgeAndEndpointAppearAndVanishTogether) {
    VirtualClock clock;
    VirtualRig rig(clock);
    RecordingListener listener;
    rig.endpoints().setListener(&listener);
    const std::string ep = VirtualRig::endpointIdOf("SN1");

    auto mic = rig.plug("Cedar", "SN1");
    EXPECT_EQ(listener.events, (std::vector<std::string>{"added " + ep, "state 1 " + ep}));
    EXPECT_EQ(rig.bus().plugged().size(), 1u);
    EXPECT_EQ(rig.endpoints().containerIdOfEndpoint(ep), mic->identity().containerId);
    EXPECT_EQ(rig.endpoints().usbContainerId("10c4", "eab0", "SN1"),
              mic->identity().containerId.toBracedString())
        << "hexadecimal ids compare without case";

    listener.events.clear();
    ASSERT_TRUE(rig.unplug("SN1"));
    EXPECT_EQ(listener.events, (std::vector<std::string>{"state 4 " + ep}));
    EXPECT_TRUE(rig.bus().plugged().empty());
    EXPECT_TRUE(rig.endpoints().usbContainerId("10C4", "EAB0", "SN1").has_value())
        << "the system remembers a USB device it has seen";

    listener.events.clear();
    EXPECT_EQ(rig.plug("Cedar", "SN1"), mic) << "the same microphone comes back";
    EXPECT_EQ(listener.events, (std::vector<std::string>{"state 1 " + ep}));
    EXPECT_FALSE(rig.unplug("nobody"));
    rig.endpoints().setListener(nullptr);
}

TEST(VirtualRig, ForeignEndpointHasNoBridge) {
    VirtualClock clock;
    VirtualRig rig(clock);
    const std::string ep = rig.plugForeignEndpoint("webcam");
    EXPECT_TRUE(rig.bus().plugged().empty());
    const auto id = rig.endpoints().containerIdOfEndpoint(ep);
    ASSERT_TRUE(id.has_value());
    EXPECT_EQ(*id, endpoints::usbDeviceContainerId("046d", "0a44", "webcam"));
    rig.unplugForeignEndpoint(ep);
    EXPECT_EQ(rig.endpoints().state(ep), endpoints::DEVICE_STATE_NOTPRESENT);
}

TEST(ContainerId, SameUsbDeviceSameIdWhateverTheCase) {
    EXPECT_EQ(endpoints::usbDeviceContainerId("10c4", "eab0", "SN1"),
              endpoints::usbDeviceContainerId("10C4", "EAB0", "SN1"));
    EXPECT_NE(endpoints::usbDeviceContainerId("10C4", "EAB0", "SN1"),
              endpoints::usbDeviceContainerId("10C4", "EAB0", "sn1"))
        << "serials are kept as they are";
}

}  // namespace
}  // namespace qm::sim
