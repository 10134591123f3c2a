// Arbitrary answers of a microphone through every exchange of the command protocol: each
// exchange reads whatever bytes (and read status) the input gives. The protocol must never read
// past what arrived, and a rejected answer must leave the out values as they were.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

#include "common/runtime/virtual_clock.h"
#include "service/core/command_protocol.h"

namespace {

using namespace qm;
using namespace qm::hiduart;

// Takes bytes from the front of the fuzz input.
class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::vector<std::uint8_t> bytes(std::size_t n) {
        n = std::min(n, size_ - std::min(pos_, size_));
        std::vector<std::uint8_t> out(data_ + pos_, data_ + pos_ + n);
        pos_ += n;
        return out;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A bridge whose reads return what the input says: a status, a length and the bytes.
class ScriptedBridge final : public HidUartApi {
  public:
    explicit ScriptedBridge(Input& input) : input_(input) {}
    HID_UART_STATUS GetNumDevices(std::uint32_t* n, std::uint16_t, std::uint16_t) override {
        *n = 1;
        return HID_UART_SUCCESS;
    }
    HID_UART_STATUS GetString(std::uint32_t, std::uint16_t, std::uint16_t, char* s,
                              std::uint32_t) override {
        s[0] = '\0';
        return HID_UART_SUCCESS;
    }
    HID_UART_STATUS GetOpenedString(HID_UART_DEVICE, char* s, std::uint32_t) override {
        s[0] = '\0';
        return HID_UART_SUCCESS;
    }
    HID_UART_STATUS Open(HID_UART_DEVICE* d, std::uint32_t, std::uint16_t, std::uint16_t) override {
        *d = 1;
        return HID_UART_SUCCESS;
    }
    HID_UART_STATUS Close(HID_UART_DEVICE) override { return HID_UART_SUCCESS; }
    HID_UART_STATUS IsOpened(HID_UART_DEVICE, bool* o) override {
        *o = true;
        return HID_UART_SUCCESS;
    }
    HID_UART_STATUS SetUartConfig(HID_UART_DEVICE, std::uint32_t, std::uint8_t, std::uint8_t,
                                  std::uint8_t, std::uint8_t) override {
        return HID_UART_SUCCESS;
    }
    HID_UART_STATUS SetTimeouts(HID_UART_DEVICE, std::uint32_t, std::uint32_t) override {
        return HID_UART_SUCCESS;
    }
    HID_UART_STATUS GetTimeouts(HID_UART_DEVICE, std::uint32_t* r, std::uint32_t* w) override {
        *r = *w = 150;
        return HID_UART_SUCCESS;
    }
    HID_UART_STATUS Write(HID_UART_DEVICE, const std::uint8_t*, std::uint32_t n,
                          std::uint32_t* written) override {
        const bool fail = (input_.byte() & 0x0F) == 0x0F;
        *written = fail ? 0 : n;
        return fail ? HID_UART_WRITE_ERROR : HID_UART_SUCCESS;
    }
    HID_UART_STATUS Read(HID_UART_DEVICE, std::uint8_t* buffer, std::uint32_t n,
                         std::uint32_t* got) override {
        static constexpr HID_UART_STATUS kStatuses[] = {HID_UART_SUCCESS, HID_UART_READ_TIMED_OUT,
                                                        HID_UART_READ_ERROR,
                                                        HID_UART_DEVICE_IO_FAILED};
        const HID_UART_STATUS status = kStatuses[input_.byte() % 4];
        const std::vector<std::uint8_t> reply = input_.bytes(input_.byte() % 16);
        const std::size_t count = std::min<std::size_t>(reply.size(), n);
        if (count > 0) std::memcpy(buffer, reply.data(), count);
        *got = static_cast<std::uint32_t>(count);
        return status;
    }

  private:
    Input& input_;
};

class NullLog final : public log::LogSink {
  public:
    void write(std::uint32_t, std::string_view) override {}
};

class Host final : public core::ProtocolHost {
  public:
    explicit Host(HidUartApi& api) : channel_(std::make_shared<core::DeviceChannel>(api, 1)) {}
    std::shared_ptr<core::DeviceChannel> openChannel() override { return channel_; }
    log::LogSink& deviceLog() override { return log_; }
    bool storeSetting(settings::Setting, std::uint8_t) override { return true; }
    void restartDevice() override {}

  private:
    std::shared_ptr<core::DeviceChannel> channel_;
    NullLog log_;
};

void check(bool condition) {
    if (!condition)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    ScriptedBridge bridge(input);
    Host host(bridge);
    VirtualClock clock;
    core::ExchangeLock lock;
    core::CommandProtocol protocol(host, lock, clock);

    while (!input.empty()) {
        unsigned char a = 0xA5, b = 0xA5, c = 0xA5, d = 0xA5;
        unsigned char five[5] = {0xA5, 0xA5, 0xA5, 0xA5, 0xA5};
        sdk::HRESULT hr = sdk::S_OK;
        switch (input.byte() % 12) {
            case 0:
                hr = protocol.GetStatusDSP(a);
                break;
            case 1:
                hr = protocol.GetStatusALC(a, b, c, d);
                break;
            case 2:
                hr = protocol.GetStatusHPF_LPF(a, b, c);
                break;
            case 3:
                hr = protocol.GetStatusEQ_NOTCH_GAIN(a, five);
                break;
            case 4:
                hr = protocol.GetStatusEQ_POWER_BW_MODE(a, five);
                break;
            case 5:
                hr = protocol.Get_Ext_OutVolume(a);
                break;
            case 6:
                hr = protocol.Get_Ext_TPA(a);
                break;
            case 7:
                hr = protocol.GetDirection(a, b, c);
                break;
            case 8: {
                std::string api = "x", fw = "y";
                hr = protocol.GetHardwareVer(api, fw);
                check(api.size() < 16 && fw.size() < 16);
                break;
            }
            case 9:
                hr = protocol.GetLastStatus();
                break;
            case 10:
                hr = protocol.Set_EQ_GAIN(input.byte(), input.byte());
                break;
            default:
                hr = protocol.ResetStatus();
                break;
        }
        // A failed status read leaves every out value as it was.
        if (hr == sdk::E_NOINTERFACE) {
            check(a == 0xA5 && b == 0xA5 && c == 0xA5 && d == 0xA5);
            for (unsigned char v : five)
                check(v == 0xA5);
        }
    }
    return 0;
}
