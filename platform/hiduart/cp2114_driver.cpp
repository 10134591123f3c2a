#include "platform/hiduart/cp2114_driver.h"

#include <span>
#include <utility>

#include "platform/hiduart/bridge_enumeration.h"

namespace qm::hiduart {
namespace {

bool isValidUartConfig(const cp2114::UartConfig& c) {
    return c.baudRate >= HID_UART_MIN_BAUD_RATE && c.baudRate <= HID_UART_MAX_BAUD_RATE &&
           c.dataBits <= HID_UART_EIGHT_DATA_BITS && c.parity <= HID_UART_SPACE_PARITY &&
           c.stopBits <= HID_UART_LONG_STOP_BIT && c.flowControl <= HID_UART_RTS_CTS_FLOW_CONTROL;
}

}  // namespace

Cp2114Driver::Cp2114Driver(std::shared_ptr<HidTransport> transport, Clock& clock)
    : transport_(std::move(transport)), clock_(clock) {}

Cp2114Driver::~Cp2114Driver() {
    for (auto& [handle, channel] : channels_) {
        channel->close();
    }
}

HID_UART_STATUS Cp2114Driver::GetNumDevices(std::uint32_t* numDevices, std::uint16_t vid,
                                            std::uint16_t pid) {
    if (numDevices == nullptr) {
        return HID_UART_INVALID_PARAMETER;
    }
    *numDevices = static_cast<std::uint32_t>(matchingBridges(*transport_, vid, pid).size());
    return HID_UART_SUCCESS;
}

HID_UART_STATUS Cp2114Driver::GetString(std::uint32_t deviceNum, std::uint16_t vid,
                                        std::uint16_t pid, char* deviceString,
                                        std::uint32_t options) {
    if (deviceString == nullptr || !isBridgeStringKind(options)) {
        return HID_UART_INVALID_PARAMETER;
    }
    const std::vector<HidDeviceInfo> bridges = matchingBridges(*transport_, vid, pid);
    if (deviceNum >= bridges.size()) {
        return HID_UART_DEVICE_NOT_FOUND;
    }
    copyBridgeString(bridgeString(bridges[deviceNum], options).value_or(""), deviceString);
    return HID_UART_SUCCESS;
}

HID_UART_STATUS Cp2114Driver::GetOpenedString(HID_UART_DEVICE device, char* deviceString,
                                              std::uint32_t options) {
    const std::shared_ptr<Cp2114Channel> open = channel(device);
    if (!open) {
        return HID_UART_INVALID_HANDLE;
    }
    if (deviceString == nullptr || !isBridgeStringKind(options)) {
        return HID_UART_INVALID_PARAMETER;
    }
    copyBridgeString(bridgeString(open->info(), options).value_or(""), deviceString);
    return HID_UART_SUCCESS;
}

HID_UART_STATUS Cp2114Driver::Open(HID_UART_DEVICE* device, std::uint32_t deviceNum,
                                   std::uint16_t vid, std::uint16_t pid) {
    if (device == nullptr) {
        return HID_UART_INVALID_PARAMETER;
    }
    *device = kNoDevice;
    std::vector<HidDeviceInfo> bridges = matchingBridges(*transport_, vid, pid);
    if (deviceNum >= bridges.size()) {
        return HID_UART_DEVICE_NOT_FOUND;
    }
    HidDeviceInfo& info = bridges[deviceNum];
    const std::string path = info.path;
    if (!reservePath(path)) {
        return HID_UART_DEVICE_ACCESS_ERROR;
    }
    std::shared_ptr<Cp2114Channel> opened;
    HID_UART_STATUS status = HID_UART_DEVICE_ACCESS_ERROR;
    if (std::unique_ptr<HidDevice> hid = transport_->open(path)) {
        opened = std::make_shared<Cp2114Channel>(std::move(hid), std::move(info), clock_);
        status = opened->start();
    }
    std::lock_guard lock(mutex_);
    opening_.erase(path);
    if (status != HID_UART_SUCCESS) {
        return status;  // a channel that failed to start closes its device as it goes
    }
    const HID_UART_DEVICE handle = nextHandle_++;
    channels_.emplace(handle, std::move(opened));
    *device = handle;
    return HID_UART_SUCCESS;
}

HID_UART_STATUS Cp2114Driver::Close(HID_UART_DEVICE device) {
    std::shared_ptr<Cp2114Channel> closing;
    {
        std::lock_guard lock(mutex_);
        const auto it = channels_.find(device);
        if (it == channels_.end()) {
            return HID_UART_INVALID_HANDLE;
        }
        closing = std::move(it->second);
        channels_.erase(it);
    }
    // Waits for a transfer in progress on the handle; calls that still hold the channel find it
    // closed.
    closing->close();
    return HID_UART_SUCCESS;
}

HID_UART_STATUS Cp2114Driver::IsOpened(HID_UART_DEVICE device, bool* opened) {
    const std::shared_ptr<Cp2114Channel> open = channel(device);
    if (!open) {
        return HID_UART_INVALID_HANDLE;
    }
    if (opened == nullptr) {
        return HID_UART_INVALID_PARAMETER;
    }
    *opened = open->isConnected();
    return HID_UART_SUCCESS;
}

HID_UART_STATUS Cp2114Driver::SetUartConfig(HID_UART_DEVICE device, std::uint32_t baudRate,
                                            std::uint8_t dataBits, std::uint8_t parity,
                                            std::uint8_t stopBits, std::uint8_t flowControl) {
    const std::shared_ptr<Cp2114Channel> open = channel(device);
    if (!open) {
        return HID_UART_INVALID_HANDLE;
    }
    const cp2114::UartConfig config{baudRate, dataBits, parity, stopBits, flowControl};
    if (!isValidUartConfig(config)) {
        return HID_UART_INVALID_PARAMETER;
    }
    return open->setUartConfig(config);
}

HID_UART_STATUS Cp2114Driver::SetTimeouts(HID_UART_DEVICE device, std::uint32_t readTimeoutMs,
                                          std::uint32_t writeTimeoutMs) {
    const std::shared_ptr<Cp2114Channel> open = channel(device);
    if (!open) {
        return HID_UART_INVALID_HANDLE;
    }
    open->setTimeouts(readTimeoutMs, writeTimeoutMs);
    return HID_UART_SUCCESS;
}

HID_UART_STATUS Cp2114Driver::GetTimeouts(HID_UART_DEVICE device, std::uint32_t* readTimeoutMs,
                                          std::uint32_t* writeTimeoutMs) {
    const std::shared_ptr<Cp2114Channel> open = channel(device);
    if (!open) {
        return HID_UART_INVALID_HANDLE;
    }
    if (readTimeoutMs == nullptr || writeTimeoutMs == nullptr) {
        return HID_UART_INVALID_PARAMETER;
    }
    *readTimeoutMs = open->readTimeoutMs();
    *writeTimeoutMs = open->writeTimeoutMs();
    return HID_UART_SUCCESS;
}

HID_UART_STATUS Cp2114Driver::Write(HID_UART_DEVICE device, const std::uint8_t* buffer,
                                    std::uint32_t numBytesToWrite, std::uint32_t* numBytesWritten) {
    const std::shared_ptr<Cp2114Channel> open = channel(device);
    if (!open) {
        return HID_UART_INVALID_HANDLE;
    }
    if (buffer == nullptr || numBytesWritten == nullptr) {
        return HID_UART_INVALID_PARAMETER;
    }
    *numBytesWritten = 0;
    if (numBytesToWrite < HID_UART_MIN_WRITE_SIZE || numBytesToWrite > HID_UART_MAX_WRITE_SIZE) {
        return HID_UART_INVALID_REQUEST_LENGTH;
    }
    return open->write(std::span(buffer, numBytesToWrite), *numBytesWritten);
}

HID_UART_STATUS Cp2114Driver::Read(HID_UART_DEVICE device, std::uint8_t* buffer,
                                   std::uint32_t numBytesToRead, std::uint32_t* numBytesRead) {
    const std::shared_ptr<Cp2114Channel> open = channel(device);
    if (!open) {
        return HID_UART_INVALID_HANDLE;
    }
    if (buffer == nullptr || numBytesRead == nullptr) {
        return HID_UART_INVALID_PARAMETER;
    }
    *numBytesRead = 0;
    if (numBytesToRead < HID_UART_MIN_READ_SIZE || numBytesToRead > HID_UART_MAX_READ_SIZE) {
        return HID_UART_INVALID_REQUEST_LENGTH;
    }
    return open->read(std::span(buffer, numBytesToRead), *numBytesRead);
}

std::size_t Cp2114Driver::openCount() const {
    std::lock_guard lock(mutex_);
    return channels_.size();
}

std::uint64_t Cp2114Driver::droppedReports(HID_UART_DEVICE device) const {
    const std::shared_ptr<Cp2114Channel> open = channel(device);
    return open ? open->droppedReports() : 0;
}

bool Cp2114Driver::reservePath(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (opening_.contains(path)) {
        return false;
    }
    for (const auto& [handle, open] : channels_) {
        if (open->info().path == path && open->isConnected()) {
            return false;
        }
    }
    opening_.insert(path);
    return true;
}

std::shared_ptr<Cp2114Channel> Cp2114Driver::channel(HID_UART_DEVICE device) const {
    std::lock_guard lock(mutex_);
    const auto it = channels_.find(device);
    return it == channels_.end() ? nullptr : it->second;
}

}  // namespace qm::hiduart
