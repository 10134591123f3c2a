#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A mocked kernel for tests of the Linux seams: a umockdev testbed in this process, on which
// USB microphones (a USB device 10c4:eab0 with a sound card and a hidraw node) and foreign sound
// cards come and go. The test program must run under umockdev-wrapper (umockdev_main.cpp).
struct _UMockdevTestbed;
struct _UMockdevIoctlBase;

namespace qm::testing {

class MockKernel {
  public:
    MockKernel();
    ~MockKernel();
    MockKernel(const MockKernel&) = delete;
    MockKernel& operator=(const MockKernel&) = delete;

    // The sysfs paths of a USB microphone: the device, its sound card, its hidraw node.
    struct Microphone {
        std::string usbDevice;
        std::string card;
        std::string hidraw;      // sysfs path of the hidraw device
        std::string hidrawNode;  // "/dev/hidrawN"
    };

    // Adds a microphone on USB port `port` (1..9) with the given serial and product. As on a
    // plug, udev monitors that exist get an "add" event for each of its devices.
    Microphone addMicrophone(int port, const std::string& serial,
                             const std::string& product = "Cedar");
    // A sound card that is not on USB.
    std::string addForeignCard(int number);
    // Sends the card's "remove" event, then takes the USB device with everything below it away:
    // after that the card's sysfs entry and its USB parent are gone, as after an unplug.
    void unplug(const Microphone& microphone);
    void removeForeignCard(const std::string& card);

    _UMockdevTestbed* testbed() const { return testbed_; }

  private:
    _UMockdevTestbed* testbed_;
};

// The chip behind a mocked hidraw node, as the hidraw driver passes a CP2114 on: it answers the
// report descriptor and device information requests and the version report (part 0x0E), keeps
// what the host sets by feature reports, takes the host's output reports from the node and
// sends input reports into it. Without it, every hidraw request on the node fails.
class MockCp2114 {
  public:
    MockCp2114(MockKernel& kernel, const std::string& node);
    ~MockCp2114();
    MockCp2114(const MockCp2114&) = delete;
    MockCp2114& operator=(const MockCp2114&) = delete;

    // Feature reports as the host set them (id first), and the ids of those it asked for.
    std::vector<std::vector<std::uint8_t>> featuresSet() const;
    std::vector<std::uint8_t> featuresAsked() const;
    // The next 64-byte output report the host wrote, waiting at most a second for it.
    std::optional<std::vector<std::uint8_t>> takeOutputReport();
    // An input report (id first), sent as 64 bytes.
    void sendInputReport(std::span<const std::uint8_t> report);
    // The chip goes away: the node's other end is closed, so the host's transfers fail.
    void disconnect();

  private:
    static int onIoctl(_UMockdevIoctlBase* handler, void* client, void* self);
    void handle(void* client);

    MockKernel& kernel_;
    const std::string node_;
    _UMockdevIoctlBase* handler_;
    int deviceFd_;
    mutable std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> set_;
    std::vector<std::uint8_t> asked_;
    std::vector<std::uint8_t> enable_ = {0x41, 0x00};
    std::vector<std::uint8_t> config_ = {0x50};
};

}  // namespace qm::testing
