#pragma once

#include <gmock/gmock.h>

#include <deque>
#include <string>
#include <vector>

#include "support/mock_interfaces.h"

namespace qm::profiles::testing {

// A microphone that records every change call and acknowledgement as text ("Set_HPF_1(3)",
// "GetLastStatus", "ResetStatus") and acknowledges changes as scripted: `refusals` lists, in
// order, how many GetLastStatus answers to refuse before each acknowledged one, by call number.
class ScriptedDevice : public ::testing::NiceMock<sdk::testing::MockQMDevice> {
  public:
    ScriptedDevice() {
        using ::testing::_;
        const auto change = [this](const char* name) {
            return [this, name](unsigned char v) { return note(name + arg(v)); };
        };
        const auto banded = [this](const char* name) {
            return [this, name](unsigned char band, unsigned char v) {
                return note(name + ("(" + std::to_string(band) + ", " + std::to_string(v) + ")"));
            };
        };
        ON_CALL(*this, SetVolume(_)).WillByDefault(change("SetVolume"));
        ON_CALL(*this, Set_ALC_RECOVERY(_)).WillByDefault(change("Set_ALC_RECOVERY"));
        ON_CALL(*this, Set_ALC_MODE(_)).WillByDefault(change("Set_ALC_MODE"));
        ON_CALL(*this, Set_ALC_REF_VALUE(_)).WillByDefault(change("Set_ALC_REF_VALUE"));
        ON_CALL(*this, Set_HPF_1(_)).WillByDefault(change("Set_HPF_1"));
        ON_CALL(*this, Set_HPF_2(_)).WillByDefault(change("Set_HPF_2"));
        ON_CALL(*this, Set_LPF(_)).WillByDefault(change("Set_LPF"));
        ON_CALL(*this, Set_EQ_NOTCH(_)).WillByDefault(change("Set_EQ_NOTCH"));
        ON_CALL(*this, Set_EQ_POWER(_)).WillByDefault(change("Set_EQ_POWER"));
        ON_CALL(*this, SetDirectionVolume(_)).WillByDefault(change("SetDirectionVolume"));
        ON_CALL(*this, SetBeam(_)).WillByDefault(change("SetBeam"));
        ON_CALL(*this, SetZoom(_)).WillByDefault(change("SetZoom"));
        ON_CALL(*this, Set_Ext_OutVolume(_)).WillByDefault(change("Set_Ext_OutVolume"));
        ON_CALL(*this, Set_Ext_TPA(_)).WillByDefault(change("Set_Ext_TPA"));
        ON_CALL(*this, Set_EQ_GAIN(_, _)).WillByDefault(banded("Set_EQ_GAIN"));
        ON_CALL(*this, Set_EQ_BAND_MODE(_, _)).WillByDefault(banded("Set_EQ_BAND_MODE"));
        ON_CALL(*this, ResetStatus()).WillByDefault([this] { return note("ResetStatus"); });
        ON_CALL(*this, GetLastStatus()).WillByDefault([this] {
            note("GetLastStatus");
            const bool refuse = !refused.empty() && refused.front() == changes;
            if (refuse)
                refused.pop_front();
            return refuse ? sdk::E_FAIL : sdk::S_OK;
        });
        ON_CALL(*this, GetDeviceXML(_)).WillByDefault([this](std::string& out) {
            out = xml;
            return xmlResult;
        });
    }

    std::vector<std::string> calls;
    // Change call numbers (1-based) whose acknowledgement is refused; a number may repeat
    // only by being listed for every attempt, as each retry is a new change call.
    std::deque<int> refused;
    std::string xml;
    sdk::HRESULT xmlResult = sdk::S_OK;
    int changes = 0;

    // Only the change calls, in order.
    std::vector<std::string> changeCalls() const {
        std::vector<std::string> out;
        for (const std::string& call : calls) {
            if (call.starts_with("Set"))
                out.push_back(call);
        }
        return out;
    }

  private:
    static std::string arg(unsigned char v) { return "(" + std::to_string(v) + ")"; }
    sdk::HRESULT note(std::string call) {
        if (call.starts_with("Set"))
            ++changes;
        calls.push_back(std::move(call));
        return sdk::S_OK;
    }
};

}  // namespace qm::profiles::testing
