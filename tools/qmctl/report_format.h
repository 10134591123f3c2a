#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/ipc/simulator_control.h"
#include "tools/qmctl/microphones.h"
#include "tools/qmctl/setting_change.h"

// What qmctl prints: each report as text for people and as one line of JSON for scripts. Every
// text ends with a newline; a JSON report is one line with its newline.
namespace qm::qmctl {

// Text from the service shown in text reports: control characters (which could move the
// cursor or fake lines in a terminal) become '?'.
std::string printable(std::string_view text);

std::string listText(const std::vector<ModelGroup>& groups);
std::string listJson(const std::vector<ModelGroup>& groups);

std::string showText(const MicrophoneDetails& details);
std::string showJson(const MicrophoneDetails& details);

std::string changeText(std::string_view serial, const ChangeOutcome& outcome);
std::string changeJson(std::string_view serial, std::string_view setting,
                       const ChangeOutcome& outcome);

std::string simListText(const std::vector<ipc::SimulatedMicrophoneState>& microphones);
std::string simListJson(const std::vector<ipc::SimulatedMicrophoneState>& microphones);

// "started", "service-release", ...; "state <n>" for a state the interface does not define.
std::string notificationName(int state);
std::string notificationText(std::string_view serial, int state);
std::string notificationJson(std::string_view serial, int state);

std::string logFolderJson(std::string_view folder);
std::string endpointJson(std::string_view endpointId);

}  // namespace qm::qmctl
