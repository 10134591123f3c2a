#include "service/core/command_protocol.h"

#include "common/sdk/interfaces.h"
#include "common/settings/encodings.h"
#include "common/settings/frame_codes.h"
#include "common/text/text.h"

namespace qm::core {

using namespace std::chrono_literals;
using hiduart::HID_UART_READ_TIMED_OUT;
using hiduart::HID_UART_SUCCESS;
using sdk::E_ABORT;
using sdk::E_FAIL;
using sdk::E_INVALIDARG;
using sdk::E_NOINTERFACE;
using sdk::HRESULT;
using sdk::S_OK;
using settings::Setting;
using namespace settings;  // the frame codes

namespace {

constexpr auto kExchangeWait = 10ms;

bool readSucceeded(hiduart::HID_UART_STATUS status) {
    return status == HID_UART_SUCCESS || status == HID_UART_READ_TIMED_OUT;
}

// The log lines of each change command.
constexpr ChangeLines kSetDirVolume{"Command: Set DIR Volume -  ",
                                    "Command: Set DIR Volume - HID_UART_SUCCESS"};
constexpr ChangeLines kSetDspVolume{"Command: Set DSP Volume - ",
                                    "Command: Set DSP Volume - HID_UART_SUCCESS"};
constexpr ChangeLines kSetZoom{"Command: Set DIR Zoom - ",
                               "Command: Set DIR Zoom - HID_UART_SUCCESS"};
constexpr ChangeLines kSetBeam{"Command: Set DIR Beam - ",
                               "Command: Set DIR Beam - HID_UART_SUCCESS"};
constexpr ChangeLines kSetLpf{"Command: Set LPF - ", "Command: Set LPF - HID_UART_SUCCESS"};
constexpr ChangeLines kSetHpf1{"Command: Set HPF 1m - ", "Command: Set HPF 1 - HID_UART_SUCCESS"};
constexpr ChangeLines kSetHpf2{"Command: Set HPF 2 - ", "Command: Set HPF 2 - HID_UART_SUCCESS"};
constexpr ChangeLines kSetEqNotch{"Command: Set EQ NOTCH - ",
                                  "Command: Set EQ NOTCH - HID_UART_SUCCESS"};
constexpr ChangeLines kSetEqGain{"Command: Set EQ Gain - ",
                                 "Command: Set EQ Gain - HID_UART_SUCCESS"};
constexpr ChangeLines kSetEqPower{"Command: Set EQ Power - ",
                                  "Command: Set EQ Power - HID_UART_SUCCESS"};
constexpr ChangeLines kSetEqBandMode{"Command: Set EQ Band Mode - ",
                                     "Command: Set EQ Band Mode - HID_UART_SUCCESS"};
constexpr ChangeLines kSetEqBandWidth{"Command: Set EQ Band Width - ",
                                      "Command: Set EQ Band Width - HID_UART_SUCCESS"};
constexpr ChangeLines kSetAlcRecovery{"Command: Set ALC Recovery - ",
                                      "Command: Set ALC Recovery - HID_UART_SUCCESS"};
constexpr ChangeLines kSetAlcMode{"Command: Set ALC MODE - ",
                                  "Command: Set ALC MODE - HID_UART_SUCCESS"};
constexpr ChangeLines kSetAlcRef{"Command: Set ALC Ref Volume - ",
                                 "Command: Set ALC Ref Volume - HID_UART_SUCCESS"};
constexpr ChangeLines kSetOutVolume{
    "Command: Set Extended Analog Output volume - ",
    "Command: Set Extended Analog Output volume - HID_UART_SUCCESS"};
constexpr ChangeLines kSetTpa{
    "Command: Set Extended Analog Gain volume and TPA mode - ",
    "Command: Set Extended Analog Gain volume and TPA mode - HID_UART_SUCCESS"};

std::optional<Setting> bandSetting(std::uint8_t band, Setting (*of)(int)) {
    if (!settings::isBandNumber(band))
        return std::nullopt;
    return of(band);
}

}  // namespace

CommandProtocol::CommandProtocol(ProtocolHost& host, ExchangeLock& lock, Clock& clock)
    : host_(host), lock_(lock), clock_(clock) {}

void CommandProtocol::log(std::uint32_t type, const std::string& line) {
    host_.deviceLog().write(type, line);
}

void CommandProtocol::waitBeforeExchange() {
    clock_.sleepFor(kExchangeWait);
}

std::string CommandProtocol::withFrame(const char* prefix, const std::vector<std::uint8_t>& frame) {
    std::string line = prefix;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        if (i > 0)
            line += ' ';
        line += text::format("0x%02x", frame[i]);
    }
    return line;
}

