#include "tools/qmctl/report_format.h"

#include <algorithm>

#include "common/sdk/identifiers.h"
#include "common/text/text.h"
#include "tools/qmctl/json_writer.h"
#include "tools/qmctl/result_text.h"

namespace qm::qmctl {
namespace {

std::string padded(std::string_view text, std::size_t width) {
    std::string out(text);
    if (out.size() < width)
        out.append(width - out.size(), ' ');
    return out;
}

void identityLine(std::string& out, std::string_view label, std::string_view value) {
    out += "  " + padded(label, 15) + printable(value) + "\n";
}

void optionalMember(JsonWriter& json, std::string_view name,
                    const std::optional<std::string>& value) {
    json.key(name);
    if (value)
        json.string(*value);
    else
        json.null();
}

}  // namespace

std::string printable(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            c = '?';
    }
    return out;
}

std::string listText(const std::vector<ModelGroup>& groups) {
    if (groups.empty())
        return "No microphones are known to the service.\n";
    std::size_t serialWidth = 0;
    for (const ModelGroup& group : groups) {
        for (const MicrophoneSummary& mic : group.microphones)
            serialWidth = std::max(serialWidth, printable(mic.serial).size());
    }
    std::string out;
    for (const ModelGroup& group : groups) {
        out += group.model.empty() ? std::string("(no product name)") : printable(group.model);
        out += '\n';
        for (const MicrophoneSummary& mic : group.microphones) {
            std::string line = "  " + padded(printable(mic.serial), serialWidth) + "  " +
                               padded(stateName(mic.started, mic.initialized), 11);
            if (!mic.friendlyName.empty())
                line += "  " + printable(mic.friendlyName);
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            out += line + '\n';
        }
    }
    return out;
}

std::string listJson(const std::vector<ModelGroup>& groups) {
    JsonWriter json;
    json.beginObject().key("microphones").beginArray();
    for (const ModelGroup& group : groups) {
        for (const MicrophoneSummary& mic : group.microphones) {
            json.beginObject()
                .member("serial", mic.serial)
                .member("model", group.model)
                .member("product", mic.product)
                .member("friendlyName", mic.friendlyName)
                .member("state", stateName(mic.started, mic.initialized))
                .member("started", mic.started)
                .member("initialized", mic.initialized)
                .endObject();
        }
    }
    json.endArray().endObject();
    return json.text() + '\n';
}

std::string showText(const MicrophoneDetails& details) {
    const DeviceDescription& d = details.description;
    std::string out = "Microphone " + printable(d.serial) + "\n";
    identityLine(out, "Model", d.name);
    identityLine(out, "Friendly name", d.friendlyName);
    identityLine(out, "Description", d.description);
    identityLine(out, "Container ID", d.containerId);
    identityLine(out, "State", stateName(details.started, details.initialized));
    if (details.vendorId)
        identityLine(out, "Vendor ID", *details.vendorId);
    if (details.productId)
        identityLine(out, "Product ID", *details.productId);
    if (details.apiVersion)
        identityLine(
            out, "Hardware",
            "API " + *details.apiVersion + ", firmware " + details.firmwareVersion.value_or(""));
    out += details.cachedValues
               ? "Settings (cached: the microphone has not been read since the service started)\n"
               : "Settings\n";
    for (const DescribedSetting& setting : d.settings) {
        std::string line = "  " + padded(printable(setting.name), 15);
        if (setting.value && *setting.value >= 0 && *setting.value <= 255)
            line += padded(std::to_string(*setting.value), 5) +
                    text::format("0x%02X", static_cast<unsigned>(*setting.value));
        else
            line += printable(setting.text);
        out += line + '\n';
    }
    return out;
}

std::string showJson(const MicrophoneDetails& details) {
    const DeviceDescription& d = details.description;
    JsonWriter json;
    json.beginObject()
        .member("serial", d.serial)
        .member("name", d.name)
        .member("friendlyName", d.friendlyName)
        .member("description", d.description)
        .member("containerId", d.containerId)
        .member("state", stateName(details.started, details.initialized))
        .member("started", details.started)
        .member("initialized", details.initialized)
        .member("cachedValues", details.cachedValues);
    optionalMember(json, "vendorId", details.vendorId);
    optionalMember(json, "productId", details.productId);
    optionalMember(json, "apiVersion", details.apiVersion);
    optionalMember(json, "firmwareVersion", details.firmwareVersion);
    json.key("settings").beginObject();
    for (const DescribedSetting& setting : d.settings) {
        json.key(setting.name);
        if (setting.value)
            json.number(*setting.value);
        else
            json.string(setting.text);
    }
    json.endObject().endObject();
    return json.text() + '\n';
}

