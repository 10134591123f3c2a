// The udev endpoint system against a mocked kernel (a umockdev testbed): sound cards of USB
// microphones present at start, plugged and unplugged while it watches, and foreign cards.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/endpoints/udev_endpoints.h"
#include "support/gate.h"
#include "support/mock_kernel.h"

namespace qm::endpoints {
namespace {

using testing::MockKernel;

// What the device manager does with endpoint news: it asks for the endpoint's container id on
// the notifying thread. Each piece of news is kept with the answer it got. The answer to a
// removal is asked for once `removals` lets it pass: on real hardware the card's sysfs entry
// is gone by the time its removal is read.
class AskingListener final : public EndpointListener {
  public:
    struct News {
        std::string endpoint;
        std::uint32_t state = 0;  // 0 for "added"
        std::optional<sdk::Guid> containerId;
    };

    explicit AskingListener(EndpointSystem& system) : system_(system) {}

    testing::Gate removals;

    void OnDeviceAdded(const std::string& endpointId) override { record(endpointId, 0); }
    void OnDeviceStateChanged(const std::string& endpointId, std::uint32_t state) override {
        record(endpointId, state);
    }

    // The news once `count` pieces have come (waiting at most five seconds for them).
    std::vector<News> await(std::size_t count) {
        std::unique_lock lock(mutex_);
        cv_.wait_for(lock, std::chrono::seconds(5), [&] { return news_.size() >= count; });
        return news_;
    }

  private:
    void record(const std::string& endpointId, std::uint32_t state) {
        if (state == DEVICE_STATE_NOTPRESENT)
            removals.pass();
        const auto id = system_.containerIdOfEndpoint(endpointId);
        std::lock_guard guard(mutex_);
        news_.push_back({endpointId, state, id});
        cv_.notify_all();
    }

    EndpointSystem& system_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<News> news_;
};

const sdk::Guid kSn1001 = usbDeviceContainerId("10C4", "EAB0", "SN1001");

TEST(UdevEndpoints, CardPresentAtStartIsAnsweredWhenItLeaves) {
    MockKernel kernel;
    const auto microphone = kernel.addMicrophone(2, "SN1001");
    UdevEndpoints endpoints;
    ASSERT_TRUE(endpoints.available());
    AskingListener listener(endpoints);
    endpoints.setListener(&listener);
    EXPECT_EQ(endpoints.containerIdOfEndpoint(microphone.card), kSn1001);

    listener.removals.close();
    kernel.unplug(microphone);
    listener.removals.open();
    const auto news = listener.await(1);
    ASSERT_EQ(news.size(), 1u);
    EXPECT_EQ(news[0].endpoint, microphone.card);
    EXPECT_EQ(news[0].state, DEVICE_STATE_NOTPRESENT);
    EXPECT_EQ(news[0].containerId, kSn1001) << "the card's sysfs entry is gone by now";
    endpoints.setListener(nullptr);
}

TEST(UdevEndpoints, CardPluggedAndUnpluggedWhileWatching) {
    MockKernel kernel;
    UdevEndpoints endpoints;
    AskingListener listener(endpoints);
    endpoints.setListener(&listener);
    const auto microphone = kernel.addMicrophone(3, "SN1001");
    ASSERT_EQ(listener.await(2).size(), 2u) << "added, then active";
    listener.removals.close();
    kernel.unplug(microphone);
    listener.removals.open();
    const auto news = listener.await(3);
    endpoints.setListener(nullptr);
    ASSERT_EQ(news.size(), 3u);
    EXPECT_EQ(news[0].state, 0u) << "added";
    EXPECT_EQ(news[1].state, DEVICE_STATE_ACTIVE);
    EXPECT_EQ(news[2].state, DEVICE_STATE_NOTPRESENT);
    for (const auto& piece : news) {
        EXPECT_EQ(piece.endpoint, microphone.card);
        EXPECT_EQ(piece.containerId, kSn1001) << "news of state " << piece.state;
    }
    EXPECT_FALSE(endpoints.containerIdOfEndpoint(microphone.card)) << "forgotten once gone";
}

TEST(UdevEndpoints, ForeignCardsHaveNoContainerId) {
    MockKernel kernel;
    const std::string present = kernel.addForeignCard(0);
    UdevEndpoints endpoints;
    AskingListener listener(endpoints);
    endpoints.setListener(&listener);
    const std::string plugged = kernel.addForeignCard(1);
    ASSERT_EQ(listener.await(2).size(), 2u);
    kernel.removeForeignCard(present);
    const auto news = listener.await(3);
    endpoints.setListener(nullptr);
    ASSERT_EQ(news.size(), 3u);
    EXPECT_EQ(news[0].endpoint, plugged);
    EXPECT_EQ(news[2].endpoint, present);
    EXPECT_EQ(news[2].state, DEVICE_STATE_NOTPRESENT);
    for (const auto& piece : news)
        EXPECT_FALSE(piece.containerId);
    EXPECT_FALSE(endpoints.containerIdOfEndpoint("/sys/no/such/card"));
}

TEST(UdevEndpoints, CardAndBridgeOfOneUsbDeviceShareTheContainerId) {
    // The card's USB parent reports lower-case ids; the bridge library reports upper case.
    const auto card = containerIdFromUsbAttributes("10c4", "eab0", "SN1002", "/devices/usb1/1-2");
    ASSERT_TRUE(card.has_value());
    EXPECT_EQ(*card, usbDeviceContainerId("10C4", "EAB0", "SN1002"));
    UdevEndpoints endpoints;
    EXPECT_EQ(endpoints.usbContainerId("10C4", "EAB0", "SN1002"), card->toBracedString());
}

TEST(UdevEndpoints, DevicesWithoutSerialUseTheirPathAndNonUsbCardsHaveNone) {
    const auto a = containerIdFromUsbAttributes("046d", "0a44", "", "/devices/usb1/1-3");
    const auto b = containerIdFromUsbAttributes("046d", "0a44", "", "/devices/usb1/1-4");
    ASSERT_TRUE(a && b);
    EXPECT_NE(*a, *b);
    EXPECT_FALSE(containerIdFromUsbAttributes("", "", "", "/devices/pci0000:00").has_value());
}

TEST(UdevEndpoints, OnlyPlainSysfsPathsOfUsbDevicesGiveAContainerId) {
    EXPECT_FALSE(containerIdOfSysfsDevice("/devices/no/such/card"));
    EXPECT_FALSE(containerIdOfSysfsDevice("/devices/virtual/net/lo")) << "not on USB";
    EXPECT_FALSE(containerIdOfSysfsDevice("/devices/../../etc"));
    EXPECT_FALSE(containerIdOfSysfsDevice(""));
}

}  // namespace
}  // namespace qm::endpoints
