#include "tools/qmctl/report_format.h"

#include <gtest/gtest.h>

#include "common/ipc/ipc_result.h"

namespace qm::qmctl {
namespace {

std::vector<ModelGroup> twoGroups() {
    return {
        {"Alder", {{"SN1001", "Alder", "Desk", true, true}, {"SN7", "alder", "", false, true}}},
        {"Cedar", {{"SN1002", "Cedar", "", true, false}}},
    };
}

TEST(ListReport, TextGroupsAlignsAndShowsState) {
    EXPECT_EQ(listText(twoGroups()),
              "Alder\n"
              "  SN1001  started      Desk\n"
              "  SN7     not started\n"
              "Cedar\n"
              "  SN1002  starting\n");
    EXPECT_EQ(listText({}), "No microphones are known to the service.\n");
    EXPECT_EQ(listText({{"", {{"X", "", "", false, false}}}}),
              "(no product name)\n  X  not started\n");
}

TEST(ListReport, JsonIsOneLineWithTheModelOfEachGroup) {
    EXPECT_EQ(listJson(twoGroups()),
              R"j({"microphones":[)j"
              R"j({"serial":"SN1001","model":"Alder","product":"Alder","friendlyName":"Desk",)j"
              R"j("state":"started","started":true,"initialized":true},)j"
              R"j({"serial":"SN7","model":"Alder","product":"alder","friendlyName":"",)j"
              R"j("state":"not started","started":false,"initialized":true},)j"
              R"j({"serial":"SN1002","model":"Cedar","product":"Cedar","friendlyName":"",)j"
              R"j("state":"starting","started":true,"initialized":false}]})j"
              "\n");
    EXPECT_EQ(listJson({}), "{\"microphones\":[]}\n");
}

TEST(TextReports, ControlCharactersFromTheServiceCannotReachTheTerminal) {
    EXPECT_EQ(printable("a\nb\x1b[2Jc\x7f"), "a?b?[2Jc?");
    EXPECT_EQ(printable("Mikrofon \xC3\xA9"), "Mikrofon \xC3\xA9");
    const std::vector<ModelGroup> evil = {{"Alder", {{"S\n1", "Alder", "x\ry", true, true}}}};
    EXPECT_EQ(listText(evil), "Alder\n  S?1  started      x?y\n");
}

MicrophoneDetails startedCedar() {
    MicrophoneDetails details;
    details.description.serial = "SN1002";
    details.description.name = "Cedar";
    details.description.friendlyName = "Booth";
    details.description.containerId = "{C}";
    details.description.settings = {{"LPF", "LPF", "3", 3},
                                    {"DspVolume", "Volume", "145", 145},
                                    {"Future", "Future", "n/a", std::nullopt}};
    details.started = true;
    details.initialized = true;
    details.vendorId = "10C4";
    details.productId = "EAB0";
    details.apiVersion = "0x01";
    details.firmwareVersion = "0x12";
    return details;
}

TEST(ShowReport, TextListsIdentityThenSettings) {
    EXPECT_EQ(showText(startedCedar()),
              "Microphone SN1002\n"
              "  Model          Cedar\n"
              "  Friendly name  Booth\n"
              "  Description    \n"
              "  Container ID   {C}\n"
              "  State          started\n"
              "  Vendor ID      10C4\n"
              "  Product ID     EAB0\n"
              "  Hardware       API 0x01, firmware 0x12\n"
              "Settings\n"
              "  LPF            3    0x03\n"
              "  Volume         145  0x91\n"
              "  Future         n/a\n");
    MicrophoneDetails cached = startedCedar();
    cached.started = false;
    cached.cachedValues = true;
    cached.vendorId.reset();
    cached.productId.reset();
    cached.apiVersion.reset();
    const std::string text = showText(cached);
    EXPECT_NE(text.find("  State          not started\n"), std::string::npos);
    EXPECT_EQ(text.find("Vendor ID"), std::string::npos);
    EXPECT_NE(text.find("Settings (cached: the microphone has not been read since the service "
                        "started)\n"),
              std::string::npos);
}

TEST(ShowReport, JsonHasNullForWhatIsNotKnown) {
    MicrophoneDetails details = startedCedar();
    details.vendorId.reset();
    EXPECT_EQ(showJson(details),
              R"j({"serial":"SN1002","name":"Cedar","friendlyName":"Booth","description":"",)j"
              R"j("containerId":"{C}","state":"started","started":true,"initialized":true,)j"
              R"j("cachedValues":false,"vendorId":null,"productId":"EAB0","apiVersion":"0x01",)j"
              R"j("firmwareVersion":"0x12","settings":{"LPF":3,"Volume":145,"Future":"n/a"}})j"
              "\n");
}

TEST(ChangeReport, SaysWhatWasCalledAndWhatCameBack) {
    ChangeOutcome accepted{{"Set_EQ_GAIN", 3, 200}, sdk::S_OK, sdk::S_OK, std::nullopt};
    EXPECT_EQ(changeText("SN1001", accepted),
              "SN1001: Set_EQ_GAIN(3, 200) returned S_OK; the microphone acknowledged the "
              "change\n");
    EXPECT_EQ(changeJson("SN1001", "EQ_3_GAIN", accepted),
              R"j({"serial":"SN1001","setting":"EQ_3_GAIN","value":200,)j"
              R"j("call":"Set_EQ_GAIN(3, 200)","result":"S_OK","acknowledged":true,)j"
              R"j("lastStatus":"S_OK","resetStatus":null})j"
              "\n");

    ChangeOutcome refused{{"Set_LPF", std::nullopt, 5}, sdk::S_OK, sdk::E_FAIL, sdk::S_OK};
    EXPECT_EQ(changeText("SN1001", refused),
              "SN1001: Set_LPF(5) returned S_OK; the microphone did not acknowledge it "
              "(GetLastStatus E_FAIL (0x80004005)); ResetStatus S_OK\n");
    EXPECT_EQ(changeJson("SN1001", "LPF", refused),
              R"j({"serial":"SN1001","setting":"LPF","value":5,"call":"Set_LPF(5)",)j"
              R"j("result":"S_OK","acknowledged":false,"lastStatus":"E_FAIL",)j"
              R"j("resetStatus":"S_OK"})j"
              "\n");

    ChangeOutcome unreached{
        {"Set_LPF", std::nullopt, 5}, ipc::kServiceUnavailable, std::nullopt, std::nullopt};
    EXPECT_EQ(changeText("SN1001", unreached),
              "SN1001: Set_LPF(5) returned RPC_S_SERVER_UNAVAILABLE (0x800706BA)\n");
}

TEST(SimListReport, TextAndJson) {
    const std::vector<ipc::SimulatedMicrophoneState> mics = {{"SN1001", "Alder", true},
                                                             {"SN1", "Larch", false}};
    EXPECT_EQ(simListText(mics),
              "  SN1001  Alder  plugged in\n"
              "  SN1     Larch  unplugged\n");
    EXPECT_EQ(simListJson(mics), R"j({"microphones":[{"serial":"SN1001","model":"Alder",)j"
                                 R"j("plugged":true},{"serial":"SN1","model":"Larch",)j"
                                 R"j("plugged":false}]})j"
                                 "\n");
    EXPECT_EQ(simListText({}), "No virtual microphones.\n");
}

TEST(NotificationReport, LinesNameTheStateOrItsNumber) {
    EXPECT_EQ(notificationName(9), "state 9");
    EXPECT_EQ(notificationText("SN1001", 2), "SN1001 new (2)\n");
    EXPECT_EQ(notificationJson("000000", -1),
              "{\"serial\":\"000000\",\"state\":-1,\"event\":\"service-release\"}\n");
    EXPECT_EQ(logFolderJson("C:\\QMLog"), "{\"logFolder\":\"C:\\\\QMLog\"}\n");
}

}  // namespace
}  // namespace qm::qmctl