// Status read: wait, write the request, read, check the block number in byte 0 and copy the
// data bytes. A reply shorter than the bytes to copy is refused: what was not received is
// never reported as the microphone's value.
HRESULT CommandProtocol::statusRead(std::uint8_t request, std::uint8_t block, Byte* const* out,
                                    int count, std::stop_token stop) {
    ExchangeGuard guard(lock_, std::move(stop));
    if (!guard.owned())
        return E_ABORT;
    const auto channel = host_.openChannel();
    if (!channel)
        return E_NOINTERFACE;
    waitBeforeExchange();
    if (channel->write({request, block}) != HID_UART_SUCCESS)
        return E_NOINTERFACE;
    std::vector<std::uint8_t> reply;
    const auto status = channel->read(reply);
    if (!readSucceeded(status) || reply.size() < static_cast<std::size_t>(count) + 1 ||
        reply[0] != block) {
        return E_NOINTERFACE;
    }
    for (int i = 0; i < count; ++i)
        *out[i] = reply[static_cast<std::size_t>(i) + 1];
    return S_OK;
}

HRESULT CommandProtocol::GetStatusDSP(Byte& volume, std::stop_token stop) {
    Byte* out[] = {&volume};
    return statusRead(CMD_GET_STATUS, kBlockDsp, out, 1, std::move(stop));
}

HRESULT CommandProtocol::GetStatusALC(Byte& recovery, Byte& mode, Byte& refValue, Byte& volume,
                                      std::stop_token stop) {
    Byte* out[] = {&recovery, &mode, &refValue, &volume};
    return statusRead(CMD_GET_STATUS, kBlockAlc, out, 4, std::move(stop));
}

HRESULT CommandProtocol::GetStatusHPF_LPF(Byte& hpf1, Byte& hpf2, Byte& lpf, std::stop_token stop) {
    Byte* out[] = {&hpf1, &hpf2, &lpf};
    return statusRead(CMD_GET_STATUS, kBlockHpfLpf, out, 3, std::move(stop));
}

HRESULT CommandProtocol::GetStatusEQ_NOTCH_GAIN(Byte& notch, Byte (&gains)[5],
                                                std::stop_token stop) {
    Byte* out[] = {&notch, &gains[0], &gains[1], &gains[2], &gains[3], &gains[4]};
    return statusRead(CMD_GET_STATUS, kBlockEqNotchGain, out, 6, std::move(stop));
}

HRESULT CommandProtocol::GetStatusEQ_POWER_BW_MODE(Byte& power, Byte (&modes)[5],
                                                   std::stop_token stop) {
    Byte* out[] = {&power, &modes[0], &modes[1], &modes[2], &modes[3], &modes[4]};
    return statusRead(CMD_GET_STATUS, kBlockEqPowerBwMode, out, 6, std::move(stop));
}

HRESULT CommandProtocol::Get_Ext_OutVolume(Byte& volume, std::stop_token stop) {
    Byte* out[] = {&volume};
    return statusRead(CMD_GET_EXT_STATUS, kBlockExtOutVolume, out, 1, std::move(stop));
}

HRESULT CommandProtocol::Get_Ext_TPA(Byte& tpa, std::stop_token stop) {
    Byte* out[] = {&tpa};
    return statusRead(CMD_GET_EXT_STATUS, kBlockExtTpa, out, 1, std::move(stop));
}

// The direction reply is taken without the wait and without a check of its byte 0, but only
// when all four bytes arrived: a microphone that did not answer gives no values.
HRESULT CommandProtocol::GetDirection(Byte& volume, Byte& zoom, Byte& beam, std::stop_token stop) {
    ExchangeGuard guard(lock_, std::move(stop));
    if (!guard.owned())
        return E_ABORT;
    const auto channel = host_.openChannel();
    if (!channel)
        return E_NOINTERFACE;
    if (channel->write({CMD_GET_DIRECTION, 0x00}) != HID_UART_SUCCESS)
        return E_NOINTERFACE;
    std::vector<std::uint8_t> reply;
    if (!readSucceeded(channel->read(reply)) || reply.size() < 4)
        return E_NOINTERFACE;
    volume = reply[1];
    zoom = reply[2];
    beam = reply[3];
    return S_OK;
}

