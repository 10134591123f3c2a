#include "studio/shell/device_selection.h"

#include <charconv>
#include <cstdio>

#include "common/text/text.h"
#include "platform/endpoints/endpoint_system.h"
#include "studio/shell/device_groups.h"

namespace qm::studio {
namespace {

std::optional<unsigned> parseHex(const std::string& text) {
    unsigned value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        begin += 2;
    }
    const auto [ptr, error] = std::from_chars(begin, end, value, 16);
    if (error != std::errc() || ptr == begin || ptr != end || value > 0xFFFF) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<sdk::Guid> usbContainerIdOf(const std::string& vendorId, const std::string& productId,
                                          const std::string& serial) {
    const auto vendor = parseHex(vendorId);
    const auto product = parseHex(productId);
    if (!vendor || !product) {
        return std::nullopt;
    }
    char vendorText[8];
    char productText[8];
    std::snprintf(vendorText, sizeof vendorText, "%04X", *vendor);
    std::snprintf(productText, sizeof productText, "%04X", *product);
    return endpoints::usbDeviceContainerId(vendorText, productText, serial);
}

DeviceSelection::DeviceSelection(const StudioHooks& hooks) : hooks_(hooks) {}

bool DeviceSelection::isSelected(const std::string& serial) const {
    return selected_ != nullptr && text::asciiIEquals(info_.serial, serial);
}

ResultGuard DeviceSelection::guard() const {
    return [weak = std::weak_ptr<Ticket>(ticket_), ticket = *ticket_] {
        const auto current = weak.lock();
        return current != nullptr && *current == ticket;
    };
}

void DeviceSelection::selectNone() {
    select(nullptr, DeviceInfo{});
}

void DeviceSelection::select(DevicePtr device, const DeviceInfo& info) {
    ++*ticket_;
    if (hooks_.panels != nullptr) {
        hooks_.panels->setIdle();
    }
    if (hooks_.monitoring != nullptr) {
        hooks_.monitoring->setIdle();
    }
    if (hooks_.profiles != nullptr) {
        hooks_.profiles->clearList();
    }
    selected_ = std::move(device);
    info_ = selected_ != nullptr ? info : DeviceInfo{};
    endpoint_.reset();
    if (hooks_.monitoring != nullptr) {
        hooks_.monitoring->stopCapture();
    }
    if (selected_ == nullptr || !info_.identified) {
        return;
    }

    const auto container = usbContainerIdOf(info_.vendorId, info_.productId, info_.serial);
    if (!container || hooks_.endpoints == nullptr) {
        return;
    }
    endpoint_ = hooks_.endpoints->captureEndpointFor(*container);
    if (!endpoint_) {
        return;
    }

    if (hooks_.monitoring != nullptr) {
        hooks_.monitoring->fillOutputDevices();
    }
    if (hooks_.profiles != nullptr) {
        hooks_.profiles->fillList();
    }
    if (hooks_.panels != nullptr) {
        hooks_.panels->loadDevice(selected_, panelMaskOf(info_.name));
    }
    if (hooks_.monitoring != nullptr) {
        hooks_.monitoring->startCapture(*endpoint_);
    }
}

}  // namespace qm::studio
