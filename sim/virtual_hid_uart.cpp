#include "sim/virtual_hid_uart.h"

#include <algorithm>
#include <cstring>

#include "common/text/text.h"

namespace qm::sim {

using namespace hiduart;

namespace {

bool isHidUartFamily(std::uint16_t vid, std::uint16_t pid) {
    return vid == kSiliconLabsVid && (pid == kCp2114Pid || pid == kCp2110Pid);
}

}  // namespace

VirtualHidUart::VirtualHidUart(Clock& clock) : clock_(clock) {}

std::shared_ptr<VirtualMicrophone> VirtualHidUart::plug(MicrophoneIdentity identity) {
    auto microphone = std::make_shared<VirtualMicrophone>(std::move(identity), clock_);
    plug(microphone);
    return microphone;
}

void VirtualHidUart::plug(const std::shared_ptr<VirtualMicrophone>& microphone) {
    microphone->setPlugged(true);
    std::lock_guard guard(mutex_);
    if (std::find(plugged_.begin(), plugged_.end(), microphone) == plugged_.end()) {
        plugged_.push_back(microphone);
    }
}

bool VirtualHidUart::unplug(const std::string& serial) {
    std::lock_guard guard(mutex_);
    auto it = std::find_if(plugged_.begin(), plugged_.end(),
                           [&](const auto& m) { return m->identity().serial == serial; });
    if (it == plugged_.end())
        return false;
    (*it)->setPlugged(false);
    plugged_.erase(it);
    return true;
}

std::shared_ptr<VirtualMicrophone> VirtualHidUart::find(const std::string& serial) const {
    std::lock_guard guard(mutex_);
    for (const auto& m : plugged_) {
        if (m->identity().serial == serial)
            return m;
    }
    return nullptr;
}

std::vector<std::shared_ptr<VirtualMicrophone>> VirtualHidUart::plugged() const {
    std::lock_guard guard(mutex_);
    return plugged_;
}

std::uint64_t VirtualHidUart::getStringCalls() const {
    std::lock_guard guard(mutex_);
    return getStringCalls_;
}

std::vector<std::shared_ptr<VirtualMicrophone>> VirtualHidUart::matching(std::uint16_t vid,
                                                                         std::uint16_t pid) const {
    std::vector<std::shared_ptr<VirtualMicrophone>> out;
    for (const auto& m : plugged_) {
        const auto& id = m->identity();
        const bool match = (vid == 0 && pid == 0) ? isHidUartFamily(id.vendorId, id.productId)
                                                  : (id.vendorId == vid && id.productId == pid);
        if (match)
            out.push_back(m);
    }
    return out;
}

void VirtualHidUart::copyString(const std::string& value, char* out) {
    const std::string_view cut = text::truncateUtf8Bytes(value, HID_UART_DEVICE_STRLEN - 1);
    std::memcpy(out, cut.data(), cut.size());
    out[cut.size()] = '\0';
}

std::string VirtualHidUart::stringOf(const MicrophoneIdentity& id, std::uint32_t kind,
                                     bool& known) {
    known = true;
    switch (kind) {
        case HID_UART_GET_VID_STR:
            return text::format("%04X", id.vendorId);
        case HID_UART_GET_PID_STR:
            return text::format("%04X", id.productId);
        case HID_UART_GET_PATH_STR:
            return "/dev/hidraw-virtual/" + id.serial;
        case HID_UART_GET_SERIAL_STR:
            return id.serial;
        case HID_UART_GET_MANUFACTURER_STR:
            return id.manufacturer;
        case HID_UART_GET_PRODUCT_STR:
            return id.product;
        default:
            known = false;
            return {};
    }
}

HID_UART_STATUS VirtualHidUart::GetNumDevices(std::uint32_t* numDevices, std::uint16_t vid,
                                              std::uint16_t pid) {
    if (numDevices == nullptr)
        return HID_UART_INVALID_PARAMETER;
    std::lock_guard guard(mutex_);
    *numDevices = static_cast<std::uint32_t>(matching(vid, pid).size());
    return HID_UART_SUCCESS;
}

HID_UART_STATUS VirtualHidUart::GetString(std::uint32_t deviceNum, std::uint16_t vid,
                                          std::uint16_t pid, char* deviceString,
                                          std::uint32_t options) {
    if (deviceString == nullptr)
        return HID_UART_INVALID_PARAMETER;
    std::lock_guard guard(mutex_);
    ++getStringCalls_;
    const auto list = matching(vid, pid);
    if (deviceNum >= list.size())
        return HID_UART_DEVICE_NOT_FOUND;
    bool known = false;
    const std::string value = stringOf(list[deviceNum]->identity(), options, known);
    if (!known)
        return HID_UART_INVALID_PARAMETER;
    copyString(value, deviceString);
    return HID_UART_SUCCESS;
}

HID_UART_STATUS VirtualHidUart::lookup(HID_UART_DEVICE device, OpenBridge& out) const {
    std::lock_guard guard(mutex_);
    const auto it = open_.find(device);
    if (it == open_.end())
        return HID_UART_INVALID_HANDLE;
    out = it->second;
    return out.microphone->plugged() ? HID_UART_SUCCESS : HID_UART_DEVICE_IO_FAILED;
}

HID_UART_STATUS VirtualHidUart::GetOpenedString(HID_UART_DEVICE device, char* deviceString,
                                                std::uint32_t options) {
    if (deviceString == nullptr)
        return HID_UART_INVALID_PARAMETER;
    OpenBridge bridge;
    if (const auto status = lookup(device, bridge); status != HID_UART_SUCCESS)
        return status;
    bool known = false;
    const std::string value = stringOf(bridge.microphone->identity(), options, known);
    if (!known)
        return HID_UART_INVALID_PARAMETER;
    copyString(value, deviceString);
    return HID_UART_SUCCESS;
}

HID_UART_STATUS VirtualHidUart::Open(HID_UART_DEVICE* device, std::uint32_t deviceNum,
                                     std::uint16_t vid, std::uint16_t pid) {
    if (device == nullptr)
        return HID_UART_INVALID_PARAMETER;
    std::lock_guard guard(mutex_);
    const auto list = matching(vid, pid);
    if (deviceNum >= list.size())
        return HID_UART_DEVICE_NOT_FOUND;
    for (const auto& [handle, bridge] : open_) {
        if (bridge.microphone == list[deviceNum])
            return HID_UART_DEVICE_ACCESS_ERROR;
    }
    const HID_UART_DEVICE handle = nextHandle_++;
    open_[handle] = OpenBridge{list[deviceNum]};
    *device = handle;
    return HID_UART_SUCCESS;
}

HID_UART_STATUS VirtualHidUart::Close(HID_UART_DEVICE device) {
    std::lock_guard guard(mutex_);
    return open_.erase(device) == 1 ? HID_UART_SUCCESS : HID_UART_INVALID_HANDLE;
}

HID_UART_STATUS VirtualHidUart::IsOpened(HID_UART_DEVICE device, bool* opened) {
    if (opened == nullptr)
        return HID_UART_INVALID_PARAMETER;
    OpenBridge bridge;
    const auto status = lookup(device, bridge);
    *opened = status == HID_UART_SUCCESS;
    return status;
}

HID_UART_STATUS VirtualHidUart::SetUartConfig(HID_UART_DEVICE device, std::uint32_t baudRate,
                                              std::uint8_t dataBits, std::uint8_t parity,
                                              std::uint8_t stopBits, std::uint8_t flowControl) {
    OpenBridge bridge;
    if (const auto status = lookup(device, bridge); status != HID_UART_SUCCESS)
        return status;
    if (baudRate < 300 || baudRate > 1000000 || dataBits > 3 || parity > 4 || stopBits > 1 ||
        flowControl > 1) {
        return HID_UART_INVALID_PARAMETER;
    }
    bridge.microphone->configureUart(baudRate, dataBits, parity, stopBits, flowControl);
    return HID_UART_SUCCESS;
}

HID_UART_STATUS VirtualHidUart::SetTimeouts(HID_UART_DEVICE device, std::uint32_t readTimeoutMs,
                                            std::uint32_t writeTimeoutMs) {
    std::lock_guard guard(mutex_);
    const auto it = open_.find(device);
    if (it == open_.end())
        return HID_UART_INVALID_HANDLE;
    if (!it->second.microphone->plugged())
        return HID_UART_DEVICE_IO_FAILED;
    it->second.readTimeoutMs = readTimeoutMs;
    it->second.writeTimeoutMs = writeTimeoutMs;
    return HID_UART_SUCCESS;
}

HID_UART_STATUS VirtualHidUart::GetTimeouts(HID_UART_DEVICE device, std::uint32_t* readTimeoutMs,
                                            std::uint32_t* writeTimeoutMs) {
    if (readTimeoutMs == nullptr || writeTimeoutMs == nullptr)
        return HID_UART_INVALID_PARAMETER;
    OpenBridge bridge;
    if (const auto status = lookup(device, bridge); status != HID_UART_SUCCESS)
        return status;
    *readTimeoutMs = bridge.readTimeoutMs;
    *writeTimeoutMs = bridge.writeTimeoutMs;
    return HID_UART_SUCCESS;
}

HID_UART_STATUS VirtualHidUart::Write(HID_UART_DEVICE device, const std::uint8_t* buffer,
                                      std::uint32_t numBytesToWrite,
                                      std::uint32_t* numBytesWritten) {
    if (numBytesWritten == nullptr || (buffer == nullptr && numBytesToWrite > 0)) {
        return HID_UART_INVALID_PARAMETER;
    }
    *numBytesWritten = 0;
    OpenBridge bridge;
    const auto status = lookup(device, bridge);
    if (status == HID_UART_INVALID_HANDLE)
        return status;
    if (status != HID_UART_SUCCESS)
        return HID_UART_WRITE_ERROR;
    if (numBytesToWrite == 0)
        return HID_UART_INVALID_REQUEST_LENGTH;
    switch (bridge.microphone->write(buffer, numBytesToWrite)) {
        case VirtualMicrophone::WriteResult::Written:
            *numBytesWritten = numBytesToWrite;
            return HID_UART_SUCCESS;
        case VirtualMicrophone::WriteResult::Failed:
            // A bridge that cannot get the data out waits for the write time-out first.
            clock_.sleepFor(std::chrono::milliseconds(bridge.writeTimeoutMs));
            return HID_UART_WRITE_TIMED_OUT;
        case VirtualMicrophone::WriteResult::Unplugged:
            return HID_UART_WRITE_ERROR;
    }
    return HID_UART_WRITE_ERROR;
}

HID_UART_STATUS VirtualHidUart::Read(HID_UART_DEVICE device, std::uint8_t* buffer,
                                     std::uint32_t numBytesToRead, std::uint32_t* numBytesRead) {
    if (numBytesRead == nullptr || buffer == nullptr)
        return HID_UART_INVALID_PARAMETER;
    *numBytesRead = 0;
    OpenBridge bridge;
    const auto status = lookup(device, bridge);
    if (status == HID_UART_INVALID_HANDLE)
        return status;
    if (status != HID_UART_SUCCESS)
        return HID_UART_READ_ERROR;
    if (numBytesToRead == 0)
        return HID_UART_INVALID_REQUEST_LENGTH;

    VirtualMicrophone& mic = *bridge.microphone;
    mic.noteRead();
    const TimePoint start = clock_.now();
    const TimePoint deadline = start + std::chrono::milliseconds(bridge.readTimeoutMs);
    std::uint32_t got = static_cast<std::uint32_t>(mic.take(buffer, numBytesToRead, start));
    if (got < numBytesToRead) {
        // Wait until the last byte asked for has arrived, or to the time-out.
        const auto complete = mic.arrivalOf(numBytesToRead - got);
        const TimePoint until = complete && *complete <= deadline ? *complete : deadline;
        clock_.sleepFor(until - clock_.now());
        if (!mic.plugged()) {
            *numBytesRead = got;
            return HID_UART_READ_ERROR;
        }
        got += static_cast<std::uint32_t>(mic.take(buffer + got, numBytesToRead - got, until));
    }
    *numBytesRead = got;
    return got == numBytesToRead ? HID_UART_SUCCESS : HID_UART_READ_TIMED_OUT;
}

}  // namespace qm::sim