// Without the lock and without the wait. The strings are set only from a complete version
// reply (block 00 followed by both bytes); S_OK either way once the request was written.
HRESULT CommandProtocol::GetHardwareVer(std::string& apiVersion, std::string& firmwareVersion) {
    const auto channel = host_.openChannel();
    if (!channel)
        return E_NOINTERFACE;
    if (channel->write({CMD_GET_HW_VERSION}) != HID_UART_SUCCESS)
        return E_NOINTERFACE;
    std::vector<std::uint8_t> reply;
    channel->read(reply);
    if (reply.size() >= 3 && reply[0] == kReplyOk) {
        apiVersion = text::format("0x0x%02x", reply[1]);
        firmwareVersion = text::format("0x%x", reply[2]);
    }
    return S_OK;
}

// Change command: wait, log the frame, write it, log the success, then store the value
// (registry first, then memory). The microphone's acknowledgement stays in the channel.
HRESULT CommandProtocol::change(std::vector<std::uint8_t> frame, const ChangeLines* logLines,
                                std::optional<Setting> target) {
    ExchangeGuard guard(lock_);
    const auto channel = host_.openChannel();
    if (!channel)
        return E_NOINTERFACE;
    waitBeforeExchange();
    if (logLines)
        log(sdk::leInfo, withFrame(logLines->before, frame));
    if (channel->write(frame) != HID_UART_SUCCESS)
        return E_NOINTERFACE;
    if (logLines)
        log(sdk::leInfo, logLines->after);
    if (!target)
        return E_INVALIDARG;  // a band number other than 1 to 5: sent, not stored
    return host_.storeSetting(*target, frame.back()) ? S_OK : E_INVALIDARG;
}

HRESULT CommandProtocol::SetDirectionVolume(Byte v) {
    return change({CMD_SET_DIR_VOLUME, v}, &kSetDirVolume, Setting::DirVolume);
}
HRESULT CommandProtocol::SetZoom(Byte v) {
    return change({CMD_SET_DIR_ZOOM, v}, &kSetZoom, Setting::Zoom);
}
HRESULT CommandProtocol::SetBeam(Byte v) {
    return change({CMD_SET_DIR_BEAM, v}, &kSetBeam, Setting::Beam);
}
HRESULT CommandProtocol::SetVolume(Byte v) {
    return change({CMD_SET_DSP_VOLUME, v}, &kSetDspVolume, Setting::Volume);
}
HRESULT CommandProtocol::SetVolumeNorm() {
    return change({CMD_SET_DSP_VOLUME, settings::kVolumeNormal}, nullptr, Setting::Volume);
}
HRESULT CommandProtocol::SetVolumeMute() {
    return change({CMD_SET_DSP_VOLUME, settings::kVolumeMute}, nullptr, Setting::Volume);
}
HRESULT CommandProtocol::Set_LPF(Byte v) {
    return change({CMD_SET_LPF, v}, &kSetLpf, Setting::LPF);
}
HRESULT CommandProtocol::Set_HPF_1(Byte v) {
    return change({CMD_SET_HPF_1, v}, &kSetHpf1, Setting::HPF_1);
}
HRESULT CommandProtocol::Set_HPF_2(Byte v) {
    return change({CMD_SET_HPF_2, v}, &kSetHpf2, Setting::HPF_2);
}
HRESULT CommandProtocol::Set_EQ_NOTCH(Byte mask) {
    return change({CMD_SET_EQ_GAIN, kEqMask, mask}, &kSetEqNotch, Setting::EQ_NOTCH);
}
HRESULT CommandProtocol::Set_EQ_GAIN(Byte band, Byte gain) {
    return change({CMD_SET_EQ_GAIN, band, gain}, &kSetEqGain, bandSetting(band, settings::eqGain));
}
HRESULT CommandProtocol::Set_EQ_POWER(Byte mask) {
    return change({CMD_SET_EQ_MODE, kEqMask, mask}, &kSetEqPower, Setting::EQ_POWER);
}
HRESULT CommandProtocol::Set_EQ_BAND_WIDTH(Byte band, int frequencyHz, int widthHz) {
    return change({CMD_SET_EQ_MODE, band, settings::bandModeByte(frequencyHz, widthHz)},
                  &kSetEqBandWidth, bandSetting(band, settings::eqMode));
}
HRESULT CommandProtocol::Set_EQ_BAND_MODE(Byte band, Byte mode) {
    return change({CMD_SET_EQ_MODE, band, mode}, &kSetEqBandMode,
                  bandSetting(band, settings::eqMode));
}
HRESULT CommandProtocol::Set_ALC_RECOVERY(Byte v) {
    return change({CMD_SET_ALC, kAlcRecovery, v}, &kSetAlcRecovery, Setting::ALC_RECOVERY);
}
HRESULT CommandProtocol::Set_ALC_MODE(Byte v) {
    return change({CMD_SET_ALC, kAlcMode, v}, &kSetAlcMode, Setting::ALC_MODE);
}
HRESULT CommandProtocol::Set_ALC_REF_VALUE(Byte v) {
    return change({CMD_SET_ALC, kAlcRefValue, v}, &kSetAlcRef, Setting::ALC_REF_VALUE);
}
HRESULT CommandProtocol::Set_Ext_OutVolume(Byte v) {
    return change({CMD_SET_EXT_OUT_VOLUME, v}, &kSetOutVolume, Setting::OUT_VOLUME);
}
HRESULT CommandProtocol::Set_Ext_TPA(Byte v) {
    return change({CMD_SET_EXT_TPA, v}, &kSetTpa, Setting::TPA);
}

