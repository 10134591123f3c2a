#include "studio/panels/device_xml_reader.h"

#include <gtest/gtest.h>

namespace qm::studio::panels {
namespace {

using settings::Setting;

TEST(LeadingIntegerTest, ReadsLikeTheClassicConversion) {
    EXPECT_EQ(leadingInteger("145"), 145);
    EXPECT_EQ(leadingInteger("  \t-12"), -12);
    EXPECT_EQ(leadingInteger("+7x9"), 7);
    EXPECT_EQ(leadingInteger("0x25"), 0);
    EXPECT_EQ(leadingInteger("abc"), 0);
    EXPECT_EQ(leadingInteger(""), 0);
    EXPECT_EQ(leadingInteger("99999999999"), 2147483647);
    EXPECT_EQ(leadingInteger("-99999999999"), -2147483647 - 1);
}

TEST(DeviceXmlReaderTest, TakesTheLowByteOfEachSettingAttribute) {
    const auto bytes = readDeviceXml(
        R"(<?xml version="1.0"?><Device SN="SN1" Name="Alder" DirVolume="16" DirZoom="300" )"
        R"(DirBeam="-1" DspVolume=" 145" EQ_3_BW_MODE="37abc" TPA="160"/>)");
    ASSERT_TRUE(bytes);
    EXPECT_EQ((*bytes)[Setting::DirVolume], 16);
    EXPECT_EQ((*bytes)[Setting::Zoom], 300 & 0xFF);
    EXPECT_EQ((*bytes)[Setting::Beam], 0xFF);
    EXPECT_EQ((*bytes)[Setting::Volume], 145);
    EXPECT_EQ((*bytes)[Setting::EQ_3_BW_MODE], 37);
    EXPECT_EQ((*bytes)[Setting::TPA], 0xA0);
    EXPECT_EQ((*bytes)[Setting::LPF], 0) << "a missing attribute reads as 0";
}

TEST(DeviceXmlReaderTest, MissingDeviceElementReadsZeroButTextThatIsNotXmlFails) {
    const auto other = readDeviceXml("<Microphone LPF=\"3\"/>");
    ASSERT_TRUE(other);
    EXPECT_EQ(*other, settings::DeviceSettings{});
    EXPECT_FALSE(readDeviceXml(""));
    EXPECT_FALSE(readDeviceXml("<Device LPF=\"3\""));
}

}  // namespace
}  // namespace qm::studio::panels
