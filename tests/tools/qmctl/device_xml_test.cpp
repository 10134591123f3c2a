#include "tools/qmctl/device_xml.h"

#include <gtest/gtest.h>

namespace qm::qmctl {
namespace {

// As the service writes it for an Alder (identity, direction, the common settings).
const std::string kAlderXml =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<Device SN=\"SN1001\" ContainerID=\"{7F1AD3BB-B615-5838-AE32-800ACF659B6A}\" Name=\"Alder\" "
    "FriendlyName=\"Desk &amp; &quot;booth&quot;\" Description=\"\" DirVolume=\"16\" "
    "DirZoom=\"0\" DirBeam=\"2\" LPF=\"3\" DspVolume=\"145\" EQ_1_GAIN=\"26\" "
    "EQ_5_BW_MODE=\"25\" ALC_REF_VALUE=\"145\" />\n";

TEST(DeviceXml, SplitsIdentityFromSettingsAndNamesSettingsAsSetDoes) {
    std::string error;
    const auto description = parseDeviceXml(kAlderXml, error);
    ASSERT_TRUE(description) << error;
    EXPECT_EQ(description->serial, "SN1001");
    EXPECT_EQ(description->containerId, "{7F1AD3BB-B615-5838-AE32-800ACF659B6A}");
    EXPECT_EQ(description->name, "Alder");
    EXPECT_EQ(description->friendlyName, "Desk & \"booth\"");
    EXPECT_EQ(description->description, "");

    std::vector<std::string> names;
    std::vector<std::string> attributes;
    for (const auto& setting : description->settings) {
        names.push_back(setting.name);
        attributes.push_back(setting.attribute);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"DirVolume", "Zoom", "Beam", "LPF", "Volume",
                                               "EQ_1_GAIN", "EQ_5_BW_MODE", "ALC_REF_VALUE"}));
    EXPECT_EQ(attributes[1], "DirZoom");
    EXPECT_EQ(attributes[4], "DspVolume");
    EXPECT_EQ(description->settings[4].value, 145);
    EXPECT_EQ(description->settings[2].value, 2);
}

TEST(DeviceXml, KeepsUnknownAttributesAndTextThatIsNoNumber) {
    std::string error;
    const auto description =
        parseDeviceXml("<Device SN=\"A\" Future=\"7\" LPF=\" 3\" HPF_1=\"x\" HPF_2=\"\"/>", error);
    ASSERT_TRUE(description) << error;
    ASSERT_EQ(description->settings.size(), 4u);
    EXPECT_EQ(description->settings[0].name, "Future");
    EXPECT_EQ(description->settings[0].value, 7);
    EXPECT_FALSE(description->settings[1].value);  // not a plain number
    EXPECT_EQ(description->settings[1].text, " 3");
    EXPECT_FALSE(description->settings[2].value);
    EXPECT_FALSE(description->settings[3].value);
}

TEST(DeviceXml, SaysWhyTextCannotBeRead) {
    std::string error;
    EXPECT_FALSE(parseDeviceXml("<Device SN=\"A\"", error));
    EXPECT_EQ(error.rfind("the description is not XML: ", 0), 0u);
    EXPECT_FALSE(parseDeviceXml("", error));
    EXPECT_FALSE(parseDeviceXml("<Microphone SN=\"A\"/>", error));
    EXPECT_EQ(error, "the description has no Device element");
    // The element must be at the top, as the service writes it.
    EXPECT_FALSE(parseDeviceXml("<Root><Device SN=\"A\"/></Root>", error));
}

}  // namespace
}  // namespace qm::qmctl