// Reads the acknowledgement of the last change: nothing is written and there is no wait. An
// empty read is a failure: no acknowledgement arrived.
HRESULT CommandProtocol::GetLastStatus() {
    ExchangeGuard guard(lock_);
    const auto channel = host_.openChannel();
    if (!channel)
        return E_NOINTERFACE;
    std::vector<std::uint8_t> reply;
    const auto status = channel->read(reply);
    if (readSucceeded(status) && !reply.empty() && reply[0] == kReplyOk) {
        log(sdk::leInfo, text::format("Command: GetLastStatus - 0x%02x", 0));
        return S_OK;
    }
    log(sdk::leError, "Command: GetLastStatus - ERROR !!!");
    return E_FAIL;
}

HRESULT CommandProtocol::reset(std::uint8_t kind, const char* logPrefix) {
    const std::vector<std::uint8_t> frame = {CMD_RESET, kind, kResetKey1, kResetKey2};
    waitBeforeExchange();
    if (const auto channel = host_.openChannel()) {
        channel->write(frame);  // the result is not examined
    }
    if (logPrefix)
        log(sdk::leInfo, withFrame(logPrefix, frame));
    return S_OK;
}

// Resets the microphone to its own defaults and starts the device again, all with the lock
// held, so that no exchange runs between the reset and the new initial read's start.
HRESULT CommandProtocol::ResetDefault() {
    ExchangeGuard guard(lock_);
    if (!host_.openChannel())
        return E_NOINTERFACE;
    // Whether the microphone took the reset shows in the read that the restart below makes.
    static_cast<void>(reset(kResetDefault, "Command: Reset Default - "));
    waitBeforeExchange();
    log(sdk::leInfo, "Starting device after Command: Reset Default ... ");
    host_.restartDevice();
    return S_OK;
}

HRESULT CommandProtocol::ResetStatus() {
    ExchangeGuard guard(lock_);
    if (!host_.openChannel())
        return E_NOINTERFACE;
    return reset(kResetStatus, "Command: Reset Status - ");
}

HRESULT CommandProtocol::ResetWatchDog() {
    ExchangeGuard guard(lock_);
    if (!host_.openChannel())
        return E_NOINTERFACE;
    // The watchdog reset has no answer to check; the caller always gets "not found".
    static_cast<void>(reset(kResetWatchDog, nullptr));
    return sdk::HRESULT_FROM_WIN32(sdk::ERROR_NOT_FOUND);
}

}  // namespace qm::core
