// Every IQMDevice method through the bus: arguments reach the device object unchanged, out
// values and results come back unchanged, and out values stay untouched on failure exactly as
// they do in process.
#include <gtest/gtest.h>

#include <functional>

#include "ipc_fixture.h"

namespace qm::ipc::testing {
namespace {

using sdk::HRESULT;
using sdk::IQMDevice;

constexpr unsigned char kByteSentinel = 0xEE;
constexpr int kIntSentinel = 12345;
const std::string kStringSentinel = "unchanged";
const std::string kTrickyText =
    "Mikrofon \xE2\x80\x9EStudio\xE2\x80\x9C 100% %s %n \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xA4";

std::string show(unsigned char value) {
    return std::to_string(static_cast<int>(value));
}
std::string show(int value) {
    return std::to_string(value);
}

struct Outcome {
    HRESULT hr;
    std::vector<std::string> outs;
};

struct Row {
    const char* method;
    std::function<Outcome(IQMDevice&)> call;
};

// One row per method in slot order; arguments are fixed, out values start as sentinels.
const Row kRows[] = {
    {"GetDeviceIndexHID",
     [](IQMDevice& d) {
         int nDeviceIndex = kIntSentinel;
         const HRESULT hr = d.GetDeviceIndexHID(nDeviceIndex);
         return Outcome{hr, {show(nDeviceIndex)}};
     }},
    {"GetDeviceSN",
     [](IQMDevice& d) {
         std::string bstrDeviceSN = kStringSentinel;
         const HRESULT hr = d.GetDeviceSN(bstrDeviceSN);
         return Outcome{hr, {bstrDeviceSN}};
     }},
    {"IsStarted",
     [](IQMDevice& d) {
         const HRESULT hr = d.IsStarted();
         return Outcome{hr, {}};
     }},
    {"IsInitialized",
     [](IQMDevice& d) {
         const HRESULT hr = d.IsInitialized();
         return Outcome{hr, {}};
     }},
    {"GetDeviceXML",
     [](IQMDevice& d) {
         std::string bstrXML = kStringSentinel;
         const HRESULT hr = d.GetDeviceXML(bstrXML);
         return Outcome{hr, {bstrXML}};
     }},
    {"GetName",
     [](IQMDevice& d) {
         std::string bstrName = kStringSentinel;
         const HRESULT hr = d.GetName(bstrName);
         return Outcome{hr, {bstrName}};
     }},
    {"GetVendorID",
     [](IQMDevice& d) {
         std::string bstrVendorID = kStringSentinel;
         const HRESULT hr = d.GetVendorID(bstrVendorID);
         return Outcome{hr, {bstrVendorID}};
     }},
    {"GetProductID",
     [](IQMDevice& d) {
         std::string bstrProductID = kStringSentinel;
         const HRESULT hr = d.GetProductID(bstrProductID);
         return Outcome{hr, {bstrProductID}};
     }},
    {"GetHardwareID",
     [](IQMDevice& d) {
         std::string bstrHardwareID = kStringSentinel;
         const HRESULT hr = d.GetHardwareID(bstrHardwareID);
         return Outcome{hr, {bstrHardwareID}};
     }},
    {"GetHardwareVer",
     [](IQMDevice& d) {
         std::string bstrApiVer = kStringSentinel;
         std::string bstrFwVer = kStringSentinel;
         const HRESULT hr = d.GetHardwareVer(bstrApiVer, bstrFwVer);
         return Outcome{hr, {bstrApiVer, bstrFwVer}};
     }},
    {"GetContainerID",
     [](IQMDevice& d) {
         std::string bstrContainerID = kStringSentinel;
         const HRESULT hr = d.GetContainerID(bstrContainerID);
         return Outcome{hr, {bstrContainerID}};
     }},
    {"SetFriendlyName",
     [](IQMDevice& d) {
         const HRESULT hr = d.SetFriendlyName(kTrickyText);
         return Outcome{hr, {}};
     }},
    {"GetFriendlyName",
     [](IQMDevice& d) {
         std::string bstrFriendlyName = kStringSentinel;
         const HRESULT hr = d.GetFriendlyName(bstrFriendlyName);
         return Outcome{hr, {bstrFriendlyName}};
     }},
    {"SetDescription",
     [](IQMDevice& d) {
         const HRESULT hr = d.SetDescription(kTrickyText);
         return Outcome{hr, {}};
     }},
    {"GetDescription",
     [](IQMDevice& d) {
         std::string bstrDescription = kStringSentinel;
         const HRESULT hr = d.GetDescription(bstrDescription);
         return Outcome{hr, {bstrDescription}};
     }},
    {"ResetDefault",
     [](IQMDevice& d) {
         const HRESULT hr = d.ResetDefault();
         return Outcome{hr, {}};
     }},
    {"ResetStatus",
     [](IQMDevice& d) {
         const HRESULT hr = d.ResetStatus();
         return Outcome{hr, {}};
     }},
    {"ResetWatchDog",
     [](IQMDevice& d) {
         const HRESULT hr = d.ResetWatchDog();
         return Outcome{hr, {}};
     }},
    {"GetLastStatus",
     [](IQMDevice& d) {
         const HRESULT hr = d.GetLastStatus();
         return Outcome{hr, {}};
     }},
    {"GetStatusDSP",
     [](IQMDevice& d) {
         unsigned char pbVolume = kByteSentinel;
         const HRESULT hr = d.GetStatusDSP(pbVolume);
         return Outcome{hr, {show(pbVolume)}};
     }},
    {"GetStatusALC",
     [](IQMDevice& d) {
         unsigned char pbRecovery = kByteSentinel;
         unsigned char pbMode = kByteSentinel;
         unsigned char pbRefVal = kByteSentinel;
         unsigned char pbVolume = kByteSentinel;
         const HRESULT hr = d.GetStatusALC(pbRecovery, pbMode, pbRefVal, pbVolume);
         return Outcome{hr, {show(pbRecovery), show(pbMode), show(pbRefVal), show(pbVolume)}};
     }},
    {"GetStatusHPF_LPF",
     [](IQMDevice& d) {
         unsigned char pbHPF_1 = kByteSentinel;
         unsigned char pbHPF_2 = kByteSentinel;
         unsigned char pbLPF = kByteSentinel;
         const HRESULT hr = d.GetStatusHPF_LPF(pbHPF_1, pbHPF_2, pbLPF);
         return Outcome{hr, {show(pbHPF_1), show(pbHPF_2), show(pbLPF)}};
     }},
    {"GetStatusEQ_NOTCH_GAIN",
     [](IQMDevice& d) {
         unsigned char pbNOTCH = kByteSentinel;
         unsigned char pbEQ_1_GAIN = kByteSentinel;
         unsigned char pbEQ_2_GAIN = kByteSentinel;
         unsigned char pbEQ_3_GAIN = kByteSentinel;
         unsigned char pbEQ_4_GAIN = kByteSentinel;
         unsigned char pbEQ_5_GAIN = kByteSentinel;
         const HRESULT hr = d.GetStatusEQ_NOTCH_GAIN(pbNOTCH, pbEQ_1_GAIN, pbEQ_2_GAIN, pbEQ_3_GAIN,
                                                     pbEQ_4_GAIN, pbEQ_5_GAIN);
         return Outcome{hr,
                        {show(pbNOTCH), show(pbEQ_1_GAIN), show(pbEQ_2_GAIN), show(pbEQ_3_GAIN),
                         show(pbEQ_4_GAIN), show(pbEQ_5_GAIN)}};
     }},
    {"GetStatusEQ_POWER_BW_MODE",
     [](IQMDevice& d) {
         unsigned char pbPOWER = kByteSentinel;
         unsigned char pbEQ_1_BW_MODE = kByteSentinel;
         unsigned char pbEQ_2_BW_MODE = kByteSentinel;
         unsigned char pbEQ_3_BW_MODE = kByteSentinel;
         unsigned char pbEQ_4_BW_MODE = kByteSentinel;
         unsigned char pbEQ_5_BW_MODE = kByteSentinel;
         const HRESULT hr =
             d.GetStatusEQ_POWER_BW_MODE(pbPOWER, pbEQ_1_BW_MODE, pbEQ_2_BW_MODE, pbEQ_3_BW_MODE,
                                         pbEQ_4_BW_MODE, pbEQ_5_BW_MODE);
         return Outcome{hr,
                        {show(pbPOWER), show(pbEQ_1_BW_MODE), show(pbEQ_2_BW_MODE),
                         show(pbEQ_3_BW_MODE), show(pbEQ_4_BW_MODE), show(pbEQ_5_BW_MODE)}};
     }},
    {"SetDirectionVolume",
     [](IQMDevice& d) {
         const HRESULT hr = d.SetDirectionVolume(200);
         return Outcome{hr, {}};
     }},
    {"GetDirection",
     [](IQMDevice& d) {
         unsigned char pbVol = kByteSentinel;
         unsigned char pbZoom = kByteSentinel;
         unsigned char pbBeam = kByteSentinel;
         const HRESULT hr = d.GetDirection(pbVol, pbZoom, pbBeam);
         return Outcome{hr, {show(pbVol), show(pbZoom), show(pbBeam)}};
     }},
    {"SetVolume",
     [](IQMDevice& d) {
         const HRESULT hr = d.SetVolume(200);
         return Outcome{hr, {}};
     }},
    {"SetVolumeNorm",
     [](IQMDevice& d) {
         const HRESULT hr = d.SetVolumeNorm();
         return Outcome{hr, {}};
     }},
    {"SetVolumeMute",
     [](IQMDevice& d) {
         const HRESULT hr = d.SetVolumeMute();
         return Outcome{hr, {}};
     }},
    {"SetZoom",
     [](IQMDevice& d) {
         const HRESULT hr = d.SetZoom(200);
         return Outcome{hr, {}};
     }},
    {"SetBeam",
     [](IQMDevice& d) {
         const HRESULT hr = d.SetBeam(200);
         return Outcome{hr, {}};
     }},
    {"Set_LPF",
     [](IQMDevice& d) {
         const HRESULT hr = d.Set_LPF(200);
         return Outcome{hr, {}};
     }},
    {"Set_HPF_1",
     [](IQMDevice& d) {
         const HRESULT hr = d.Set_HPF_1(200);
         return Outcome{hr, {}};
     }},
    {"Set_HPF_2",
     [](IQMDevice& d) {
         const HRESULT hr = d.Set_HPF_2(200);
         return Outcome{hr, {}};
     }},
    {"Set_EQ_NOTCH",
     [](IQMDevice& d) {
         const HRESULT hr = d.Set_EQ_NOTCH(200);
         return Outcome{hr, {}};
     }},
    {"Set_EQ_GAIN",
     [](IQMDevice& d) {
         const HRESULT hr = d.Set_EQ_GAIN(200, 201);
         return Outcome{hr, {}};
     }},
    {"Set_EQ_POWER",
     [](IQMDevice& d) {
         const HRESULT hr = d.Set_EQ_POWER(200);
         return Outcome{hr, {}};
     }},
    {"Set_EQ_BAND_WIDTH",
     [](IQMDevice& d) {
         const HRESULT hr = d.Set_EQ_BAND_WIDTH(200, 1000, -250);
         return Outcome{hr, {}};
     }},
    {"Set_EQ_BAND_MODE",
     [](IQMDevice& d) {
         const HRESULT hr = d.Set_EQ_BAND_MODE(200, 201);
         return Outcome{hr, {}};
     }},
    {"Set_ALC_RECOVERY",
     [](IQMDevice& d) {
         const HRESULT hr = d.Set_ALC_RECOVERY(200);
         return Outcome{hr, {}};
     }},
    {"Set_ALC_MODE",
     [](IQMDevice& d) {
         const HRESULT hr = d.Set_ALC_MODE(200);
         return Outcome{hr, {}};
     }},
    {"Set_ALC_REF_VALUE",
     [](IQMDevice& d) {
         const HRESULT hr = d.Set_ALC_REF_VALUE(200);
         return Outcome{hr, {}};
     }},
    {"Get_Ext_OutVolume",
     [](IQMDevice& d) {
         unsigned char pbVolume = kByteSentinel;
         const HRESULT hr = d.Get_Ext_OutVolume(pbVolume);
         return Outcome{hr, {show(pbVolume)}};
     }},
    {"Set_Ext_OutVolume",
     [](IQMDevice& d) {
         const HRESULT hr = d.Set_Ext_OutVolume(200);
         return Outcome{hr, {}};
     }},
    {"Get_Ext_TPA",
     [](IQMDevice& d) {
         unsigned char pbTPA = kByteSentinel;
         const HRESULT hr = d.Get_Ext_TPA(pbTPA);
         return Outcome{hr, {show(pbTPA)}};
     }},
    {"Set_Ext_TPA",
     [](IQMDevice& d) {
         const HRESULT hr = d.Set_Ext_TPA(200);
         return Outcome{hr, {}};
     }},
};

class DeviceRoundTrip : public IpcFixture, public ::testing::WithParamInterface<HRESULT> {
  protected:
    void SetUp() override {
        IpcFixture::SetUp();
        remote_ = std::make_shared<FakeDevice>("SN4711", 0x40);
        manager_->setDevices({remote_});
        client_ = connect();
        auto listed = enumerateAll(*client_);
        ASSERT_EQ(listed.size(), 1u);
        proxy_ = listed[0];
    }

