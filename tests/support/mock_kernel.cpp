#include "support/mock_kernel.h"

#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <umockdev.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace qm::testing {
namespace {

void add(UMockdevTestbed* testbed, const std::string& description) {
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed, description.c_str(), &error)) {
        const std::string message = error != nullptr ? error->message : "unknown error";
        g_clear_error(&error);
        throw std::runtime_error("umockdev: " + message);
    }
}

}  // namespace

MockKernel::MockKernel() : testbed_(umockdev_testbed_new()) {}

MockKernel::~MockKernel() {
    g_object_unref(testbed_);
}

MockKernel::Microphone MockKernel::addMicrophone(int port, const std::string& serial,
                                                 const std::string& product) {
    const std::string n = std::to_string(port);
    const std::string usb = "/devices/pci0000:00/0000:00:14.0/usb1/1-" + n;
    const std::string hid = usb + "/1-" + n + ":1.3/0003:10C4:EAB0.000" + n;
    // Parents first; hidapi finds the HID device of a hidraw node through its "device" link.
    add(testbed_, "P: " + usb + "\nN: bus/usb/001/00" + n + "\nE: DEVNAME=/dev/bus/usb/001/00" + n +
                      "\nE: DEVTYPE=usb_device\n" +
                      "E: DRIVER=usb\nE: SUBSYSTEM=usb\nE: PRODUCT=10c4/eab0/100\n" +
                      "A: idVendor=10c4\nA: idProduct=eab0\nA: serial=" + serial +
                      "\nA: manufacturer=QUILLMERE\nA: product=" + product + "\n\n" + "P: " + usb +
                      "/1-" + n + ":1.0\nE: DEVTYPE=usb_interface\n" +
                      "E: DRIVER=snd-usb-audio\nE: SUBSYSTEM=usb\n\n" + "P: " + usb + "/1-" + n +
                      ":1.0/sound/card" + n + "\nE: SUBSYSTEM=sound\n" + "A: id=" + product +
                      "\nA: number=" + n + "\n\n" + "P: " + usb + "/1-" + n +
                      ":1.3\nE: DEVTYPE=usb_interface\n" +
                      "E: DRIVER=usbhid\nE: SUBSYSTEM=usb\n\n" + "P: " + hid +
                      "\nE: DRIVER=hid-generic\nE: HID_ID=0003:000010C4:0000EAB0\n" +
                      "E: HID_NAME=QUILLMERE " + product + "\nE: HID_UNIQ=" + serial +
                      "\nE: SUBSYSTEM=hid\n\n" + "P: " + hid + "/hidraw/hidraw" + n +
                      "\nN: hidraw" + n + "\nE: DEVNAME=/dev/hidraw" + n +
                      "\nE: SUBSYSTEM=hidraw\nL: device=../../../0003:10C4:EAB0.000" + n + "\n");
    return Microphone{"/sys" + usb, "/sys" + usb + "/1-" + n + ":1.0/sound/card" + n,
                      "/sys" + hid + "/hidraw/hidraw" + n, "/dev/hidraw" + n};
}

std::string MockKernel::addForeignCard(int number) {
    const std::string n = std::to_string(number);
    const std::string pci = "/devices/pci0000:00/0000:00:1f." + n;
    const std::string card = pci + "/sound/card" + n;
    add(testbed_, "P: " + pci + "\nE: DRIVER=snd_hda_intel\nE: SUBSYSTEM=pci\n" +
                      "A: vendor=0x8086\nA: device=0xa348\n\n" + "P: " + card +
                      "\nE: SUBSYSTEM=sound\nA: id=PCH\nA: number=" + n + "\n");
    return "/sys" + card;
}

void MockKernel::unplug(const Microphone& microphone) {
    umockdev_testbed_uevent(testbed_, microphone.card.c_str(), "remove");
    umockdev_testbed_remove_device(testbed_, microphone.usbDevice.c_str());
}

void MockKernel::removeForeignCard(const std::string& card) {
    umockdev_testbed_uevent(testbed_, card.c_str(), "remove");
    umockdev_testbed_remove_device(testbed_, card.c_str());
}

namespace {

// A vendor-defined collection with data reports both ways, as a CP2114 describes itself.
constexpr std::uint8_t kReportDescriptor[] = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01,
                                              0x95, 0x3F, 0x75, 0x08, 0x26, 0xFF, 0x00, 0x15, 0x00,
                                              0x09, 0x01, 0x81, 0x02, 0x09, 0x01, 0x91, 0x02, 0xC0};
constexpr std::size_t kReportLength = 64;

// The caller's buffer of an ioctl, `size` bytes of it.
std::uint8_t* argument(UMockdevIoctlClient* client, std::size_t size) {
    GError* error = nullptr;
    UMockdevIoctlData* data =
        umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, size, &error);
    g_clear_error(&error);
    return data != nullptr ? data->data : nullptr;
}

}  // namespace