std::string changeText(std::string_view serial, const ChangeOutcome& outcome) {
    std::string out = printable(serial) + ": " + outcome.call.text() + " returned " +
                      resultText(outcome.changeResult);
    if (!outcome.lastStatus) {
        out += "\n";
        return out;
    }
    if (outcome.acknowledged()) {
        out += "; the microphone acknowledged the change\n";
        return out;
    }
    out += "; the microphone did not acknowledge it (GetLastStatus " +
           resultText(*outcome.lastStatus) + ")";
    if (outcome.resetResult)
        out += "; ResetStatus " + resultText(*outcome.resetResult);
    out += "\n";
    return out;
}

std::string changeJson(std::string_view serial, std::string_view setting,
                       const ChangeOutcome& outcome) {
    JsonWriter json;
    json.beginObject()
        .member("serial", serial)
        .member("setting", setting)
        .member("value", static_cast<int>(outcome.call.value))
        .member("call", outcome.call.text())
        .member("result", resultName(outcome.changeResult))
        .member("acknowledged", outcome.acknowledged());
    json.key("lastStatus");
    if (outcome.lastStatus)
        json.string(resultName(*outcome.lastStatus));
    else
        json.null();
    json.key("resetStatus");
    if (outcome.resetResult)
        json.string(resultName(*outcome.resetResult));
    else
        json.null();
    json.endObject();
    return json.text() + '\n';
}

std::string simListText(const std::vector<ipc::SimulatedMicrophoneState>& microphones) {
    if (microphones.empty())
        return "No virtual microphones.\n";
    std::size_t serialWidth = 0;
    std::size_t modelWidth = 0;
    for (const auto& mic : microphones) {
        serialWidth = std::max(serialWidth, printable(mic.serial).size());
        modelWidth = std::max(modelWidth, printable(mic.model).size());
    }
    std::string out;
    for (const auto& mic : microphones) {
        out += "  " + padded(printable(mic.serial), serialWidth) + "  " +
               padded(printable(mic.model), modelWidth) + "  " +
               (mic.plugged ? "plugged in" : "unplugged") + "\n";
    }
    return out;
}

std::string simListJson(const std::vector<ipc::SimulatedMicrophoneState>& microphones) {
    JsonWriter json;
    json.beginObject().key("microphones").beginArray();
    for (const auto& mic : microphones) {
        json.beginObject()
            .member("serial", mic.serial)
            .member("model", mic.model)
            .member("plugged", mic.plugged)
            .endObject();
    }
    json.endArray().endObject();
    return json.text() + '\n';
}

std::string notificationName(int state) {
    switch (state) {
        case sdk::QM_NOTIFY_SERVICE_RELEASE:
            return "service-release";
        case sdk::QM_NOTIFY_STOPPED:
            return "stopped";
        case sdk::QM_NOTIFY_STARTED:
            return "started";
        case sdk::QM_NOTIFY_NEW:
            return "new";
        case sdk::QM_NOTIFY_REMOVED:
            return "removed";
        case sdk::QM_NOTIFY_INACTIVE_REMOVED:
            return "inactive-removed";
        case sdk::QM_NOTIFY_PROFILE_APPLIED:
            return "profile-applied";
        case sdk::QM_NOTIFY_PROFILE_FAILED:
            return "profile-failed";
        default:
            return "state " + std::to_string(state);
    }
}

std::string notificationText(std::string_view serial, int state) {
    return printable(serial) + " " + notificationName(state) + " (" + std::to_string(state) + ")\n";
}

std::string notificationJson(std::string_view serial, int state) {
    JsonWriter json;
    json.beginObject()
        .member("serial", serial)
        .member("state", state)
        .member("event", notificationName(state))
        .endObject();
    return json.text() + '\n';
}

std::string logFolderJson(std::string_view folder) {
    JsonWriter json;
    json.beginObject().member("logFolder", folder).endObject();
    return json.text() + '\n';
}

std::string endpointJson(std::string_view endpointId) {
    JsonWriter json;
    json.beginObject().member("endpointId", endpointId).endObject();
    return json.text() + '\n';
}

}  // namespace qm::qmctl
