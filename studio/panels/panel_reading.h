#pragma once

#include <cstdint>
#include <string>

#include "common/sdk/interfaces.h"
#include "common/settings/device_settings.h"

namespace qm::studio::panels {

// What the panels show of a microphone, read in one go off the GUI thread.
struct PanelReading {
    // IsStarted's answer: the panels are shown and filled only when it is S_OK.
    sdk::HRESULT started = sdk::E_FAIL;
    // The bytes came from the service's description; false: from the microphone's status calls.
    bool fromDescription = false;
    settings::DeviceSettings bytes;
    // The product name as GetName gives it now (the equaliser locks band 1 by it).
    std::string productName;
};

// Reads the microphone for the panels of `shownMask` (tab bits): IsStarted; when started, the
// description XML, or, when that doesn't parse, the status calls of those panels in panel order
// (GetStatusDSP and GetStatusALC; GetStatusHPF_LPF; GetStatusEQ_NOTCH_GAIN and
// GetStatusEQ_POWER_BW_MODE; GetDirection; Get_Ext_OutVolume; Get_Ext_TPA), bytes of a failed
// call staying 0; then the product name. Calls the service: on a worker only.
PanelReading readPanels(sdk::IQMDevice& device, std::uint32_t shownMask);

// The ALC's current volume byte as GetStatusALC gives it; `fallback` when the call fails.
std::uint8_t readAlcVolume(sdk::IQMDevice& device, std::uint8_t fallback);

}  // namespace qm::studio::panels
