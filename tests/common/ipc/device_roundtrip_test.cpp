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
const std::string& show(const std::string& value) {
    return value;
}

// The in value at `position` in a parameter list, and the start of an out value.
template <typename T>
T sample(int position);
template <>
unsigned char sample(int position) {
    return static_cast<unsigned char>(200 + position);
}
template <>
int sample(int position) {
    return position % 2 == 1 ? 1000 + position : -250 - position;
}
template <>
std::string sample(int /*position*/) {
    return kTrickyText;
}
template <typename T>
T sentinel();
template <>
unsigned char sentinel() {
    return kByteSentinel;
}
template <>
int sentinel() {
    return kIntSentinel;
}
template <>
std::string sentinel() {
    return kStringSentinel;
}

struct Outcome {
    HRESULT hr;
    std::vector<std::string> outs;
};

struct Row {
    const char* method;
    std::function<Outcome(IQMDevice&)> call;
};

// One row per method of the table: fixed arguments, out values starting as sentinels.
#define QM_ROW_DECLARE(dir, type, name) QM_ROW_DECLARE_##dir(type, name)
#define QM_ROW_DECLARE_in(type, name) const type name = sample<type>(position++);
#define QM_ROW_DECLARE_out(type, name) type name = sentinel<type>();
#define QM_ROW_SHOW(dir, type, name) QM_ROW_SHOW_##dir(name)
#define QM_ROW_SHOW_in(name)
#define QM_ROW_SHOW_out(name) show(name),
#define QM_ROW(Name, ...)                                             \
    {#Name, [](IQMDevice& d) {                                        \
         [[maybe_unused]] int position = 0;                           \
         QM_FOR_EACH(QM_ROW_DECLARE, __VA_ARGS__)                     \
         const HRESULT hr = d.Name(QM_ARGUMENTS(__VA_ARGS__));        \
         return Outcome{hr, {QM_FOR_EACH(QM_ROW_SHOW, __VA_ARGS__)}}; \
     }},
const Row kRows[] = {QM_DEVICE_METHODS(QM_ROW)};

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

class DeviceTexts : public IpcFixture {
  protected:
    void SetUp() override {
        IpcFixture::SetUp();
        manager_->setDevices({device_});
        client_ = connect();
        proxy_ = enumerateAll(*client_).at(0);
    }

    std::shared_ptr<FakeDevice> device_ = std::make_shared<FakeDevice>("SN1");
    std::shared_ptr<sdk::IQuillmereSDK> client_;
    std::shared_ptr<IQMDevice> proxy_;
};

TEST_F(DeviceTexts, StoredTextComesBackExactly) {
    const std::string name =
        "Kanal \xE2\x80\x9E"
        "A\xE2\x80\x9C 50% %s%s%s \xD0\x9C\xD0\xB8\xD0\xBA";
    ASSERT_EQ(proxy_->SetFriendlyName(name), sdk::S_OK);
    ASSERT_EQ(proxy_->SetDescription(std::string(3000, 'd') + "%n"), sdk::S_OK);
    std::string readName;
    std::string readDescription;
    EXPECT_EQ(proxy_->GetFriendlyName(readName), sdk::S_OK);
    EXPECT_EQ(proxy_->GetDescription(readDescription), sdk::S_OK);
    EXPECT_EQ(readName, name);
    EXPECT_EQ(readDescription, std::string(3000, 'd') + "%n");
}

TEST_F(DeviceTexts, VersionStringsNotSetByTheDeviceStayTheCallers) {
    device_->setVersionUnknown();
    std::string api = "kept";
    std::string firmware = "kept too";
    EXPECT_EQ(proxy_->GetHardwareVer(api, firmware), sdk::S_OK);
    EXPECT_EQ(api, "kept");
    EXPECT_EQ(firmware, "kept too");
}

TEST_F(DeviceTexts, InvalidUtf8IsRepairedInsteadOfFailingTheCall) {
    EXPECT_EQ(proxy_->SetFriendlyName("bad \xFF byte"), sdk::S_OK);
    EXPECT_EQ(device_->lastCall(), "SetFriendlyName(\"bad \xEF\xBF\xBD byte\")");
}

}  // namespace
}  // namespace qm::ipc::testing
