// Feeds arbitrary input report streams (any sizes, any ids, any contents, any arrival times)
// and arbitrary read requests to the bridge driver through the fake HID transport, on a virtual
// clock, and checks what every read hands out:
//   - the status is one a read may give, and the byte count agrees with it;
//   - the bytes are exactly the next bytes of the well-formed reports, in order: nothing lost,
//     repeated or invented while the device is present;
//   - no read lasts longer than its time-out on the clock.
// Reads go into buffers of exactly the requested size, so AddressSanitizer sees any overrun.

#include <fuzzer/FuzzedDataProvider.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "common/runtime/virtual_clock.h"
#include "platform/hiduart/cp2114_driver.h"
#include "platform/hiduart/fake/fake_hid_transport.h"

namespace {

using namespace qm::hiduart;
using std::chrono::milliseconds;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The UART bytes a report carries: an id of 1..63 with at least that many bytes after it.
// Stated here independently of the driver, as the rule the driver must follow.
void appendWellFormedData(const std::vector<std::uint8_t>& report,
                          std::vector<std::uint8_t>& stream) {
    if (report.empty() || report[0] == 0 || report[0] > 63 || report.size() < report[0] + 1u) {
        return;
    }
    stream.insert(stream.end(), report.begin() + 1, report.begin() + 1 + report[0]);
}

enum class Step : std::uint8_t { QueueReport, Read, Fail, SetTimeout, kMaxValue = SetTimeout };

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    qm::VirtualClock clock;
    auto transport = std::make_shared<FakeHidTransport>(clock);
    std::shared_ptr<FakeHidBridge> bridge = transport->addCp2114(0, "FUZZ");
    Cp2114Driver driver(transport, clock);

    HID_UART_DEVICE device = kNoDevice;
    require(driver.Open(&device, 0, 0, 0) == HID_UART_SUCCESS);
    std::uint32_t timeoutMs = input.ConsumeIntegralInRange<std::uint32_t>(0, 300);
    require(driver.SetTimeouts(device, timeoutMs, timeoutMs) == HID_UART_SUCCESS);

    std::vector<std::uint8_t> expected;  // well-formed data of every report queued so far
    std::size_t delivered = 0;           // how much of it reads have handed out
    bool present = true;

    while (input.remaining_bytes() > 0 && present) {
        switch (input.ConsumeEnum<Step>()) {
            case Step::QueueReport: {
                const auto delay = milliseconds(input.ConsumeIntegralInRange<int>(0, 400));
                const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, 80);
                std::vector<std::uint8_t> report = input.ConsumeBytes<std::uint8_t>(length);
                appendWellFormedData(report, expected);
                bridge->queueInputReport(std::move(report), delay);
                break;
            }
            case Step::Read: {
                const auto wanted = input.ConsumeIntegralInRange<std::uint32_t>(1, 2000);
                auto buffer = std::make_unique<std::uint8_t[]>(wanted);
                std::uint32_t got = 0xFFFFFFFF;
                const qm::TimePoint before = clock.now();
                const HID_UART_STATUS status = driver.Read(device, buffer.get(), wanted, &got);
                require(clock.now() - before <= milliseconds(timeoutMs));
                if (status == HID_UART_SUCCESS) {
                    require(got == wanted);
                } else if (status == HID_UART_READ_TIMED_OUT) {
                    require(got < wanted);
                } else if (status == HID_UART_READ_ERROR) {
                    require(got == 0);
                } else if (status == HID_UART_DEVICE_IO_FAILED) {
                    require(got == 0);
                    present = false;
                } else {
                    require(false);
                }
                require(delivered + got <= expected.size());
                for (std::uint32_t i = 0; i < got; ++i) {
                    require(buffer[i] == expected[delivered + i]);
                }
                delivered += got;
                break;
            }
            case Step::Fail:
                bridge->failNext(FakeHidOperation::Read, input.ConsumeBool()
                                                             ? HidIoStatus::Failed
                                                             : HidIoStatus::Disconnected);
                break;
            case Step::SetTimeout:
                timeoutMs = input.ConsumeIntegralInRange<std::uint32_t>(0, 300);
                require(driver.SetTimeouts(device, timeoutMs, timeoutMs) == HID_UART_SUCCESS);
                break;
        }
    }
    require(driver.Close(device) == HID_UART_SUCCESS);
    return 0;
}
