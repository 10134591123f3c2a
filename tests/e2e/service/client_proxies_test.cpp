// The service through the client proxies: what it enumerates, how a change travels to the
// microphone, the description and the settings store, and how a refusal is cleared.
#include <filesystem>

#include "common/settings/system_paths.h"
#include "service_fixture.h"

namespace qm::e2e {
namespace {

using sdk::E_FAIL;
using sdk::E_NOINTERFACE;
using sdk::S_FALSE;
using sdk::S_OK;

class ClientProxies : public ServiceFixture {
  protected:
    void SetUp() override {
        ServiceFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(startService());
        ASSERT_NO_FATAL_FAILURE(waitUntilRead({"SN1001", "SN1002", "SN1003"}));
        client_ = connect();
        ASSERT_TRUE(client_);
    }
    std::shared_ptr<sdk::IQMDevice> device(const std::string& serial) {
        auto found = deviceOf(*client_, serial);
        EXPECT_TRUE(found) << serial;
        return found;
    }
    std::string xmlOf(const std::string& serial) {
        std::string xml;
        EXPECT_EQ(device(serial)->GetDeviceXML(xml), S_OK);
        return xml;
    }

    std::shared_ptr<sdk::IQuillmereSDK> client_;
};

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(ClientProxies, EnumeratesTheVirtualMicrophonesWithTheirModels) {
    EXPECT_EQ(serialsOf(*client_), (std::vector<std::string>{"SN1001", "SN1002", "SN1003"}));
    std::string version;
    EXPECT_EQ(client_->GetVersion(version), S_OK);
    EXPECT_EQ(version, "1.0.0.4");

    const std::vector<std::pair<std::string, std::string>> models = {
        {"SN1001", "Alder"}, {"SN1002", "Cedar"}, {"SN1003", "Larch"}};
    for (const auto& [serial, model] : models) {
        std::string name;
        EXPECT_EQ(device(serial)->GetName(name), S_OK);
        EXPECT_EQ(name, model);
        EXPECT_EQ(device(serial)->IsStarted(), S_OK);
        std::string vendor;
        EXPECT_EQ(device(serial)->GetVendorID(vendor), S_OK);
        EXPECT_EQ(vendor, "10C4");
    }
    // The description carries each model's blocks and nothing else.
    const std::string alder = xmlOf("SN1001");
    EXPECT_TRUE(contains(alder, "DirVolume=\"")) << alder;
    EXPECT_FALSE(contains(alder, "OUT_VOLUME=\""));
    const std::string cedar = xmlOf("SN1002");
    EXPECT_FALSE(contains(cedar, "DirVolume=\""));
    EXPECT_TRUE(contains(cedar, "OUT_VOLUME=\""));
    EXPECT_FALSE(contains(cedar, "TPA=\""));
    EXPECT_TRUE(contains(xmlOf("SN1003"), "TPA=\""));
    // The first read was written to the store.
    EXPECT_TRUE(cachedDword("SN1003", "TPA"));
}

TEST_F(ClientProxies, AChangeReachesTheMicrophoneTheDescriptionAndTheStore) {
    const auto alder = device("SN1001");
    ASSERT_EQ(alder->Set_EQ_GAIN(3, 200), S_OK);
    EXPECT_EQ(alder->GetLastStatus(), S_OK);
    EXPECT_TRUE(contains(xmlOf("SN1001"), "EQ_3_GAIN=\"200\""));
    EXPECT_EQ(cachedDword("SN1001", "EQ_3_GAIN"), 200u);
    // The microphone itself has it.
    unsigned char notch = 0;
    unsigned char gains[5] = {};
    ASSERT_EQ(
        alder->GetStatusEQ_NOTCH_GAIN(notch, gains[0], gains[1], gains[2], gains[3], gains[4]),
        S_OK);
    EXPECT_EQ(gains[2], 200);

    ASSERT_EQ(alder->SetVolume(0x80), S_OK);
    EXPECT_EQ(alder->GetLastStatus(), S_OK);
    EXPECT_TRUE(contains(xmlOf("SN1001"), "DspVolume=\"128\""));
    EXPECT_EQ(cachedDword("SN1001", "Volume"), 0x80u);

    const auto larch = device("SN1003");
    ASSERT_EQ(larch->Set_Ext_TPA(0x21), S_OK);
    EXPECT_EQ(larch->GetLastStatus(), S_OK);
    EXPECT_EQ(cachedDword("SN1003", "TPA"), 0x21u);
    unsigned char tpa = 0;
    EXPECT_EQ(larch->Get_Ext_TPA(tpa), S_OK);
    EXPECT_EQ(tpa, 0x21);
}

TEST_F(ClientProxies, ARefusedChangeIsClearedByResetStatus) {
    const auto sim = simulator();
    ASSERT_TRUE(sim);
    ASSERT_EQ(sim->SetFault("SN1002", "reject-changes", 1, 7), S_OK);
    const auto cedar = device("SN1002");
    EXPECT_EQ(cedar->Set_LPF(5), S_OK);  // the frame went out
    EXPECT_EQ(cedar->GetLastStatus(), E_FAIL);
    EXPECT_EQ(cedar->ResetStatus(), S_OK);
    EXPECT_EQ(cedar->Set_LPF(6), S_OK);
    EXPECT_EQ(cedar->GetLastStatus(), S_OK);
    unsigned char hpf1 = 0;
    unsigned char hpf2 = 0;
    unsigned char lpf = 0;
    EXPECT_EQ(cedar->GetStatusHPF_LPF(hpf1, hpf2, lpf), S_OK);
    EXPECT_EQ(lpf, 6);
}

TEST_F(ClientProxies, AnUnpluggedMicrophoneStaysKnownButTakesNoChanges) {
    ASSERT_EQ(simulator()->Unplug("SN1002"), S_OK);
    const auto cedar = device("SN1002");
    const auto deadline = std::chrono::steady_clock::now() + kBound;
    while (cedar->IsStarted() != S_FALSE) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "SN1002 was not stopped";
        pause();
    }
    EXPECT_EQ(cedar->IsInitialized(), S_OK);  // read once: stays so
    EXPECT_EQ(cedar->Set_LPF(1), E_NOINTERFACE);
    std::string xml;
    EXPECT_EQ(cedar->GetDeviceXML(xml), S_OK);
    EXPECT_TRUE(contains(xml, "SN=\"SN1002\""));
    EXPECT_EQ(serialsOf(*client_).size(), 3u);
}

TEST_F(ClientProxies, IdentityAndLogFolder) {
    const auto alder = device("SN1001");
    ASSERT_EQ(alder->SetFriendlyName("Desk & \"booth\""), S_OK);
    ASSERT_EQ(alder->SetDescription("left <of> two"), S_OK);
    std::string name;
    EXPECT_EQ(alder->GetFriendlyName(name), S_OK);
    EXPECT_EQ(name, "Desk & \"booth\"");
    const std::string xml = xmlOf("SN1001");
    EXPECT_TRUE(contains(xml, "FriendlyName=\"Desk &amp; &quot;booth&quot;\"")) << xml;
    EXPECT_TRUE(contains(xml, "Description=\"left &lt;of")) << xml;
    std::string description;
    EXPECT_EQ(alder->GetDescription(description), S_OK);
    EXPECT_EQ(description, "left <of> two");

    std::string folder;
    EXPECT_EQ(client_->GetLogFolder(folder), S_OK);
    EXPECT_EQ(folder.rfind(logFolder().string(), 0), 0u) << folder;
    const auto elsewhere = logFolder().parent_path() / "other logs";
    EXPECT_EQ(client_->SetLogFolder(elsewhere.string()), S_OK);
    EXPECT_EQ(client_->GetLogFolder(folder), S_OK);
    EXPECT_EQ(folder, elsewhere.string());
    EXPECT_TRUE(std::filesystem::is_directory(elsewhere));
}

}  // namespace
}  // namespace qm::e2e
