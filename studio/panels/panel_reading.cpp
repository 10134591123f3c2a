#include "studio/panels/panel_reading.h"

#include "studio/panels/device_xml_reader.h"
#include "studio/panels/panel_tabs.h"

namespace qm::studio::panels {
namespace {

using settings::Setting;

// A read that fails leaves its bytes at zero, as the panels show a microphone that did not
// answer; there is nothing else to tell the user, so the results are set aside.
void readStatusCalls(sdk::IQMDevice& device, std::uint32_t mask, settings::DeviceSettings& b) {
    if (hasTab(mask, PanelTab::Alc)) {
        static_cast<void>(device.GetStatusDSP(b[Setting::Volume]));
        static_cast<void>(device.GetStatusALC(b[Setting::ALC_RECOVERY], b[Setting::ALC_MODE],
                                              b[Setting::ALC_REF_VALUE], b[Setting::ALC_VOLUME]));
    }
    if (hasTab(mask, PanelTab::Filters)) {
        static_cast<void>(
            device.GetStatusHPF_LPF(b[Setting::HPF_1], b[Setting::HPF_2], b[Setting::LPF]));
    }
    if (hasTab(mask, PanelTab::Equalizer)) {
        static_cast<void>(device.GetStatusEQ_NOTCH_GAIN(
            b[Setting::EQ_NOTCH], b[Setting::EQ_1_GAIN], b[Setting::EQ_2_GAIN],
            b[Setting::EQ_3_GAIN], b[Setting::EQ_4_GAIN], b[Setting::EQ_5_GAIN]));
        static_cast<void>(device.GetStatusEQ_POWER_BW_MODE(
            b[Setting::EQ_POWER], b[Setting::EQ_1_BW_MODE], b[Setting::EQ_2_BW_MODE],
            b[Setting::EQ_3_BW_MODE], b[Setting::EQ_4_BW_MODE], b[Setting::EQ_5_BW_MODE]));
    }
    if (hasTab(mask, PanelTab::Direction)) {
        static_cast<void>(
            device.GetDirection(b[Setting::DirVolume], b[Setting::Zoom], b[Setting::Beam]));
    }
    if (hasTab(mask, PanelTab::OutputVolume)) {
        static_cast<void>(device.Get_Ext_OutVolume(b[Setting::OUT_VOLUME]));
    }
    if (hasTab(mask, PanelTab::InputGain)) {
        static_cast<void>(device.Get_Ext_TPA(b[Setting::TPA]));
    }
}

}  // namespace

PanelReading readPanels(sdk::IQMDevice& device, std::uint32_t shownMask) {
    PanelReading reading;
    reading.started = device.IsStarted();
    if (reading.started != sdk::S_OK || shownMask == 0) {
        return reading;
    }
    std::string xml;
    if (sdk::FAILED(device.GetDeviceXML(xml))) {
        xml.clear();
    }
    if (auto bytes = readDeviceXml(xml)) {
        reading.bytes = *bytes;
        reading.fromDescription = true;
    } else {
        readStatusCalls(device, shownMask, reading.bytes);
    }
    if (sdk::FAILED(device.GetName(reading.productName))) {
        reading.productName.clear();
    }
    return reading;
}

std::uint8_t readAlcVolume(sdk::IQMDevice& device, std::uint8_t fallback) {
    unsigned char recovery = 0;
    unsigned char mode = 0;
    unsigned char reference = 0;
    unsigned char volume = 0;
    // A failed read (the microphone unplugged, no answer) zeroes the out values: keep showing
    // the last level instead of dropping the meter to zero.
    if (sdk::FAILED(device.GetStatusALC(recovery, mode, reference, volume))) {
        return fallback;
    }
    return volume;
}

}  // namespace qm::studio::panels
