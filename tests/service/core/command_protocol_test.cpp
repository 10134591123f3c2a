#include "protocol_fixture.h"

#include "common/sdk/hresult.h"
#include "common/settings/models.h"

using namespace std::chrono_literals;

namespace qm::core::testing {
namespace {

using sdk::E_FAIL;
using sdk::E_INVALIDARG;
using sdk::E_NOINTERFACE;
using sdk::S_OK;
using settings::Setting;
using Bytes = std::vector<std::uint8_t>;
using Byte = unsigned char;

struct ChangeCase {
    const char* name;
    std::function<sdk::HRESULT(CommandProtocol&)> call;
    Bytes frame;
    std::vector<std::string> logLines;
    std::pair<Setting, std::uint8_t> stores;
};

ChangeCase change(const char* name, std::function<sdk::HRESULT(CommandProtocol&)> call, Bytes frame,
                  std::vector<std::string> logLines, std::pair<Setting, std::uint8_t> stores) {
    return {name, std::move(call), std::move(frame), std::move(logLines), stores};
}

// The two log lines of a change: the frame sent, then the bridge's answer.
std::vector<std::string> logged(const std::string& command, const std::string& bytes) {
    return {"0|Command: " + command + " - " + bytes,
            "0|Command: " + command + " - HID_UART_SUCCESS"};
}

std::vector<ChangeCase> changeCases() {
    return {
        change("SetDirectionVolume", [](auto& p) { return p.SetDirectionVolume(0x10); },
               {0x05, 0x10}, logged("Set DIR Volume", " 0x05 0x10"), {Setting::DirVolume, 0x10}),
        change("SetZoom", [](auto& p) { return p.SetZoom(3); }, {0x06, 0x03},
               logged("Set DIR Zoom", "0x06 0x03"), {Setting::Zoom, 3}),
        change("SetBeam", [](auto& p) { return p.SetBeam(2); }, {0x07, 0x02},
               logged("Set DIR Beam", "0x07 0x02"), {Setting::Beam, 2}),
        change("SetVolume", [](auto& p) { return p.SetVolume(0xA0); }, {0x09, 0xA0},
               logged("Set DSP Volume", "0x09 0xa0"), {Setting::Volume, 0xA0}),
        change("SetVolumeNorm", [](auto& p) { return p.SetVolumeNorm(); }, {0x09, 0x91}, {},
               {Setting::Volume, 0x91}),
        change("SetVolumeMute", [](auto& p) { return p.SetVolumeMute(); }, {0x09, 0x04}, {},
               {Setting::Volume, 0x04}),
        change("Set_LPF", [](auto& p) { return p.Set_LPF(5); }, {0x0D, 0x05},
               logged("Set LPF", "0x0d 0x05"), {Setting::LPF, 5}),
        change("Set_HPF_1", [](auto& p) { return p.Set_HPF_1(4); }, {0x0B, 0x04},
               {"0|Command: Set HPF 1m - 0x0b 0x04", "0|Command: Set HPF 1 - HID_UART_SUCCESS"},
               {Setting::HPF_1, 4}),
        change("Set_HPF_2", [](auto& p) { return p.Set_HPF_2(10); }, {0x0C, 0x0A},
               logged("Set HPF 2", "0x0c 0x0a"), {Setting::HPF_2, 10}),
        change("Set_EQ_NOTCH", [](auto& p) { return p.Set_EQ_NOTCH(0x1F); }, {0x0E, 0x00, 0x1F},
               logged("Set EQ NOTCH", "0x0e 0x00 0x1f"), {Setting::EQ_NOTCH, 0x1F}),
        change("Set_EQ_GAIN", [](auto& p) { return p.Set_EQ_GAIN(3, 0x20); }, {0x0E, 0x03, 0x20},
               logged("Set EQ Gain", "0x0e 0x03 0x20"), {Setting::EQ_3_GAIN, 0x20}),
        change("Set_EQ_POWER", [](auto& p) { return p.Set_EQ_POWER(0x02); }, {0x0F, 0x00, 0x02},
               logged("Set EQ Power", "0x0f 0x00 0x02"), {Setting::EQ_POWER, 2}),
        change("Set_EQ_BAND_WIDTH", [](auto& p) { return p.Set_EQ_BAND_WIDTH(2, 1000, 200); },
               {0x0F, 0x02, 0x23}, logged("Set EQ Band Width", "0x0f 0x02 0x23"),
               {Setting::EQ_2_BW_MODE, 0x23}),
        change("Set_EQ_BAND_WIDTH off grid",
               [](auto& p) { return p.Set_EQ_BAND_WIDTH(2, 1100, 200); }, {0x0F, 0x02, 0x00},
               logged("Set EQ Band Width", "0x0f 0x02 0x00"), {Setting::EQ_2_BW_MODE, 0}),
        change("Set_EQ_BAND_MODE", [](auto& p) { return p.Set_EQ_BAND_MODE(5, 0x39); },
               {0x0F, 0x05, 0x39}, logged("Set EQ Band Mode", "0x0f 0x05 0x39"),
               {Setting::EQ_5_BW_MODE, 0x39}),
        change("Set_ALC_RECOVERY", [](auto& p) { return p.Set_ALC_RECOVERY(0x15); },
               {0x0A, 0x00, 0x15}, logged("Set ALC Recovery", "0x0a 0x00 0x15"),
               {Setting::ALC_RECOVERY, 0x15}),
        change("Set_ALC_MODE", [](auto& p) { return p.Set_ALC_MODE(0x81); }, {0x0A, 0x01, 0x81},
               logged("Set ALC MODE", "0x0a 0x01 0x81"), {Setting::ALC_MODE, 0x81}),
        change("Set_ALC_REF_VALUE", [](auto& p) { return p.Set_ALC_REF_VALUE(0x91); },
               {0x0A, 0x02, 0x91}, logged("Set ALC Ref Volume", "0x0a 0x02 0x91"),
               {Setting::ALC_REF_VALUE, 0x91}),
        change("Set_Ext_OutVolume", [](auto& p) { return p.Set_Ext_OutVolume(30); }, {0x15, 0x1E},
               logged("Set Extended Analog Output volume", "0x15 0x1e"), {Setting::OUT_VOLUME, 30}),
        change("Set_Ext_TPA", [](auto& p) { return p.Set_Ext_TPA(0x83); }, {0x16, 0x83},
               logged("Set Extended Analog Gain volume and TPA mode", "0x16 0x83"),
               {Setting::TPA, 0x83}),
    };
}

using CommandProtocolTest = ProtocolFixture;

TEST_F(CommandProtocolTest, EveryChangeWritesItsFrameLogsTwiceAndStores) {
    for (const ChangeCase& c : changeCases()) {
        SCOPED_TRACE(c.name);
        log.clear();
        stored.clear();
        mic->clearFramesWritten();
        const TimePoint before = clock.now();
        EXPECT_EQ(c.call(protocol), S_OK);
        EXPECT_EQ(clock.now() - before, 10ms) << "one 10 ms wait, no read";
        EXPECT_EQ(mic->framesWritten(), std::vector<Bytes>{c.frame});
        EXPECT_EQ(log.lines(), c.logLines);
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(stored[0], c.stores);
        // The acknowledgement waits in the channel; a Larch refuses direction changes.
        const bool hasIt = settings::hasSetting(settings::Model::Larch, c.stores.first,
                                                settings::Place::DeviceRead);
        EXPECT_EQ(protocol.GetLastStatus(), hasIt ? S_OK : E_FAIL);
    }
}

TEST_F(CommandProtocolTest, BandNumbersOutsideOneToFiveAreSentButNotStored) {
    EXPECT_EQ(protocol.Set_EQ_GAIN(0, 0x07), E_INVALIDARG);
    EXPECT_EQ(lastFrame(), (Bytes{0x0E, 0x00, 0x07})) << "the microphone takes it as the notch";
    EXPECT_EQ(mic->settings()[Setting::EQ_NOTCH], 0x07);
    EXPECT_EQ(protocol.Set_EQ_BAND_MODE(6, 0x11), E_INVALIDARG);
    EXPECT_EQ(lastFrame(), (Bytes{0x0F, 0x06, 0x11}));
    EXPECT_EQ(protocol.Set_EQ_BAND_WIDTH(0, 500, 100), E_INVALIDARG);
    EXPECT_TRUE(stored.empty());
    EXPECT_EQ(log.lines().size(), 6u) << "both log lines of each are still written";
}

TEST_F(CommandProtocolTest, FailedWriteStoresNothingAndFailedStoreStillSends) {
    mic->setFaults({.failWrites = 1});
    EXPECT_EQ(protocol.Set_LPF(3), E_NOINTERFACE);
    EXPECT_TRUE(stored.empty());
    EXPECT_EQ(log.lines(), std::vector<std::string>{"0|Command: Set LPF - 0x0d 0x03"});

    registryFails = true;
    EXPECT_EQ(protocol.Set_LPF(4), E_INVALIDARG);
    EXPECT_EQ(mic->settings()[Setting::LPF], 4) << "the frame was sent";
}

TEST_F(CommandProtocolTest, ClosedChannelWritesNothing) {
    closeChannel();
    Byte b = 0x55;
    EXPECT_EQ(protocol.Set_LPF(3), E_NOINTERFACE);
    EXPECT_EQ(protocol.GetStatusDSP(b), E_NOINTERFACE);
    EXPECT_EQ(protocol.GetDirection(b, b, b), E_NOINTERFACE);
    std::string a, f;
    EXPECT_EQ(protocol.GetHardwareVer(a, f), E_NOINTERFACE);
    EXPECT_EQ(protocol.GetLastStatus(), E_NOINTERFACE);
    EXPECT_EQ(protocol.ResetDefault(), E_NOINTERFACE);
    EXPECT_EQ(protocol.ResetStatus(), E_NOINTERFACE);
    EXPECT_EQ(protocol.ResetWatchDog(), E_NOINTERFACE);
    EXPECT_TRUE(mic->framesWritten().empty());
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(b, 0x55);
}

TEST_F(CommandProtocolTest, StatusReadsCopyReplyBytesInOrder) {
    settings::DeviceSettings s = mic->settings();
    s[Setting::ALC_RECOVERY] = 1;
    s[Setting::ALC_MODE] = 2;
    s[Setting::ALC_REF_VALUE] = 3;
    s[Setting::ALC_VOLUME] = 4;
    s[Setting::HPF_1] = 11;
    s[Setting::HPF_2] = 12;
    s[Setting::LPF] = 13;
    for (int b = 1; b <= 5; ++b) {
        s[settings::eqGain(b)] = static_cast<std::uint8_t>(20 + b);
        s[settings::eqMode(b)] = static_cast<std::uint8_t>(0x30 + b);
    }
    s[Setting::EQ_NOTCH] = 0x1E;
    s[Setting::EQ_POWER] = 0x1F;
    s[Setting::OUT_VOLUME] = 40;
    s[Setting::TPA] = 0x42;
    s[Setting::Volume] = 0x77;
    mic->setSettings(s);

    Byte r = 0, m = 0, ref = 0, v = 0;
    const TimePoint before = clock.now();
    ASSERT_EQ(protocol.GetStatusALC(r, m, ref, v), S_OK);
    EXPECT_EQ(clock.now() - before, 160ms) << "10 ms wait and a read to the time-out";
    EXPECT_EQ(Bytes({r, m, ref, v}), Bytes({1, 2, 3, 4}));
    EXPECT_EQ(lastFrame(), (Bytes{0x08, 0x01}));
    Byte h1 = 0, h2 = 0, lpf = 0;
    ASSERT_EQ(protocol.GetStatusHPF_LPF(h1, h2, lpf), S_OK);
    EXPECT_EQ(Bytes({h1, h2, lpf}), Bytes({11, 12, 13}));
    Byte notch = 0, gains[5] = {};
    ASSERT_EQ(protocol.GetStatusEQ_NOTCH_GAIN(notch, gains), S_OK);
    EXPECT_EQ(notch, 0x1E);
    EXPECT_EQ(Bytes(gains, gains + 5), Bytes({21, 22, 23, 24, 25}));
    Byte power = 0, modes[5] = {};
    ASSERT_EQ(protocol.GetStatusEQ_POWER_BW_MODE(power, modes), S_OK);
    EXPECT_EQ(power, 0x1F);
    EXPECT_EQ(Bytes(modes, modes + 5), Bytes({0x31, 0x32, 0x33, 0x34, 0x35}));
    Byte out = 0, tpa = 0, dsp = 0;
    ASSERT_EQ(protocol.Get_Ext_OutVolume(out), S_OK);
    EXPECT_EQ(lastFrame(), (Bytes{0x10, 0x09}));
    EXPECT_EQ(out, 40);
    ASSERT_EQ(protocol.Get_Ext_TPA(tpa), S_OK);
    EXPECT_EQ(tpa, 0x42);
    ASSERT_EQ(protocol.GetStatusDSP(dsp), S_OK);
    EXPECT_EQ(dsp, 0x77);
    EXPECT_TRUE(stored.empty()) << "reads never change the settings record";
}

TEST_F(CommandProtocolTest, WrongBlockIsRejectedAndOutValuesStayUnchanged) {
    mic->setFaults({.wrongBlock = 1});
    Byte tpa = 0x99;
    EXPECT_EQ(protocol.Get_Ext_TPA(tpa), E_NOINTERFACE);
    EXPECT_EQ(tpa, 0x99);

    // A reply of block 09 to the TPA request (a stale output-volume reply) is rejected too.
    mic->setFaults({.noReply = 1});
    Byte out = 0;
    EXPECT_EQ(protocol.Get_Ext_OutVolume(out), E_NOINTERFACE);  // its reply never came...
    clock.advance(1ms);
    Byte r = 0, m = 0, ref = 0, v = 0;
    EXPECT_EQ(protocol.GetStatusALC(r, m, ref, v), S_OK);
    // ...this one arrives after the read time-out
    mic->setFaults({.replyDelay = 200ms});
    EXPECT_EQ(protocol.Get_Ext_OutVolume(out), E_NOINTERFACE);
    mic->setFaults({});
    EXPECT_EQ(protocol.Get_Ext_TPA(tpa), E_NOINTERFACE) << "stale 09 reply first in the buffer";
    EXPECT_EQ(tpa, 0x99);
}

TEST_F(CommandProtocolTest, NoReplyAndGarbageAreFailures) {
    mic->setFaults({.noReply = 1});
    Byte dsp = 0x42;
    EXPECT_EQ(protocol.GetStatusDSP(dsp), E_NOINTERFACE)
        << "an empty read is not a reply of block 00";
    EXPECT_EQ(dsp, 0x42);
    mic->setFaults({.garbage = 1});
    EXPECT_EQ(protocol.GetStatusDSP(dsp), E_NOINTERFACE);
    EXPECT_EQ(dsp, 0x42);
    mic->setFaults({.failWrites = 1});
    EXPECT_EQ(protocol.GetStatusDSP(dsp), E_NOINTERFACE);
}

TEST_F(CommandProtocolTest, DirectionNeedsItsFourReplyBytesButNoBlockCheckOrWait) {
    plugAndOpen("Alder", "SN200");
    mic->updateSettings({{Setting::DirVolume, 7}, {Setting::Zoom, 8}, {Setting::Beam, 9}});
    Byte v = 0, z = 0, b = 0;
    const TimePoint before = clock.now();
    ASSERT_EQ(protocol.GetDirection(v, z, b), S_OK);
    EXPECT_EQ(clock.now() - before, 150ms) << "no 10 ms wait";
    EXPECT_EQ(Bytes({v, z, b}), Bytes({7, 8, 9}));
    mic->setFaults({.wrongBlock = 1});
    ASSERT_EQ(protocol.GetDirection(v, z, b), S_OK) << "the block byte is not checked";
    EXPECT_EQ(Bytes({v, z, b}), Bytes({7, 8, 9}));

    // No answer: a failure, and the out values keep what they held.
    mic->setFaults({.noReply = 1});
    v = z = b = 0x55;
    EXPECT_EQ(protocol.GetDirection(v, z, b), E_NOINTERFACE);
    EXPECT_EQ(Bytes({v, z, b}), Bytes({0x55, 0x55, 0x55}));
}

TEST_F(CommandProtocolTest, HardwareVersionFormats) {
    std::string api = "unset", fw = "unset";
    ASSERT_EQ(protocol.GetHardwareVer(api, fw), S_OK);
    EXPECT_EQ(api, "0x0x01");
    EXPECT_EQ(fw, "0x12");
    mic->setFaults({.garbage = 1});
    api = fw = "kept";
    EXPECT_EQ(protocol.GetHardwareVer(api, fw), S_OK);
    EXPECT_EQ(api, "kept");
    EXPECT_EQ(fw, "kept");
}

TEST_F(CommandProtocolTest, LastStatusReadsTheAcknowledgement) {
    ASSERT_EQ(protocol.Set_LPF(2), S_OK);
    log.clear();
    EXPECT_EQ(protocol.GetLastStatus(), S_OK);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"0|Command: GetLastStatus - 0x00"});
    log.clear();
    EXPECT_EQ(protocol.GetLastStatus(), E_FAIL) << "nothing left to read is no acknowledgement";
    EXPECT_EQ(log.lines(), std::vector<std::string>{"2|Command: GetLastStatus - ERROR !!!"});