MockCp2114::MockCp2114(MockKernel& kernel, const std::string& node)
    : kernel_(kernel), node_(node), handler_(umockdev_ioctl_base_new()) {
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&MockCp2114::onIoctl), this);
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(kernel_.testbed(), node_.c_str(), handler_, &error)) {
        const std::string message = error != nullptr ? error->message : "unknown error";
        g_clear_error(&error);
        throw std::runtime_error("umockdev: " + message);
    }
    deviceFd_ = umockdev_testbed_get_dev_fd(kernel_.testbed(), node_.c_str());
}

MockCp2114::~MockCp2114() {
    umockdev_testbed_detach_ioctl(kernel_.testbed(), node_.c_str(), nullptr);
    g_object_unref(handler_);
}

int MockCp2114::onIoctl(_UMockdevIoctlBase*, void* client, void* self) {
    static_cast<MockCp2114*>(self)->handle(client);
    return TRUE;
}

void MockCp2114::handle(void* opaque) {
    auto* client = static_cast<UMockdevIoctlClient*>(opaque);
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    const std::size_t size = _IOC_SIZE(request);
    long result = -1;
    int error = ENOTTY;
    if (request == HIDIOCGRDESCSIZE) {
        const int length = sizeof kReportDescriptor;
        if (std::uint8_t* out = argument(client, sizeof length)) {
            std::memcpy(out, &length, sizeof length);
            result = 0;
        }
    } else if (request == HIDIOCGRDESC) {
        if (auto* out = argument(client, sizeof(hidraw_report_descriptor))) {
            std::memcpy(out + sizeof(std::uint32_t), kReportDescriptor, sizeof kReportDescriptor);
            result = 0;
        }
    } else if (request == HIDIOCGRAWINFO) {
        const hidraw_devinfo info{3, 0x10C4, static_cast<std::int16_t>(0xEAB0)};  // BUS_USB
        if (std::uint8_t* out = argument(client, sizeof info)) {
            std::memcpy(out, &info, sizeof info);
            result = 0;
        }
    } else if (_IOC_TYPE(request) == 'H' && _IOC_NR(request) == 0x06 && size > 0) {
        if (std::uint8_t* report = argument(client, size)) {  // set feature
            std::lock_guard guard(mutex_);
            set_.emplace_back(report, report + size);
            if (report[0] == 0x41)
                enable_.assign(report, report + 2);
            else if (report[0] == 0x50)
                config_.assign(report, report + std::min<std::size_t>(size, 9));
            result = static_cast<long>(size);
        }
    } else if (_IOC_TYPE(request) == 'H' && _IOC_NR(request) == 0x07 && size > 0) {
        if (std::uint8_t* report = argument(client, size)) {  // get feature
            std::lock_guard guard(mutex_);
            asked_.push_back(report[0]);
            std::vector<std::uint8_t> answer;
            if (report[0] == 0x46)
                answer = {0x46, 0x0E, 0x01};
            else if (report[0] == 0x41)
                answer = enable_;
            else if (report[0] == 0x50)
                answer = config_;
            if (!answer.empty() && answer.size() <= size) {
                std::copy(answer.begin(), answer.end(), report);
                result = static_cast<long>(answer.size());
            } else {
                error = EINVAL;
            }
        }
    }
    umockdev_ioctl_client_complete(client, result, result < 0 ? error : 0);
}

std::vector<std::vector<std::uint8_t>> MockCp2114::featuresSet() const {
    std::lock_guard guard(mutex_);
    return set_;
}

std::vector<std::uint8_t> MockCp2114::featuresAsked() const {
    std::lock_guard guard(mutex_);
    return asked_;
}

std::optional<std::vector<std::uint8_t>> MockCp2114::takeOutputReport() {
    std::vector<std::uint8_t> report(kReportLength);
    std::size_t got = 0;
    while (got < report.size()) {
        pollfd ready{deviceFd_, POLLIN, 0};
        if (::poll(&ready, 1, 1000) <= 0)
            return std::nullopt;
        const ssize_t n = ::read(deviceFd_, report.data() + got, report.size() - got);
        if (n <= 0)
            return std::nullopt;
        got += static_cast<std::size_t>(n);
    }
    return report;
}

void MockCp2114::disconnect() {
    if (deviceFd_ >= 0)
        ::close(deviceFd_);
    deviceFd_ = -1;
}

void MockCp2114::sendInputReport(std::span<const std::uint8_t> report) {
    std::vector<std::uint8_t> padded(report.begin(), report.end());
    padded.resize(kReportLength, 0);
    const ssize_t written = ::write(deviceFd_, padded.data(), padded.size());
    if (written != static_cast<ssize_t>(padded.size()))
        throw std::runtime_error("umockdev: an input report could not be sent");
}

}  // namespace qm::testing
