#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/runtime/clock.h"
#include "platform/hiduart/hid_uart_api.h"
#include "sim/virtual_microphone.h"

namespace qm::sim {

// The bridge library over virtual microphones: enumeration in plug order, handles, UART
// configuration, time-outs and reads that end at the read time-out like the real library's.
// Time is the given clock's, so tests on a virtual clock never wait.
class VirtualHidUart final : public hiduart::HidUartApi {
  public:
    explicit VirtualHidUart(Clock& clock);

    Clock& clock() const { return clock_; }

    // Plugging: the microphone joins the end of the enumeration; unplugging removes it and makes
    // every call on its open handles fail as for a vanished bridge.
    std::shared_ptr<VirtualMicrophone> plug(MicrophoneIdentity identity);
    void plug(const std::shared_ptr<VirtualMicrophone>& microphone);
    bool unplug(const std::string& serial);
    std::shared_ptr<VirtualMicrophone> find(const std::string& serial) const;
    std::vector<std::shared_ptr<VirtualMicrophone>> plugged() const;

    // The count of the string calls that scans made, for tests and benchmarks.
    std::uint64_t getStringCalls() const;

    hiduart::HID_UART_STATUS GetNumDevices(std::uint32_t* numDevices, std::uint16_t vid,
                                           std::uint16_t pid) override;
    hiduart::HID_UART_STATUS GetString(std::uint32_t deviceNum, std::uint16_t vid,
                                       std::uint16_t pid, char* deviceString,
                                       std::uint32_t options) override;
    hiduart::HID_UART_STATUS GetOpenedString(hiduart::HID_UART_DEVICE device, char* deviceString,
                                             std::uint32_t options) override;
    hiduart::HID_UART_STATUS Open(hiduart::HID_UART_DEVICE* device, std::uint32_t deviceNum,
                                  std::uint16_t vid, std::uint16_t pid) override;
    hiduart::HID_UART_STATUS Close(hiduart::HID_UART_DEVICE device) override;
    hiduart::HID_UART_STATUS IsOpened(hiduart::HID_UART_DEVICE device, bool* opened) override;
    hiduart::HID_UART_STATUS SetUartConfig(hiduart::HID_UART_DEVICE device, std::uint32_t baudRate,
                                           std::uint8_t dataBits, std::uint8_t parity,
                                           std::uint8_t stopBits,
                                           std::uint8_t flowControl) override;
    hiduart::HID_UART_STATUS SetTimeouts(hiduart::HID_UART_DEVICE device,
                                         std::uint32_t readTimeoutMs,
                                         std::uint32_t writeTimeoutMs) override;
    hiduart::HID_UART_STATUS GetTimeouts(hiduart::HID_UART_DEVICE device,
                                         std::uint32_t* readTimeoutMs,
                                         std::uint32_t* writeTimeoutMs) override;
    hiduart::HID_UART_STATUS Write(hiduart::HID_UART_DEVICE device, const std::uint8_t* buffer,
                                   std::uint32_t numBytesToWrite,
                                   std::uint32_t* numBytesWritten) override;
    hiduart::HID_UART_STATUS Read(hiduart::HID_UART_DEVICE device, std::uint8_t* buffer,
                                  std::uint32_t numBytesToRead,
                                  std::uint32_t* numBytesRead) override;

  private:
    struct OpenBridge {
        std::shared_ptr<VirtualMicrophone> microphone;
        std::uint32_t readTimeoutMs = 1000;
        std::uint32_t writeTimeoutMs = 1000;
    };

    std::vector<std::shared_ptr<VirtualMicrophone>> matching(std::uint16_t vid,
                                                             std::uint16_t pid) const;
    // The open bridge of a handle; the status says why there is none, or why it is unusable.
    hiduart::HID_UART_STATUS lookup(hiduart::HID_UART_DEVICE device, OpenBridge& out) const;
    static void copyString(const std::string& value, char* out);
    static std::string stringOf(const MicrophoneIdentity& id, std::uint32_t kind, bool& known);

    Clock& clock_;
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<VirtualMicrophone>> plugged_;
    std::map<hiduart::HID_UART_DEVICE, OpenBridge> open_;
    hiduart::HID_UART_DEVICE nextHandle_ = 1;
    std::uint64_t getStringCalls_ = 0;
};

}  // namespace qm::sim
