#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "support/table_fakes.h"

namespace qm::ipc::testing {

// A device object whose every answer is predictable: each call is recorded as
// "Name(arguments)"; every method returns the configured result; on success out bytes are
// seed, seed+1, ... in parameter order, out strings are "<text>/<parameter name>" (the serial for
// GetDeviceSN; for GetX the text last set through SetX); on failure out values stay
// as they were (GetDeviceIndexHID sets -1 first, as the device object does). With its channel
// closed, exchanges with the microphone fail with E_NOINTERFACE while the identity getters still
// answer. Calls can be held at their start until released.
class FakeDevice final : public sdk::testing::TableDevice {
  public:
    explicit FakeDevice(
        std::string serial, std::uint8_t seed = 0x10,
        std::string text = "Mikrofon \u201eStudio\u201c 100% \u2014 \u65e5\u672c %s %n");

    void setResult(sdk::HRESULT hr);
    // GetHardwareVer succeeds without setting its strings, as the device object does when the
    // microphone's answer is no version reply.
    void setVersionUnknown();
    void closeChannel();
    void setStarted(bool started);
    // The latest calls (at most kCallLogLength), oldest first.
    std::vector<std::string> calls() const;
    static constexpr std::size_t kCallLogLength = 1024;
    std::string lastCall() const;

    // Makes the next `count` calls (every following call when negative) wait at their start
    // until releaseCalls().
    void holdCalls(int count = -1);
    void releaseCalls();
    // Waits (bounded) until a call is being held.
    bool waitUntilHolding(std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

  protected:
    sdk::HRESULT answer(sdk::testing::DeviceCall& call) override;

  private:
    void record(std::string call);
    sdk::HRESULT resultOf(std::string_view method) const;
    void setOuts(sdk::testing::DeviceCall& call);

    const std::string serial_;
    const std::uint8_t seed_;
    const std::string text_;
    mutable std::mutex mutex_;
    std::condition_variable holdChanged_;
    sdk::HRESULT result_ = sdk::S_OK;
    bool closed_ = false;
    bool versionUnknown_ = false;
    bool started_ = true;
    bool hold_ = false;
    int holdsLeft_ = -1;
    int holding_ = 0;
    std::deque<std::string> calls_;  // the latest kCallLogLength calls
    std::map<std::string, std::string> stored_;
};

}  // namespace qm::ipc::testing