    mic->setFaults({.rejectChanges = 1, .rejectCode = 0x03});
    EXPECT_EQ(protocol.Set_LPF(9), S_OK) << "the change call does not read the answer";
    EXPECT_EQ(protocol.GetLastStatus(), E_FAIL);
    EXPECT_EQ(protocol.ResetStatus(), S_OK);
    EXPECT_EQ(lastFrame(), (Bytes{0x02, 0x01, 0xAA, 0x55}));
}

TEST_F(CommandProtocolTest, Resets) {
    EXPECT_EQ(protocol.ResetWatchDog(), static_cast<sdk::HRESULT>(0x80070490u));
    EXPECT_EQ(lastFrame(), (Bytes{0x02, 0x02, 0xAA, 0x55}));
    EXPECT_TRUE(log.lines().empty()) << "no log line for the watchdog";

    EXPECT_EQ(protocol.ResetStatus(), S_OK);
    EXPECT_EQ(log.lines(),
              std::vector<std::string>{"0|Command: Reset Status - 0x02 0x01 0xaa 0x55"});
    log.clear();

    ASSERT_EQ(protocol.Set_LPF(7), S_OK);
    log.clear();
    const TimePoint before = clock.now();
    EXPECT_EQ(protocol.ResetDefault(), S_OK);
    EXPECT_EQ(clock.now() - before, 20ms);
    EXPECT_EQ(lastFrame(), (Bytes{0x02, 0x00, 0xAA, 0x55}));
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"0|Command: Reset Default - 0x02 0x00 0xaa 0x55",
                                        "0|Starting device after Command: Reset Default ... "}));
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(mic->settings()[Setting::LPF], 0) << "the microphone restored its defaults";

    mic->setFaults({.failWrites = 1});
    EXPECT_EQ(protocol.ResetStatus(), S_OK) << "the write's result is not examined";
}

TEST_F(CommandProtocolTest, ShortReadEndingWithTimeOutIsStillARead) {
    Byte dsp = 0;
    ASSERT_EQ(protocol.GetStatusDSP(dsp), S_OK);  // the virtual bridge ends every read at 0x12
    EXPECT_EQ(dsp, mic->settings()[Setting::Volume]);
}

TEST_F(CommandProtocolTest, StoppedWaiterGivesUpTheLock) {
    ASSERT_TRUE(lock.acquire());
    std::stop_source stop;
    stop.request_stop();
    Byte dsp = 0;
    EXPECT_EQ(protocol.GetStatusDSP(dsp, stop.get_token()), sdk::E_ABORT);
    lock.release();
    EXPECT_TRUE(mic->framesWritten().empty());
}

}  // namespace
}  // namespace qm::core::testing
