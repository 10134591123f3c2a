#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "common/runtime/clock.h"
#include "common/sdk/hresult.h"
#include "common/settings/device_settings.h"
#include "service/core/device_channel.h"
#include "service/core/exchange_lock.h"
#include "service/log/log_sink.h"

namespace qm::core {

// The two log lines of a change command: the first is `before` followed by the frame bytes,
// the second is written once the frame went out.
struct ChangeLines {
    const char* before;
    const char* after;
};

// What the command protocol needs from the device object that owns the channel.
class ProtocolHost {
  public:
    virtual ~ProtocolHost() = default;

    // The open channel, or null when the device is closed.
    virtual std::shared_ptr<DeviceChannel> openChannel() = 0;
    virtual log::LogSink& deviceLog() = 0;
    // Stores a changed setting in the registry cache and then in memory; false when the
    // registry step failed (memory then keeps the old value).
    virtual bool storeSetting(settings::Setting setting, std::uint8_t value) = 0;
    // Starts the device again on its current bridge index; called with the exchange lock held.
    virtual void restartDevice() = 0;
};

// The exchanges with a microphone over its bridge: status reads with their block checks,
// change commands with their frames, log lines and store step, the acknowledgement read and the
// resets. Each exchange except GetHardwareVer holds the device's exchange lock from the check of
// the channel to the end of the store step. A stop token lets a caller (the initial read) give
// up while it waits for the lock; such a call returns E_ABORT and touches nothing.
class CommandProtocol {
  public:
    using HRESULT = sdk::HRESULT;
    using Byte = unsigned char;

    CommandProtocol(ProtocolHost& host, ExchangeLock& lock, Clock& clock);

    // Status reads.
    [[nodiscard]] HRESULT GetStatusDSP(Byte& volume, std::stop_token stop = {});
    [[nodiscard]] HRESULT GetStatusALC(Byte& recovery, Byte& mode, Byte& refValue, Byte& volume,
                                       std::stop_token stop = {});
    [[nodiscard]] HRESULT GetStatusHPF_LPF(Byte& hpf1, Byte& hpf2, Byte& lpf,
                                           std::stop_token stop = {});
    [[nodiscard]] HRESULT GetStatusEQ_NOTCH_GAIN(Byte& notch, Byte (&gains)[5],
                                                 std::stop_token stop = {});
    [[nodiscard]] HRESULT GetStatusEQ_POWER_BW_MODE(Byte& power, Byte (&modes)[5],
                                                    std::stop_token stop = {});
    [[nodiscard]] HRESULT Get_Ext_OutVolume(Byte& volume, std::stop_token stop = {});
    [[nodiscard]] HRESULT Get_Ext_TPA(Byte& tpa, std::stop_token stop = {});
    [[nodiscard]] HRESULT GetDirection(Byte& volume, Byte& zoom, Byte& beam,
                                       std::stop_token stop = {});
    [[nodiscard]] HRESULT GetHardwareVer(std::string& apiVersion, std::string& firmwareVersion);

    // Change commands.
    [[nodiscard]] HRESULT SetDirectionVolume(Byte value);
    [[nodiscard]] HRESULT SetZoom(Byte value);
    [[nodiscard]] HRESULT SetBeam(Byte value);
    [[nodiscard]] HRESULT SetVolume(Byte value);
    [[nodiscard]] HRESULT SetVolumeNorm();
    [[nodiscard]] HRESULT SetVolumeMute();
    [[nodiscard]] HRESULT Set_LPF(Byte value);
    [[nodiscard]] HRESULT Set_HPF_1(Byte value);
    [[nodiscard]] HRESULT Set_HPF_2(Byte value);
    [[nodiscard]] HRESULT Set_EQ_NOTCH(Byte mask);
    [[nodiscard]] HRESULT Set_EQ_GAIN(Byte band, Byte gain);
    [[nodiscard]] HRESULT Set_EQ_POWER(Byte mask);
    [[nodiscard]] HRESULT Set_EQ_BAND_WIDTH(Byte band, int frequencyHz, int widthHz);
    [[nodiscard]] HRESULT Set_EQ_BAND_MODE(Byte band, Byte mode);
    [[nodiscard]] HRESULT Set_ALC_RECOVERY(Byte value);
    [[nodiscard]] HRESULT Set_ALC_MODE(Byte value);
    [[nodiscard]] HRESULT Set_ALC_REF_VALUE(Byte value);
    [[nodiscard]] HRESULT Set_Ext_OutVolume(Byte value);
    [[nodiscard]] HRESULT Set_Ext_TPA(Byte value);

    // The acknowledgement of the last change, and the resets.
    [[nodiscard]] HRESULT GetLastStatus();
    [[nodiscard]] HRESULT ResetDefault();
    [[nodiscard]] HRESULT ResetStatus();
    [[nodiscard]] HRESULT ResetWatchDog();

  private:
    [[nodiscard]] HRESULT statusRead(std::uint8_t request, std::uint8_t block, Byte* const* out,
                                     int count, std::stop_token stop);
    [[nodiscard]] HRESULT change(std::vector<std::uint8_t> frame, const ChangeLines* logLines,
                                 std::optional<settings::Setting> target);
    [[nodiscard]] HRESULT reset(std::uint8_t kind, const char* logFormat);
    void log(std::uint32_t type, const std::string& line);
    void waitBeforeExchange();
    // "prefix0x0e 0x03 0x20": the frame bytes as the log lines show them.
    static std::string withFrame(const char* prefix, const std::vector<std::uint8_t>& frame);

    ProtocolHost& host_;
    ExchangeLock& lock_;
    Clock& clock_;
};

}  // namespace qm::core
