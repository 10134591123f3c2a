#include "platform/endpoints/udev_endpoints.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace qm::endpoints {

struct UdevEndpoints::Impl {
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;
    int stopFd = -1;
    std::mutex mutex;
    // Container ids of the cards present, by sysfs path: listed at start and taken from each
    // "add", so that a removal, read when the card's sysfs entry is already gone, is answered.
    std::map<std::string, sdk::Guid> known;

    ~Impl() {
        if (monitor)
            udev_monitor_unref(monitor);
        if (context)
            udev_unref(context);
        if (stopFd >= 0)
            close(stopFd);
    }
};

namespace {

std::string attribute(udev_device* device, const char* name) {
    const char* value = udev_device_get_sysattr_value(device, name);
    return value ? value : "";
}

bool isSoundCard(udev_device* device) {
    const char* name = udev_device_get_sysname(device);
    return name && std::strncmp(name, "card", 4) == 0;
}

std::optional<sdk::Guid> containerIdOfCard(udev_device* card) {
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(card, "usb", "usb_device");
    if (!usb)
        return std::nullopt;
    const char* path = udev_device_get_devpath(usb);
    return containerIdFromUsbAttributes(attribute(usb, "idVendor"), attribute(usb, "idProduct"),
                                        attribute(usb, "serial"), path ? path : "");
}

// The sound cards present now with their container ids (cards not on USB have none).
std::map<std::string, sdk::Guid> presentCards(udev* context) {
    std::map<std::string, sdk::Guid> cards;
    udev_enumerate* listing = udev_enumerate_new(context);
    if (!listing)
        return cards;
    udev_enumerate_add_match_subsystem(listing, "sound");
    udev_enumerate_scan_devices(listing);
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(listing)) {
        udev_device* device =
            udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
        if (!device)
            continue;
        if (isSoundCard(device)) {
            if (auto id = containerIdOfCard(device))
                cards.emplace(udev_device_get_syspath(device), *id);
        }
        udev_device_unref(device);
    }
    udev_enumerate_unref(listing);
    return cards;
}

}  // namespace

std::optional<sdk::Guid> containerIdFromUsbAttributes(std::string_view vendorId,
                                                      std::string_view productId,
                                                      std::string_view serial,
                                                      std::string_view devicePath) {
    if (vendorId.empty() || productId.empty())
        return std::nullopt;
    return usbDeviceContainerId(vendorId, productId, serial.empty() ? devicePath : serial);
}

std::optional<sdk::Guid> containerIdOfSysfsDevice(std::string_view devicePath) {
    // The path comes from another program: only plain paths below /sys are looked up.
    const bool plain = std::all_of(devicePath.begin(), devicePath.end(), [](char c) {
        return static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7F;
    });
    if (devicePath.empty() || !plain || devicePath.find("..") != std::string_view::npos) {
        return std::nullopt;
    }
    std::string syspath(devicePath);
    if (!syspath.starts_with("/sys/")) {
        syspath = "/sys" + (syspath.front() == '/' ? syspath : "/" + syspath);
    }
    udev* context = udev_new();
    if (!context)
        return std::nullopt;
    std::optional<sdk::Guid> id;
    if (udev_device* device = udev_device_new_from_syspath(context, syspath.c_str())) {
        id = containerIdOfCard(device);
        udev_device_unref(device);
    }
    udev_unref(context);
    return id;
}

UdevEndpoints::UdevEndpoints() : impl_(std::make_unique<Impl>()) {
    impl_->context = udev_new();
    if (!impl_->context)
        return;
    impl_->monitor = udev_monitor_new_from_netlink(impl_->context, "udev");
    impl_->stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (!impl_->monitor || impl_->stopFd < 0 ||
        udev_monitor_filter_add_match_subsystem_devtype(impl_->monitor, "sound", nullptr) < 0 ||
        udev_monitor_enable_receiving(impl_->monitor) < 0) {
        return;
    }
    // Listed once the monitor receives, so that no card falls between the two.
    impl_->known = presentCards(impl_->context);
    thread_ = std::jthread([this](const std::stop_token& stop) { monitor(stop); });
}

UdevEndpoints::~UdevEndpoints() {
    if (thread_.joinable()) {
        thread_.request_stop();
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = write(impl_->stopFd, &one, sizeof one);
        thread_.join();
    }
}

bool UdevEndpoints::available() const {
    return thread_.joinable();
}

void UdevEndpoints::setListener(EndpointListener* listener) {
    std::lock_guard guard(dispatchMutex_);
    listener_ = listener;
}

std::optional<sdk::Guid> UdevEndpoints::containerIdOfEndpoint(const std::string& endpointId) {
    {
        std::lock_guard guard(impl_->mutex);
        if (const auto it = impl_->known.find(endpointId); it != impl_->known.end()) {
            return it->second;
        }
    }
    if (!impl_->context)
        return std::nullopt;
    udev_device* card = udev_device_new_from_syspath(impl_->context, endpointId.c_str());
    if (!card)
        return std::nullopt;
    auto id = containerIdOfCard(card);
    udev_device_unref(card);
    return id;
}

std::optional<std::string> UdevEndpoints::usbContainerId(std::string_view vendorId,
                                                         std::string_view productId,
                                                         std::string_view serial) {
    return usbDeviceContainerId(vendorId, productId, serial).toBracedString();
}

void UdevEndpoints::monitor(const std::stop_token& stop) {
    pollfd fds[2] = {{udev_monitor_get_fd(impl_->monitor), POLLIN, 0}, {impl_->stopFd, POLLIN, 0}};
    while (!stop.stop_requested()) {
        if (poll(fds, 2, -1) < 0)
            continue;  // interrupted by a signal
        if (fds[1].revents & POLLIN)
            break;
        if (!(fds[0].revents & POLLIN))
            continue;
        udev_device* device = udev_monitor_receive_device(impl_->monitor);
        if (!device)
            continue;
        if (isSoundCard(device)) {
            const std::string id = udev_device_get_syspath(device);
            const char* actionText = udev_device_get_action(device);
            const std::string action = actionText ? actionText : "";
            if (action == "add") {
                if (auto container = containerIdOfCard(device)) {
                    std::lock_guard guard(impl_->mutex);
                    impl_->known[id] = *container;
                }
                std::lock_guard guard(dispatchMutex_);
                if (listener_) {
                    listener_->OnDeviceAdded(id);
                    listener_->OnDeviceStateChanged(id, DEVICE_STATE_ACTIVE);
                }
            } else if (action == "remove") {
                std::lock_guard guard(dispatchMutex_);
                if (listener_)
                    listener_->OnDeviceStateChanged(id, DEVICE_STATE_NOTPRESENT);
                // Answered during the news; a card that comes back is added anew.
                std::lock_guard forget(impl_->mutex);
                impl_->known.erase(id);
            }
        }
        udev_device_unref(device);
    }
}

}  // namespace qm::endpoints