    std::shared_ptr<FakeDevice> remote_;
    FakeDevice twin_{"SN4711", 0x40};
    std::shared_ptr<sdk::IQuillmereSDK> client_;
    std::shared_ptr<IQMDevice> proxy_;
};

TEST_P(DeviceRoundTrip, EveryMethodAnswersAsTheDeviceObject) {
    const HRESULT result = GetParam();
    remote_->setResult(result);
    twin_.setResult(result);
    EXPECT_EQ(std::size(kRows), 46u);
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.method);
        const Outcome local = row.call(twin_);
        const Outcome remote = row.call(*proxy_);
        EXPECT_EQ(remote.hr, local.hr);
        EXPECT_EQ(remote.outs, local.outs);
        EXPECT_EQ(remote_->lastCall(), twin_.lastCall());
        if (sdk::SUCCEEDED(result)) {
            // The comparison means something only if the device really set its out values.
            for (const std::string& out : local.outs) {
                EXPECT_NE(out, kStringSentinel);
                EXPECT_NE(out, show(kByteSentinel));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Results, DeviceRoundTrip,
                         ::testing::Values(sdk::S_OK, sdk::S_FALSE, sdk::E_NOINTERFACE,
                                           sdk::E_INVALIDARG,
                                           sdk::HRESULT_FROM_WIN32(sdk::ERROR_NOT_FOUND)));

class DeviceTexts : public IpcFixture {};

TEST_F(DeviceTexts, StoredTextComesBackExactly) {
    auto device = std::make_shared<FakeDevice>("SN1");
    manager_->setDevices({device});
    auto client = connect();
    auto proxy = enumerateAll(*client).at(0);
    const std::string name =
        "Kanal \xE2\x80\x9E"
        "A\xE2\x80\x9C 50% %s%s%s \xD0\x9C\xD0\xB8\xD0\xBA";
    ASSERT_EQ(proxy->SetFriendlyName(name), sdk::S_OK);
    ASSERT_EQ(proxy->SetDescription(std::string(3000, 'd') + "%n"), sdk::S_OK);
    std::string readName;
    std::string readDescription;
    EXPECT_EQ(proxy->GetFriendlyName(readName), sdk::S_OK);
    EXPECT_EQ(proxy->GetDescription(readDescription), sdk::S_OK);
    EXPECT_EQ(readName, name);
    EXPECT_EQ(readDescription, std::string(3000, 'd') + "%n");
}

TEST_F(DeviceTexts, VersionStringsNotSetByTheDeviceStayTheCallers) {
    auto device = std::make_shared<FakeDevice>("SN1");
    device->setVersionUnknown();
    manager_->setDevices({device});
    auto client = connect();
    auto proxy = enumerateAll(*client).at(0);
    std::string api = "kept";
    std::string firmware = "kept too";
    EXPECT_EQ(proxy->GetHardwareVer(api, firmware), sdk::S_OK);
    EXPECT_EQ(api, "kept");
    EXPECT_EQ(firmware, "kept too");
}

TEST_F(DeviceTexts, InvalidUtf8IsRepairedInsteadOfFailingTheCall) {
    auto device = std::make_shared<FakeDevice>("SN1");
    manager_->setDevices({device});
    auto client = connect();
    auto proxy = enumerateAll(*client).at(0);
    EXPECT_EQ(proxy->SetFriendlyName("bad \xFF byte"), sdk::S_OK);
    EXPECT_EQ(device->lastCall(), "SetFriendlyName(\"bad \xEF\xBF\xBD byte\")");
}

}  // namespace
}  // namespace qm::ipc::testing
